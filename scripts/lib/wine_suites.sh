# Runs the Wine suites under one Xvfb, as the user scripts/test chose:
#   wine   the unit tests (and resource checks) against the real Win32 API
#   e2e    SetUp.exe itself, driven through its window, in a 32-bit prefix
#   e2e64  the registry views of a 64-bit Windows: both editions of
#          SetUp.exe in a 64-bit prefix
# Writes each suite's exit code to <results>/wine_codes for the summary.
# usage: wine_suites.sh <root> <build> <results>
set -uo pipefail
ROOT=$1 BUILD=$2 RESULTS=$3
. "$ROOT/scripts/lib/wine.sh"
mkdir -p "$HOME"
codes=()
finish() {
  echo "${codes[*]}" >"$RESULTS/wine_codes"
  wine_stop
  xvfb_stop
}
trap finish EXIT
say() { printf '\n== %s (%s)\n' "$*" "$(date +%T)"; }

for display in :73 :74 :75 :76; do xvfb_start "$display" 2>/dev/null && break; done
[ -n "${DISPLAY:-}" ] || { codes+=(wine=1); exit 1; }

say "prefix: 32-bit Windows"
if ! wine_prefix_init "$BUILD/wine/prefix32" win32 || ! wine_env; then
  codes+=(wine=1 e2e=1)
  exit 1
fi
# Drive D: for the tests that install to a drive's root.
mkdir -p "$BUILD/wine/drive_d"
ln -sfn "$BUILD/wine/drive_d" "$WINEPREFIX/dosdevices/d:"

say "suite: wine"
GTEST_OUTPUT="xml:$(wine_path "$RESULTS/wine")\\" ctest --test-dir "$BUILD/win32" -E '^e2e$' --output-on-failure
codes+=("wine=$?")

say "suite: e2e"
# comctl32 searched for as Windows searches a DLL that is no known DLL, so
# that a DLL planted beside SetUp.exe would be found (Wine prefers its own).
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comctl32=n,b" SETUP_SCREENSHOT_DIR="$RESULTS/screenshots" GTEST_OUTPUT="xml:$(wine_path "$RESULTS/e2e")\\" \
  ctest --test-dir "$BUILD/win32" -R '^e2e$' --output-on-failure
codes+=("e2e=$?")
wine_stop

say "prefix: 64-bit Windows"
if ! wine_prefix_init "$BUILD/wine/prefix64" win64 || ! wine_env; then
  codes+=(e2e64=1)
  exit 1
fi
say "suite: e2e64"
SETUP_SCREENSHOT_DIR="$RESULTS/screenshots" E2E_SETUP64_EXE="$(wine_path "$BUILD/win64/app/SetUp.exe")" \
  wine "$BUILD/win32/tests/e2e/e2e_tests.exe" --gtest_filter='*Wow64*:ExecutableSecurity.*' \
  --gtest_output="xml:$(wine_path "$RESULTS/e2e64")\\"
codes+=("e2e64=$?")
