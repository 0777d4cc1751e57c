#!/usr/bin/env bash
# The Wine part of scripts/bench, run by the user that runs Wine, in a prefix
# of its own of the kind given (win32, or win64 where the machine runs no
# 32-bit programs):
#   install    on a two-release machine (tests/cases/demo_machine.reg): the
#              Install click to the finished button, SetUp.exe and the floor,
#              then the install's stages in-process (bench_install.exe)
#   ordinary   start-up on the ordinary machine, SetUp.exe and the floor, and
#              the scan and one walk in-process (bench_registry.exe)
#   1x 2x 4x   start-up on the large registries, SetUp.exe and the floor; on
#              1x also the scan in-process with its CPU time and one walk
#   regedit    the import of the 1x keys from a .reg file
# Appends one line per measurement to <run-dir>/results.txt.
# usage: run_bench.sh <root> <build> <run-dir> <runs> <win32|win64>
#   <build>: the build whose app/SetUp.exe and tools/bench programs are run
set -uo pipefail
ROOT=$1 BUILD=$2 RUN=$3 RUNS=$4 KIND=$5
. "$ROOT/scripts/lib/wine.sh"
. "$ROOT/scripts/lib/say.sh"
BIN=$BUILD/tools/bench
RESULTS=$RUN/results.txt
CAPTION='T-批打印软件安装'
export HOME=$RUN/home
mkdir -p "$HOME"

fail() {
  echo "run_bench: $*" >&2
  exit 1
}
# Runs a Windows program; its result lines go to the results and the screen.
measure() { "$WINE" "$@" </dev/null | tr -d '\r' | tee -a "$RESULTS"; }
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

say "prefix: $KIND in $RUN/prefix"
wine_prefix_init "$RUN/prefix" "$KIND" && wine_env || fail "no Wine prefix"
C=$WINEPREFIX/drive_c
mkdir -p "$C/bench"
cp "$BUILD/app/SetUp.exe" "$BIN"/{bench_timer,bare_dialog,bare_copy,bench_registry,bench_install}.exe "$C/bench/" ||
  fail "the programs could not be copied into the prefix"
phase prefix

# --- Install: 90 files, about 60 MB, on a machine with AutoCAD 2010 and 2014 ---

say "install: payload and machine"
. "$ROOT/tools/bench/payload.sh"
make_payload "$C/bench/Data"
echo "payload files=$(find "$C/bench/Data" -type f | wc -l) bytes=$(du -sb "$C/bench/Data" | cut -f1)" |
  tee -a "$RESULTS"
for release in 2010 2014; do
  mkdir -p "$C/Program Files/AutoCAD $release/Fonts" "$C/Program Files/AutoCAD $release/Drv"
done
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$ROOT/tests/cases/demo_machine.reg"; } >"$C/bench/demo_machine.reg"
"$WINE" regedit /s 'C:\bench\demo_machine.reg' >/dev/null 2>&1 || fail "the install machine's keys were not imported"
phase install-setup

say "install: Install click to the finished button, SetUp.exe and the floor ($RUNS runs)"
clear='C:\Tavrin;%APPDATA%\Tavrin;C:\Program Files\AutoCAD 2010;C:\Program Files\AutoCAD 2014'
target='C:\Tavrin\T-RedavIzor'
measure 'C:\bench\bench_timer.exe' install "$RUNS" 1 "$CAPTION" "$clear" "$target" \
  "floor=C:\\bench\\bare_copy.exe|C:\\bench\\Data|$target" 'setup=C:\bench\SetUp.exe' || fail "install timing failed"
say "install: its stages in-process ($RUNS runs)"
measure 'C:\bench\bench_install.exe' "$RUNS" "$target" 'C:\bench-floor' "$clear" || fail "install stages failed"
phase install

