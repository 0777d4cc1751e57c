# Runs the Wine suites under one Xvfb, as the user scripts/test chose:
#   unit   the in-process tests against the real Win32 API
#   e2e    SetUp.exe itself, driven through its window
#   e2e64  where the machine runs 32-bit programs: a 64-bit prefix, the shipped
#          i686 SetUp.exe through the 32-bit registry view, and the 64-bit edition
# The tests run in a 32-bit prefix where the machine runs 32-bit programs,
# else (their x86_64 build) in a 64-bit one. Writes each suite's exit code to
# <results>/wine_codes and what it ran on to <results>/<suite>/ran_on.txt.
# usage: wine_suites.sh <root> <test build> <build> <results>
set -uo pipefail
ROOT=$1 TESTS=$2 BUILD=$3 RESULTS=$4
. "$ROOT/scripts/lib/wine.sh"
. "$ROOT/scripts/lib/say.sh"
mkdir -p "$HOME"
codes=()
finish() {
  echo "${codes[*]}" >"$RESULTS/wine_codes"
  wine_stop
  xvfb_stop
}
trap finish EXIT
# SETUP_QUICK: each suite stops at its first failing test.
fail_fast=()
[ "${SETUP_QUICK:-0}" = 1 ] && fail_fast=(--gtest_fail_fast)

for display in :73 :74 :75 :76; do xvfb_start "$display" 2>/dev/null && break; done
[ -n "${DISPLAY:-}" ] || { codes+=(unit=1); exit 1; }

kind=win64
wine_runs_32bit && kind=win32
say "prefix: $kind"
if ! wine_prefix_init "$BUILD/wine/prefix-$kind" "$kind" || ! wine_env; then
  codes+=(unit=1 e2e=1)
  exit 1
fi
# Drive D: for the tests that install to a drive's root, and an AutoCAD
# folder the user may not write, as Program Files is without administrator rights.
mkdir -p "$BUILD/wine/drive_d"
ln -sfn "$BUILD/wine/drive_d" "$WINEPREFIX/dosdevices/d:"
locked=$WINEPREFIX/drive_c/e2e-locked
mkdir -p "$locked/AutoCAD 2014/Fonts" && chmod -R a-w "$locked"

export SETUP_SCREENSHOT_DIR=$RESULTS/screenshots
# Tests are chosen by name before a run, never skipped in it: Win64.* drive the
# 64-bit edition (not built in a quick run), Win64Wow64.* the shipped i686
# SetUp.exe in a 64-bit prefix; both need a 64-bit prefix. A test that needs
# what this script prepares fails when it is missing.
quick=0
[ "${SETUP_QUICK:-0}" = 1 ] && quick=1
export E2E_SETUP64_EXE=$BUILD/win64/app/SetUp.exe
if [ "$kind" = win32 ]; then
  unit_on="win32 prefix, i686 build" e2e_on="win32 prefix, shipped i686 SetUp.exe" e2e_filter=-Win64*
  e2e64_on="win64 prefix, shipped i686 SetUp.exe and the 64-bit edition" e2e64_filter=Win64*
  [ $quick = 1 ] && e2e64_on="win64 prefix, shipped i686 SetUp.exe" e2e64_filter=Win64Wow64.*
else
  unit_on="win64 prefix, x86_64 build" e2e_on="win64 prefix, x86_64 stand-in SetUp.exe and the 64-bit edition"
  e2e_filter=-Win64Wow64.*
  [ $quick = 1 ] && e2e_on="win64 prefix, x86_64 stand-in SetUp.exe" e2e_filter=-Win64*
fi
# What each suite ran on, for the summary.
echo "$unit_on" >"$RESULTS/unit/ran_on.txt"
echo "$e2e_on" >"$RESULTS/e2e/ran_on.txt"
run_tests() {  # <suite> <program> [gtest options]
  local suite=$1 program=$2 log=$RESULTS/$1-${2%.exe}.log
  shift 2
  "$WINE" "$TESTS/tests/$program" "${fail_fast[@]}" --gtest_output="xml:$(wine_path "$RESULTS/$suite")\\" "$@" \
    </dev/null >"$log" 2>&1
  local status=$?
  grep -aE '^\[  (FAILED|PASSED|SKIPPED) |^\[==========\]|: Failure$' "$log" | grep -v '^\[==========\] Running' | head -40
  return $status
}

say "suite: unit"
status=0
run_tests unit unit_tests.exe || status=1
run_tests unit unit_tests_bits64.exe || status=1
codes+=("unit=$status")

say "suite: e2e"
# comctl32 searched for as Windows searches a DLL that is no known DLL, so
# that a DLL planted beside SetUp.exe would be found (Wine prefers its own);
# wine_env sets the overrides afresh for each prefix.
planted=comctl32=n,b
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$planted" run_tests e2e e2e_tests.exe --gtest_filter="$e2e_filter"
codes+=("e2e=$?")
chmod -R u+w "$locked"
wine_stop
[ "$kind" = win32 ] || exit 0

say "prefix: win64"
if ! wine_prefix_init "$BUILD/wine/prefix-win64" win64 || ! wine_env; then
  codes+=(e2e64=1)
  exit 1
fi
say "suite: e2e64"
echo "$e2e64_on" >"$RESULTS/e2e64/ran_on.txt"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$planted" run_tests e2e64 e2e_tests.exe --gtest_filter="$e2e64_filter"
codes+=("e2e64=$?")
