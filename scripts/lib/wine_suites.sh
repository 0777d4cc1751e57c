# Runs the Wine suites under one Xvfb, as the user scripts/test chose:
#   unit   the in-process tests against the real Win32 API
#   e2e    SetUp.exe itself, driven through its window
#   e2e64  where the machine runs 32-bit programs: a 64-bit prefix, the shipped
#          i686 SetUp.exe through the 32-bit registry view, and the 64-bit edition
# The tests run in a 32-bit prefix where the machine runs 32-bit programs,
# else (their x86_64 build) in a 64-bit one.
# usage: wine_suites.sh <root> <test build> <build> <results> [suite=filter ...]
#   no suite named: every suite; named: only those, each with its GoogleTest
#   filter ("unit=FaultSweep.*"). SETUP_QUICK: each to its first failure,
#   without the tests that need the 64-bit edition.
# SETUP_KEEP=1 (scripts/test, scripts/mutants): the prefixes, their
# wineservers and Xvfb are kept for the next call and made only when
# missing; "prepare" makes the prefixes alone, "stop" ends them all.
# Writes each suite's exit code to <results>/wine_codes, and what it ran on
# and its seconds to <results>/<suite>/.
set -uo pipefail
ROOT=$1 TESTS=$2 BUILD=$3 RESULTS=$4
shift 4
. "$ROOT/scripts/lib/wine.sh"
. "$ROOT/scripts/lib/say.sh"
mkdir -p "$HOME" "$BUILD/wine"
KEEP=${SETUP_KEEP:-0} QUICK=${SETUP_QUICK:-0}
kind=win64
wine_runs_32bit && kind=win32
# The prefixes live in memory where the machine has it: a run deletes and
# writes thousands of files (the fault sweep), which a disk mounted with
# discard makes many times slower.
store=$BUILD/wine
[ -d /dev/shm ] && [ -w /dev/shm ] && store=/dev/shm/setup-wine-$(printf %s "$BUILD" | md5sum | cut -c1-8)
# A prefix of the kind, made afresh (kept: only when missing), with drive D:
# for the tests that install to another drive, and as C:\e2e-locked the
# AutoCAD folders of root's the user may not write (scripts/lib/suites.sh).
prefix() {  # <win32|win64>
  local dir=$store/prefix-$1
  [ "$KEEP" = 1 ] || wine_stop
  if [ "$KEEP" = 1 ] && [ -f "$dir/system.reg" ]; then
    export WINEPREFIX=$dir WINEARCH=$1
  else
    say "prefix: $1"
    wine_prefix_init "$dir" "$1" || return 1
  fi
  wine_env || return 1
  mkdir -p "$store/drive_d"
  ln -sfn "$store/drive_d" "$WINEPREFIX/dosdevices/d:"
  local locked=$WINEPREFIX/drive_c/e2e-locked
  [ -L "$locked" ] || { chmod -R u+w "$locked" 2>/dev/null; rm -rf "$locked"; }  # a folder of an older prefix
  ln -sfn "$BUILD/foreign/locked" "$locked"
}