# --- Start-up: the ordinary machine, then the large registries ---

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
  local label=$1 pid times before after start wall user system
  pid=$(server_pid)
  [ -n "$pid" ] || fail "no wineserver found for $WINEPREFIX"
  before=$(cpu_ticks "$pid")
  start=$(now_ms)
  times=$( { TIMEFORMAT='%U %S'; time "$WINE" 'C:\bench\bench_registry.exe' scan "$RUNS" "$label" \
    >"$RUN/scan.txt" 2>/dev/null </dev/null; } 2>&1)
  wall=$(($(now_ms) - start))
  after=$(cpu_ticks "$pid")
  tr -d '\r' <"$RUN/scan.txt" | tee -a "$RESULTS"
  read -r user system <<<"$times"
  # The process's own start and end are in wall_ms and program_ms too.
  echo "cpu $label scan_ms=$(tr -d '\r' <"$RUN/scan.txt" | awk '{sum += $4} END {print sum}') wall_ms=$wall" \
    "program_ms=$(awk -v u="$user" -v s="$system" 'BEGIN {printf "%d", (u + s) * 1000}')" \
    "server_ms=$(((after - before) * 1000 / $(getconf CLK_TCK)))" | tee -a "$RESULTS"
}

# generate_machine <label> <bench_registry generate arguments>
generate_machine() {
  local label=$1 start
  shift
  say "registry $label: generated"
  start=$(now_ms)
  measure 'C:\bench\bench_registry.exe' generate "$@" || fail "the $label registry was not generated"
  echo "generate-wall $label $(($(now_ms) - start))" | tee -a "$RESULTS"
  # A fresh wineserver: the generated keys saved now, not by the server's
  # periodic save in the middle of a measurement.
  wine_stop
  wine_env || fail "cannot restart the wineserver"
  phase "generate-$label"
}

# time_startups <label> <release states every start of SetUp.exe must show>
time_startups() {
  local label=$1 wanted=$2
  say "registry $label: start-up, SetUp.exe and the floor ($RUNS runs)"
  measure 'C:\bench\bench_timer.exe' startup "$RUNS" 1 "$CAPTION" \
    "floor-$label=C:\\bench\\bare_dialog.exe" "setup-$label=C:\\bench\\SetUp.exe" || fail "start-up timing failed"
  # Each start of SetUp.exe must have found the releases generated.
  grep "^startup setup-$label " "$RESULTS" | grep -v -- "$wanted" &&
    fail "SetUp.exe did not find the $label machine's releases (the lines above)"
  phase "startup-$label"
}

# What a start of the 32-bit edition shows: its releases are 2007 to 2016.
hidden='hidden=2017,2018,2019,2020,2021,2022,2023,2024,2025,2026'

# The ordinary machine replaces the install machine's keys.
generate_machine ordinary ordinary
time_startups ordinary "enabled=2010,2012,2014,2016 disabled=2007,2008,2009,2011,2013,2015 $hidden"
say "registry ordinary: the scan in-process, and one walk of the same keys ($RUNS runs)"
measure 'C:\bench\bench_registry.exe' scan "$RUNS" ordinary || fail "scan timing failed"
measure 'C:\bench\bench_registry.exe' walk "$RUNS" ordinary || fail "walk timing failed"
phase scan-ordinary

# 1x replaces the ordinary machine's keys; 2x and 4x add to the one before.
previous=()
for scale in 1 2 4; do
  generate_machine "${scale}x" "$scale" "${previous[@]}"
  previous=("$scale")
  time_startups "${scale}x" "enabled=2007,2008,2009,2010,2011,2012,2013,2014,2015,2016 disabled= $hidden"
  if [ "$scale" = 1 ]; then
    say "registry 1x: the scan in-process, and one walk of the same keys ($RUNS runs)"
    scan_with_cpu 1x
    measure 'C:\bench\bench_registry.exe' walk "$RUNS" 1x || fail "walk timing failed"
    phase scan-1x
  fi
done

say "registry: regedit's import of the 1x layout, beside the generator"
# Into a root of its own, which nothing reads: the measurements are done.
"$WINE" 'C:\bench\bench_registry.exe' write-reg 1 'SOFTWARE\BenchImport\AutoCAD' 'C:\bench\layout-1x.reg' >/dev/null ||
  fail "no .reg file"
start=$(now_ms)
"$WINE" regedit /s 'C:\bench\layout-1x.reg' >/dev/null 2>&1 || fail "regedit failed"
echo "regimport 1x $(($(now_ms) - start))" | tee -a "$RESULTS"
phase regedit
