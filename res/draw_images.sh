#!/bin/sh
# Draws the setup program's artwork into res/images/: the program icons, the
# product logo shown in the dialog's header and the picture of the plug-in's
# menu shown on the finished page. Needs ImageMagick 6 and the WenQuanYi font.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/images"
font=${CJK_FONT:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
[ -r "$font" ] || { echo "CJK font not found: $font" >&2; exit 1; }

# The dialog's background (the brush the program paints it with) and its dark
# green text colour: the logo is drawn on the former so that it blends in.
dialog_green='#AAD296'
dark_green='#28460A'

# The printer motif on a 256 x 256 canvas: an input sheet with a large "T",
# the printer body, its paper slot and a printed sheet coming out at the front.
# $1 is the background (a colour or "none"), $2 the output file.
draw_motif() {
  convert -size 256x256 "xc:$1" \
    -stroke '#6E7F73' -strokewidth 4 -fill white \
    -draw 'rectangle 68,14 188,118' \
    -stroke none -fill "$dark_green" \
    -draw 'rectangle 88,30 168,50' -draw 'rectangle 118,30 138,104' \
    -fill '#1E3326' -draw 'roundrectangle 18,96 238,206 22,22' \
    -fill '#3C6B4C' -draw 'roundrectangle 26,104 230,196 16,16' \
    -fill '#1E3326' -draw 'rectangle 52,110 204,122' \
    -fill '#7FE07F' -draw 'circle 204,140 212,140' \
    -stroke '#6E7F73' -strokewidth 4 -fill white \
    -draw 'polygon 60,176 196,176 206,246 50,246' \
    -stroke '#9AA79E' -strokewidth 6 \
    -draw 'line 76,200 180,200' -draw 'line 78,216 178,216' -draw 'line 80,232 150,232' \
    "$2"
}

# Program icon (group 1): the motif on a transparent background.
draw_motif none "$work/motif.png"
for size in 16 32 48; do
  convert "$work/motif.png" -filter Lanczos -resize ${size}x${size} "$work/icon$size.png"
done
convert "$work/icon16.png" "$work/icon32.png" "$work/icon48.png" "$out/setup.ico"

# Second icon (group 128): the same motif on a rounded dark green tile.
convert -size 256x256 xc:none -fill "$dark_green" -draw 'roundrectangle 0,0 255,255 44,44' \
  "$work/motif.png" -gravity center -geometry 220x220+0+0 -composite "$work/tile.png"
for size in 16 32 48; do
  convert "$work/tile.png" -filter Lanczos -resize ${size}x${size} "$work/tile$size.png"
done
convert "$work/tile16.png" "$work/tile32.png" "$work/tile48.png" "$out/setup_alt.ico"

# Product logo (bitmap 147): 64 x 64, 24 bits per pixel, on the dialog's green.
draw_motif "$dialog_green" "$work/logo.png"
convert "$work/logo.png" -filter Lanczos -resize 64x64 -alpha off -type TrueColor \
  BMP3:"$out/logo.bmp"

# The plug-in's menu (bitmap 151): 307 x 175, 16 colours. A CAD program's menu
# bar, wrapped onto two rows as a narrow window shows it, with the plug-in's
# menu at its end opened over the dark drawing area.
W=307 H=175
bar_face='#ECE9D8' frame='#ACA899' highlight='#316AC5' canvas='#212830' grid='#34404E'

# Width of a text in pixels, at the menu's 12-pixel size.
text_width() {
  convert -font "$font" -pointsize 12 label:"$1" -format '%w' info:
}

# Menu-bar items are 20 pixels high and 13 pixels wider than their text, which
# starts 7 pixels in.
bar="$work/bar.mvg"
: >"$bar"
bar_item() { # text x y
  printf 'text %d,%d "%s"\n' $(($2 + 7)) $(($3 + 15)) "$1" >>"$bar"
}
x=0
for item in 文件 编辑 视图 插入 格式 工具 绘图 标注; do
  bar_item "$item" $x 0
  x=$((x + $(text_width "$item") + 13))
done
x=0
for item in 修改 窗口 帮助; do
  bar_item "$item" $x 20
  x=$((x + $(text_width "$item") + 13))
done
menu_x=$x
menu_w=$(($(text_width 'T-批打印') + 13))

# The opened menu: the three print commands, a separator, the two commands that
# work with customised information and layouts; its width follows the longest.
entries='单张打印到文件 批量打印到文件 批量打印到纸张 - 信息定制 定制布局批量打印到文件'
longest=0
for entry in $entries; do
  [ "$entry" = - ] && continue
  w=$(text_width "$entry")
  [ "$w" -gt "$longest" ] && longest=$w
done
drop_x=$menu_x drop_y=40
drop_w=$((longest + 48))
drop="$work/drop.mvg" rules="$work/rules.mvg"
: >"$drop"
: >"$rules"
y=$((drop_y + 3))
for entry in $entries; do
  if [ "$entry" = - ]; then
    printf 'line %d,%d %d,%d\n' $((drop_x + 4)) $((y + 3)) $((drop_x + drop_w - 5)) $((y + 3)) >>"$rules"
    y=$((y + 7))
  else
    printf 'text %d,%d "%s"\n' $((drop_x + 22)) $((y + 15)) "$entry" >>"$drop"
    y=$((y + 20))
  fi
done
drop_h=$((y + 3 - drop_y))
if [ $((drop_x + drop_w + 3)) -gt $W ] || [ $((drop_y + drop_h + 3)) -gt $H ]; then
  echo "the opened menu does not fit into ${W}x$H" >&2
  exit 1
fi

# Fixed 16-colour palette: the picture is mapped onto it without dithering so
# that texts stay crisp.
convert -size 1x1 xc:black xc:white "xc:$bar_face" "xc:$frame" xc:'#808080' xc:'#404040' \
  xc:'#C4C2BC' xc:'#E8E8E8' "xc:$highlight" xc:'#9DB6E2' "xc:$canvas" "xc:$grid" \
  xc:'#D6D6D6' xc:'#5A6470' "xc:$dialog_green" "xc:$dark_green" +append "$work/palette.png"

convert -size ${W}x$H "xc:$canvas" \
  -fill none -stroke "$grid" -strokewidth 1 \
  -draw 'path "M 0,70 H 307 M 0,100 H 307 M 0,130 H 307 M 0,160 H 307"' \
  -draw 'path "M 30,40 V 175 M 60,40 V 175 M 90,40 V 175 M 300,40 V 175"' \
  -stroke white -draw 'line 8,150 104,150' -draw 'line 56,110 56,174' \
  -draw 'rectangle 52,146 60,154' \
  -stroke none -fill "$bar_face" -draw "rectangle 0,0 $((W - 1)),39" \
  -fill "$frame" -draw "line 0,39 $((W - 1)),39" \
  -fill "$highlight" -draw "rectangle $menu_x,20 $((menu_x + menu_w - 1)),38" \
  -font "$font" -pointsize 12 -fill black -draw "$(cat "$bar")" \
  -fill white -draw "text $((menu_x + 7)),35 'T-批打印'" \
  -fill black -draw "rectangle $((drop_x + 3)),$((drop_y + 3)) $((drop_x + drop_w + 2)),$((drop_y + drop_h + 2))" \
  -fill white -stroke "$frame" \
  -draw "rectangle $drop_x,$drop_y $((drop_x + drop_w - 1)),$((drop_y + drop_h - 1))" \
  -fill none -draw "$(cat "$rules")" \
  -stroke none -fill black -draw "$(cat "$drop")" \
  "$work/menu.png"
convert "$work/menu.png" -dither None -remap "$work/palette.png" \
  -type Palette -colors 16 BMP3:"$out/plugin_menu.bmp"
