# Runs the Wine suites (unit tests against the real API, then SetUp.exe end
# to end) in throwaway prefixes under one Xvfb; called by scripts/test as
# the user the suites run as. Writes the suites' exit codes to
# <results>/wine_codes for the summary.
# usage: wine_suites.sh <root> <build> <results>
set -uo pipefail
ROOT=$1 BUILD=$2 RESULTS=$3
. "$ROOT/scripts/lib/wine.sh"
mkdir -p "$HOME"
codes=()

xvfb_start :73 || xvfb_start :74 || { echo "wine=1" >"$RESULTS/wine_codes"; exit 1; }
trap 'wine_stop; xvfb_stop' EXIT

printf '\n== %s (%s)\n' "prefix: win32" "$(date +%T)"
wine_prefix_init "$BUILD/wine/prefix32" win32 && wine_env || { echo "wine=1" >"$RESULTS/wine_codes"; exit 1; }

printf '\n== %s (%s)\n' "suite: wine" "$(date +%T)"
GTEST_OUTPUT="xml:$(winepath -w "$RESULTS/wine")\\" ctest --test-dir "$BUILD/win32" -E '^e2e' --output-on-failure
codes+=("wine=$?")

echo "${codes[*]}" >"$RESULTS/wine_codes"
