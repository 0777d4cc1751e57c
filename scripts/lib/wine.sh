# Wine and Xvfb for the test and demo scripts: source this file, then
#
#   xvfb_start :58                        # a display of our own, DISPLAY exported
#   wine_prefix_init /tmp/run/prefix win32  # a throwaway prefix, WINEPREFIX exported
#   wine_env                              # WINEDEBUG, LC_ALL, a persistent wineserver
#   wine some.exe ...
#   wine_stop; xvfb_stop
#
# Works for root and for an ordinary user alike; the prefix belongs to whoever
# creates it, and nothing here touches ~/.wine. On a machine whose kernel
# runs no 32-bit programs (ia32 emulation off), `wine` cannot start at all:
# wine_runs_32bit tells, and $WINE is then wine64 (64-bit prefixes only).
#
# Measured on the 2-core build machine (Wine 8.0), prefix creation with the
# settings below: win32 12 to 15 s, win64 about 19 s. Once wine_env has run,
# a small program starts in about 0.3 s.

# Programs and DLLs that a test run never wants: the Mono and Gecko installers
# (they would ask with a dialog), and the menu builder that writes .desktop
# files and icons into $HOME.
WINE_SH_DLL_OVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Code page 936 for every Wine run. Wine rewrites some font substitutes the
# first time it runs with another code page than before, so the prefix is
# made with this locale too, before our substitutes go in.
WINE_SH_LOCALE=zh_CN.UTF-8

# wine_runs_32bit: whether this machine starts Wine's 32-bit loader.
wine_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if wine_runs_32bit; then WINE=wine; else WINE=/usr/lib/wine/wine64; fi
export WINE

wine_sh_fail() {
  echo "wine.sh: $*" >&2
  return 1
}

# xvfb_start <display>: starts Xvfb on the display (":58") and exports
# DISPLAY. Fails if the display is taken.
xvfb_start() {
  local display=${1:?xvfb_start needs a display such as :58}
  local number=${display#:}
  command -v Xvfb >/dev/null || { wine_sh_fail "Xvfb is not installed"; return 1; }
  if [ -e "/tmp/.X${number}-lock" ] && kill -0 "$(tr -d ' ' <"/tmp/.X${number}-lock" 2>/dev/null)" 2>/dev/null; then
    wine_sh_fail "display $display is in use"
    return 1
  fi
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  local tries=0
  # Up when it answers; the socket alone may still be a stale one.
  until xdpyinfo -display "$display" >/dev/null 2>&1; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null || [ $((tries += 1)) -gt 100 ]; then
      wine_sh_fail "Xvfb did not come up on $display"
      XVFB_PID=
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=$display
}

# xvfb_stop: ends the Xvfb that xvfb_start started.
xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# wine_prefix_init <dir> <win32|win64>: makes <dir> a fresh Wine prefix of
# that kind (an old prefix there is removed first) and exports WINEPREFIX and
# WINEARCH. Needs no display: wineboot runs without one.
wine_prefix_init() {
  local dir=${1:?wine_prefix_init needs a directory} arch=${2:?wine_prefix_init needs win32 or win64}
  case $arch in win32 | win64) ;; *) wine_sh_fail "unknown prefix kind '$arch'"; return 1 ;; esac
  case $dir in /*) ;; *) wine_sh_fail "the prefix needs an absolute path, not '$dir'"; return 1 ;; esac
  [ "$dir" != "$HOME/.wine" ] || { wine_sh_fail "refusing to use ~/.wine"; return 1; }
  if [ -e "$dir" ]; then
    [ -f "$dir/system.reg" ] || [ -z "$(ls -A "$dir")" ] ||
      { wine_sh_fail "$dir exists and is no Wine prefix"; return 1; }
    WINEPREFIX=$dir wineserver -k 2>/dev/null
    rm -rf "$dir"
  fi
  mkdir -p "$dir" || return 1
  export WINEPREFIX=$dir WINEARCH=$arch
  # wineboot would open windows (and a Mono question) on a display; it needs none.
  if ! wine_sh_quiet env -u DISPLAY "$WINE" wineboot -i; then
    wine_sh_fail "wineboot failed for $dir"
    return 1
  fi
  wineserver -w
  wine_sh_settings
}

# The prefix's settings, in one regedit run per registry view.
wine_sh_settings() {
  local reg=$WINEPREFIX/drive_c/wine-sh-settings.reg
  {
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

; One virtual desktop for every program: without a window manager on the
; display, windows would get neither frame nor caption.
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

; A crashing program ends instead of waiting for someone to close a dialog.
[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

; The dialog fonts, SimSun above all, drawn with a CJK font the machine has.
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"SimSun"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
REG
  } >"$reg" || return 1
  local status=0
  wine_sh_quiet "$WINE" regedit /s 'C:\wine-sh-settings.reg' || status=1
  # In a 64-bit prefix 32-bit programs read HKLM\Software through Wow6432Node.
  if [ "$WINEARCH" = win64 ] && wine_runs_32bit; then
    wine_sh_quiet "$WINE" 'C:\windows\syswow64\regedit.exe' /s 'C:\wine-sh-settings.reg' || status=1
  fi
  rm -f "$reg"
  # Marlett draws the caption buttons (without it they read "0 1 r"). Debian's
  # Wine looks for its own fonts in "<data dir>\../fonts", a path that Windows
  # path rules refuse, so it never reads /usr/share/wine/fonts (fonts-wine);
  # C:\windows\Fonts it reads.
  ln -sf /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" || status=1
  wineserver -w
  [ "$status" = 0 ] || wine_sh_fail "the prefix settings could not be imported"
}

wine_sh_quiet() {
  env WINEDEBUG=-all LC_ALL=$WINE_SH_LOCALE WINEDLLOVERRIDES="$WINE_SH_DLL_OVERRIDES" "$@" >/dev/null 2>&1
}

# wine_env: the environment of every Wine run (needs WINEPREFIX), and one
# persistent wineserver for the prefix so that each program starts fast.
wine_env() {
  [ -n "${WINEPREFIX:-}" ] || { wine_sh_fail "wine_env needs WINEPREFIX (run wine_prefix_init)"; return 1; }
  export WINEDEBUG=-all LC_ALL=$WINE_SH_LOCALE WINEDLLOVERRIDES=$WINE_SH_DLL_OVERRIDES
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    echo "wine.sh: warning: locale zh_CN.UTF-8 is not generated; non-ASCII arguments will arrive mangled" >&2
  fi
  # Exit status 2: a server already runs for this prefix, which is as good.
  local status=0
  wineserver -p >/dev/null 2>&1 || status=$?
  [ "$status" = 0 ] || [ "$status" = 2 ] || { wine_sh_fail "cannot start wineserver for $WINEPREFIX"; return 1; }
  # Wine's background programs (services, devices, the desktop) start with
  # the first program a server runs, inherit its stdout and stderr and keep
  # them open for the server's life: `wine x.exe | grep` would never end.
  # Start them now, with neither.
  wine_sh_quiet "$WINE" cmd.exe /c exit </dev/null
}

# wine_stop: ends the prefix's programs and its wineserver.
wine_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  return 0
}

# wine_path <unix-path>: the path as Windows programs see it (drive Z:).
wine_path() {
  local path=${1:?wine_path needs a path}
  case $path in /*) ;; *) path=$PWD/$path ;; esac
  printf 'Z:%s\n' "${path//\//\\}"
}