if [ "${1:-}" = stop ]; then  # the kept prefixes, their wineservers and Xvfb end
  for prefix in "$store"/prefix-*; do [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null; done
  [ -f "$BUILD/wine/display" ] && kill "$(cut -d' ' -f2 "$BUILD/wine/display")" 2>/dev/null
  rm -f "$BUILD/wine/display"
  if [ "$store" = "$BUILD/wine" ]; then rm -rf "$store"/prefix-*; else rm -rf "$store"; fi
  exit 0
fi
if [ "${1:-}" = prepare ]; then  # the prefixes the suites need, kept, before anything is built
  KEEP=1
  prefix "$kind" || exit 1
  [ "$kind" = win64 ] || prefix win64
  exit
fi
codes=()
finish() {
  echo "${codes[*]}" >"$RESULTS/wine_codes"
  [ "$KEEP" = 1 ] && return
  wine_stop
  xvfb_stop
  [ "$store" = "$BUILD/wine" ] || rm -rf "$store"
}
trap finish EXIT

kept=$(cut -d' ' -f1 "$BUILD/wine/display" 2>/dev/null)
if [ "$KEEP" = 1 ] && [ -n "$kept" ] && xdpyinfo -display "$kept" >/dev/null 2>&1; then
  export DISPLAY=$kept
else
  for display in :73 :74 :75 :76 :77 :78; do xvfb_start "$display" 2>/dev/null && break; done
  [ -n "${DISPLAY:-}" ] && echo "$DISPLAY $XVFB_PID" >"$BUILD/wine/display"
fi
[ -n "${DISPLAY:-}" ] || { codes+=(unit=1); exit 1; }

export SETUP_SCREENSHOT_DIR=$RESULTS/screenshots E2E_SETUP64_EXE=$BUILD/win64/app/SetUp.exe
# Tests are chosen by name before a run, never skipped in it: Win64.* drive the
# 64-bit edition (not built in a quick run), Win64Wow64.* the shipped i686
# SetUp.exe in a 64-bit prefix; both need a 64-bit prefix.
if [ "$kind" = win32 ]; then
  unit_on="win32 prefix, i686 build" e2e_on="win32 prefix, shipped i686 SetUp.exe" e2e_filter=-Win64*
  e2e64_on="win64 prefix, shipped i686 SetUp.exe and the 64-bit edition" e2e64_filter=Win64*
  [ "$QUICK" = 1 ] && e2e64_on="win64 prefix, shipped i686 SetUp.exe" e2e64_filter=Win64Wow64.*
else
  unit_on="win64 prefix, x86_64 build" e2e_on="win64 prefix, x86_64 stand-in SetUp.exe and the 64-bit edition"
  e2e_filter=-Win64Wow64.*
  [ "$QUICK" = 1 ] && e2e_on="win64 prefix, x86_64 stand-in SetUp.exe" e2e_filter=-Win64*
fi
# comctl32 searched for as Windows searches a DLL that is no known DLL, so
# that a DLL planted beside SetUp.exe would be found (Wine prefers its own).
planted=comctl32=n,b

run_tests() {  # <suite> <program> [gtest options]
  local suite=$1 program=$2 log=$RESULTS/$1-${2%.exe}.log overrides=$WINEDLLOVERRIDES
  shift 2
  [ "$suite" = unit ] || overrides="$overrides;$planted"
  WINEDLLOVERRIDES=$overrides "$WINE" "$TESTS/tests/$program" "${fail_fast[@]}" \
    --gtest_output="xml:$(wine_path "$RESULTS/$suite")\\" "$@" </dev/null >"$log" 2>&1
  local status=$?
  grep -aE '^\[  (FAILED|PASSED|SKIPPED) |^\[==========\]|: Failure$|^fault sweep' "$log" | grep -v '^\[==========\] Running' | head -40
  return $status
}

suite() {  # <suite> <filter, or empty for the suite's own>
  local name=$1 filter=$2 status=0 started=$SECONDS own on
  mkdir -p "$RESULTS/$name"
  case $name in unit) own= on=$unit_on ;; e2e) own=$e2e_filter on=$e2e_on ;; e2e64) own=$e2e64_filter on=$e2e64_on ;; esac
  # A filter named joins the suite's own exclusions.
  if [ -n "$filter" ]; then [[ $own == -* ]] && filter=$filter$own; else filter=${own:-*}; fi
  say "suite: $name"
  echo "$on" >"$RESULTS/$name/ran_on.txt"
  if [ "$name" = unit ]; then
    run_tests unit unit_tests.exe --gtest_filter="$filter" || status=1
    run_tests unit unit_tests_bits64.exe --gtest_filter="$filter" || status=1
  else
    run_tests "$name" e2e_tests.exe --gtest_filter="$filter" || status=1
  fi
  echo $((SECONDS - started)) >"$RESULTS/$name/seconds.txt"
  codes+=("$name=$status")
}

fail_fast=()
[ "$QUICK" = 1 ] && fail_fast=(--gtest_fail_fast)
[ $# -gt 0 ] || { set -- unit e2e; [ "$kind" = win32 ] && set -- unit e2e e2e64; }
current=
for named in "$@"; do
  name=${named%%=*} filter=
  [[ $named == *=* ]] && filter=${named#*=}
  wanted=$kind
  [ "$name" = e2e64 ] && wanted=win64
  if [ "$wanted" != "$current" ]; then
    prefix "$wanted" || { codes+=("$name=1"); exit 1; }
    current=$wanted
  fi
  suite "$name" "$filter"
done
exit 0
