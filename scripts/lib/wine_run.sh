#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest. Wine's own background
# processes (services, the desktop) inherit the output of the first program
# they start with and outlive it; had they ctest's pipe, ctest would wait for
# them forever. So the program writes to a file, shown when it has ended.
output=$(mktemp)
"${WINE:-wine}" "$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
