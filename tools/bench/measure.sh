#!/usr/bin/env bash
# The Wine part of scripts/bench, run by the user that runs Wine, in a prefix
# of its own of the kind given (win32, or win64 where the machine runs no
# 32-bit programs). SetUp.exe and its floors take turns in every run, each
# timed from outside by the UI driver's `time` command; one line per run goes
# to <run-dir>/results.txt:
#   install <floor|setup> <ms from the Install click to the finished button> <files in the target>
#   startup <machine> <floor|setup> <ms from the start to the dialog shown>
#   keys <machine> <keys below the AutoCAD root>
# usage: measure.sh <root> <build> <run-dir> <runs> <win32|win64>
#   <build>: the build whose app/SetUp.exe, floors and UI driver are run
set -uo pipefail
ROOT=$1 BUILD=$2 RUN=$3 RUNS=$4 KIND=$5
. "$ROOT/scripts/lib/wine.sh"
. "$ROOT/scripts/lib/say.sh"
RESULTS=$RUN/results.txt
CAPTION='T-批打印软件安装'
export HOME=$RUN/home
mkdir -p "$HOME"
fail() {
  echo "measure: $*" >&2
  exit 1
}
trap 'wine_stop; xvfb_stop' EXIT
for display in :93 :94 :95 :96 :97; do xvfb_start "$display" 2>/dev/null && break; done
[ -n "${DISPLAY:-}" ] || fail "no display could be started"

say "prefix: $KIND in $RUN/prefix"
wine_prefix_init "$RUN/prefix" "$KIND" && wine_env || fail "no Wine prefix"
C=$WINEPREFIX/drive_c
mkdir -p "$C/bench/Data"
cp "$BUILD/app/SetUp.exe" "$BUILD"/tools/bench/bare_{dialog,copy}.exe "$BUILD/tools/uidriver/uidriver.exe" "$C/bench/" ||
  fail "the programs could not be copied into the prefix"
driver() { "$WINE" 'C:\bench\uidriver.exe' "$@" </dev/null | tr -d '\r'; }
declare -A STARTUP=([floor]=bare_dialog.exe [setup]=SetUp.exe) INSTALL=([floor]=bare_copy.exe [setup]=SetUp.exe)

# reg_import <file.reg>: into the native view, as the tests import their
# machines; then a fresh wineserver, so that its periodic save of the new
# keys falls into no measurement, and one uncounted start of the floor that
# brings Wine's own processes up again.
reg_import() {
  "$WINE" reg import "$(wine_path "$1")" /reg:64 >/dev/null 2>&1 || fail "reg import $1 failed"
  wine_stop
  wine_env && driver time 'C:\bench\bare_dialog.exe' "$CAPTION" >/dev/null || fail "the floor did not start"
}

# --- Install: 90 files, 60,213,270 bytes of random data, on a machine with AutoCAD 2010 and 2014 ---
say "install: payload and machine"
for entry in TR_RedavIzor2010.ARX:3145728 TR_RedavIzor2013.ARX:3145728 ACAD2010P.dll:1048576 \
  ACAD2013P.dll:1048576 itextsharp.dll:2097152 Tavrin_EN.shx:204800 Tavrin_HZ.shx:2097152 Tavrin.prt5:10240 \
  readme.txt:4096; do
  head -c "${entry#*:}" /dev/urandom >"$C/bench/Data/${entry%:*}"
done
printf '[Settings]\r\nPaper=A3\r\n' >"$C/bench/Data/Tavrin.Ini"
for i in $(seq 1 80); do head -c $((9216 * (1 + (i * 37) % 128))) /dev/urandom >"$C/bench/Data/Tavrin_Lib$i.dll"; done
acad=("$C/Program Files/AutoCAD 2010" "$C/Program Files/AutoCAD 2014")
for folder in "${acad[@]}"; do mkdir -p "$folder/Fonts" "$folder/Drv"; done
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$ROOT/tests/cases/demo_machine.reg"; } >"$RUN/install.reg"
reg_import "$RUN/install.reg"

say "install: the Install click to the finished button, the floor and SetUp.exe ($RUNS runs)"
for _ in $(seq "$RUNS"); do
  for program in floor setup; do
    # Every run copies everything: what an earlier run left goes first.
    rm -rf "$C/Tavrin" "$C"/users/*/AppData/Roaming/Tavrin && find "${acad[@]}" -type f -delete
    times=$(driver time "C:\\bench\\${INSTALL[$program]}" "$CAPTION" 1022 1) || fail "timing the install failed"
    echo "install $program ${times#* } $(find "$C/Tavrin" -type f | wc -l)" | tee -a "$RESULTS"
  done
done

# --- Start-up: the ordinary machine, then the large ones ---

# found <years>: the releases SetUp.exe offers enabled, seen through its dialog.
found() {
  local pid years
  pid=$(driver start 'C:\bench\SetUp.exe' 'C:\bench') && driver wait-window "$CAPTION" 600000 >/dev/null &&
    years=$(driver dump "$CAPTION" | awk '/visible=1 enabled=1 .*text=For AutoCAD/ {sub(/.*AutoCAD/, ""); print}' |
      paste -sd ' ') && driver click "$CAPTION" 2 && driver wait-exit "$pid" >/dev/null || fail "SetUp.exe could not be read"
  [ "$years" = "$1" ] || fail "SetUp.exe offers $years, not $1"
}

# machine <name> [<from>]: the machine's keys imported, then its start-ups.
machine() {
  say "registry $1: keys written and imported"
  [ $# = 2 ] || "$WINE" reg delete 'HKLM\SOFTWARE\Autodesk\AutoCAD' /f /reg:64 >/dev/null 2>&1 || fail "the old keys stay"
  keys=$(python3 "$ROOT/tools/bench/acad_keys.py" "$RUN/keys.reg" "${1%x}" ${2:+"$2"}) || fail "no keys for $1"
  echo "keys $1 $keys" | tee -a "$RESULTS"
  reg_import "$RUN/keys.reg"
  case $1 in ordinary) found "2010 2012 2014 2016" ;; 1x) found "$(seq -s ' ' 2007 2016)" ;; esac
  say "registry $1: start-up, the floor and SetUp.exe ($RUNS runs)"
  for _ in $(seq "$RUNS"); do
    for program in floor setup; do
      times=$(driver time "C:\\bench\\${STARTUP[$program]}" "$CAPTION") || fail "timing the start-up failed"
      echo "startup $1 $program $times" | tee -a "$RESULTS"
    done
  done
}
machine ordinary
machine 1x
machine 2x 1
machine 4x 2
