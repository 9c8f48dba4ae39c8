#!/bin/sh
# Runs a Windows program under Wine with the given prefix: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
set -eu
prefix=$1
shift
mkdir -p "$prefix"
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# Console programs need no X server; programs with windows get the one ROTALINE_WINE_DISPLAY names.
# A prefix made here should not offer to fetch Mono or Gecko.
if [ -n "${ROTALINE_WINE_DISPLAY:-}" ]; then
    export DISPLAY="$ROTALINE_WINE_DISPLAY"
else
    unset DISPLAY
fi
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Wine starts its desktop process (explorer.exe) from the first program that makes a window, and
# that process inherits the program's output. It lingers for seconds after the program ends, and
# whoever reads the output (ctest) would wait for it: the output goes through a file instead.
output=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$output"' EXIT
run() {
    status=0
    wine "$@" >"$output" 2>&1 || status=$?
}
run "$@"
# Now and then Wine ends a program before it starts, with a failure status and no output at all;
# a program of ours always prints something, so such an end is tried once more.
if [ "$status" -ne 0 ] && [ ! -s "$output" ]; then
    echo "wine-run.sh: Wine ended $1 with status $status and no output; trying once more" >&2
    run "$@"
fi
cat "$output"
exit "$status"
