#!/bin/sh
# wine-run.sh PROGRAM.exe [ARGUMENTS...]
# Runs a Windows program under Wine, as CTest runs every test program of the
# Windows build; WINEPREFIX names the Wine prefix (the build folder's own).
#
# Wine's server and the services it starts on first use outlive the program
# and keep its output files open. Written straight into a test runner's pipe,
# that output would never end and the runner would wait for ever; so the
# program writes into a file, which is passed on once it has ended.
set -u
export WINEDEBUG=-all
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
wine "$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
exit "$status"
