#!/bin/sh
# Runs a Windows program under Wine with the given prefix: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
set -e
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
exec wine "$@"
