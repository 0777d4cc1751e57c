#!/usr/bin/env bash
# The Wine part of scripts/bench, run by the user that runs Wine: a 32-bit
# prefix of its own, the install measurements on a two-release machine, then
# the start-up measurements on large registries (1x, 2x, 4x the keys).
# Appends one line per measurement to <run-dir>/results.txt.
# usage: run_bench.sh <root> <build> <run-dir> <runs>
set -uo pipefail
ROOT=$1 BUILD=$2 RUN=$3 RUNS=$4
. "$ROOT/scripts/lib/wine.sh"
BIN=$BUILD/win32/tests/bench
RESULTS=$RUN/results.txt
CAPTION='T-批打印软件安装'
export HOME=$RUN/home
mkdir -p "$HOME"

say() { printf '\n== %s (%s)\n' "$*" "$(date +%T)"; }
fail() {
  echo "run_bench: $*" >&2
  exit 1
}
# Runs a Windows program; its result lines go to the results and the screen.
measure() { wine "$@" </dev/null | tr -d '\r' | tee -a "$RESULTS"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
phase_start=$(now_ms)
phase() {
  local end
  end=$(now_ms)
  echo "phase $1 $(((end - phase_start) / 1000))" >>"$RESULTS"
  phase_start=$end
}
cleanup() {
  wine_stop
  xvfb_stop
}
trap cleanup EXIT

for display in :93 :94 :95 :96 :97; do xvfb_start "$display" 2>/dev/null && break; done
[ -n "${DISPLAY:-}" ] || fail "no display could be started"

say "prefix: 32-bit Windows in $RUN/prefix"
wine_prefix_init "$RUN/prefix" win32 && wine_env || fail "no Wine prefix"
C=$WINEPREFIX/drive_c
mkdir -p "$C/bench"
cp "$BUILD/win32/app/SetUp.exe" "$BIN"/{bench_timer,bare_dialog,bare_copy,bench_registry,bench_install}.exe "$C/bench/"
phase prefix

# --- Install: 90 files, about 60 MB, on a machine with AutoCAD 2010 and 2014 ---

say "install: payload and machine"
. "$ROOT/tests/bench/payload.sh"
make_payload "$C/bench/Data"
echo "payload files=$(find "$C/bench/Data" -type f | wc -l) bytes=$(du -sb "$C/bench/Data" | cut -f1)" |
  tee -a "$RESULTS"
for release in 2010 2014; do
  mkdir -p "$C/Program Files/AutoCAD $release/Fonts" "$C/Program Files/AutoCAD $release/Drv"
done
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$ROOT/tests/fixtures/demo_machine.reg"; } >"$C/bench/demo_machine.reg"
wine regedit /s 'C:\bench\demo_machine.reg' >/dev/null 2>&1 || fail "the install machine's keys were not imported"
phase install-setup

say "install: Install click to the finished button, SetUp.exe and the floor ($RUNS runs)"
clear='C:\Tavrin;%APPDATA%\Tavrin;C:\Program Files\AutoCAD 2010;C:\Program Files\AutoCAD 2014'
target='C:\Tavrin\T-RedavIzor'
measure 'C:\bench\bench_timer.exe' install "$RUNS" 1 "$CAPTION" "$clear" "$target" \
  "floor=C:\\bench\\bare_copy.exe|C:\\bench\\Data|$target" 'setup=C:\bench\SetUp.exe' || fail "install timing failed"
say "install: its stages in-process ($RUNS runs)"
measure 'C:\bench\bench_install.exe' "$RUNS" "$target" 'C:\bench-floor' "$clear" || fail "install stages failed"
phase install

# --- Start-up on large registries ---

# The wineserver that owns the prefix, for its CPU time.
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
server_pid() {
  local pid
  for pid in $(pgrep -u "$(id -u)" wineserver); do
    case $(readlink "/proc/$pid/cwd") in */"$server_dir") echo "$pid" && return ;; esac
  done
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# The scan in-process, with the CPU time of the program and of the wineserver:
# where the time goes besides the registry calls themselves.
scan_with_cpu() {
  local scale=$1 pid times before after start wall user system
  pid=$(server_pid)
  [ -n "$pid" ] || fail "no wineserver found for $WINEPREFIX"
  before=$(cpu_ticks "$pid")
  start=$(now_ms)
  times=$( { TIMEFORMAT='%U %S'; time wine 'C:\bench\bench_registry.exe' scan "$RUNS" "$scale" \
    >"$RUN/scan.txt" 2>/dev/null </dev/null; } 2>&1)
  wall=$(($(now_ms) - start))
  after=$(cpu_ticks "$pid")
  tr -d '\r' <"$RUN/scan.txt" | tee -a "$RESULTS"
  read -r user system <<<"$times"
  # The process's own start and end are in wall_ms and program_ms too.
  echo "cpu $scale scan_ms=$(tr -d '\r' <"$RUN/scan.txt" | awk '{sum += $4} END {print sum}') wall_ms=$wall" \
    "program_ms=$(awk -v u="$user" -v s="$system" 'BEGIN {printf "%d", (u + s) * 1000}')" \
    "server_ms=$(((after - before) * 1000 / $(getconf CLK_TCK)))" | tee -a "$RESULTS"
}

# What a start of the 32-bit edition shows on these machines.
wanted='enabled=2007,2008,2009,2010,2011,2012,2013,2014,2015,2016 disabled= '
wanted+='hidden=2017,2018,2019,2020,2021,2022,2023,2024,2025,2026'
previous=
for scale in 1 2 4; do
  say "registry ${scale}x: generated"
  start=$(now_ms)
  # 1x replaces the install machine's keys; 2x and 4x add to the one before.
  measure 'C:\bench\bench_registry.exe' generate "$scale" $previous || fail "the registry was not generated"
  echo "generate-wall ${scale}x $(($(now_ms) - start))" | tee -a "$RESULTS"
  previous=$scale
  # A fresh wineserver: the generated keys saved now, not by the server's
  # periodic save in the middle of a measurement.
  wine_stop
  wine_env || fail "cannot restart the wineserver"
  phase "generate-${scale}x"

  say "registry ${scale}x: start-up, SetUp.exe and the floor ($RUNS runs)"
  measure 'C:\bench\bench_timer.exe' startup "$RUNS" 1 "$CAPTION" \
    "floor-${scale}x=C:\\bench\\bare_dialog.exe" "setup-${scale}x=C:\\bench\\SetUp.exe" || fail "start-up timing failed"
  # Each start of SetUp.exe must have found the releases generated.
  grep "^startup setup-${scale}x " "$RESULTS" | grep -v -- "$wanted" &&
    fail "SetUp.exe did not find the ${scale}x machine's releases (the lines above)"
  phase "startup-${scale}x"

  if [ "$scale" = 1 ]; then
    say "registry 1x: the scan in-process, and one walk of the same keys ($RUNS runs)"
    scan_with_cpu 1x
    measure 'C:\bench\bench_registry.exe' walk "$RUNS" 1x || fail "walk timing failed"
    phase scan-1x
  fi
done

say "registry: regedit's import of the 1x layout, beside the generator"
# Into a root of its own, which nothing reads: the measurements are done.
wine 'C:\bench\bench_registry.exe' write-reg 1 'SOFTWARE\BenchImport\AutoCAD' 'C:\bench\layout-1x.reg' >/dev/null ||
  fail "no .reg file"
start=$(now_ms)
wine regedit /s 'C:\bench\layout-1x.reg' >/dev/null 2>&1 || fail "regedit failed"
echo "regimport 1x $(($(now_ms) - start))" | tee -a "$RESULTS"
phase regedit
