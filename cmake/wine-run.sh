#!/bin/sh
# Runs a Windows program under Wine with the given prefix: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
set -e
prefix=$1
shift
mkdir -p "$prefix"
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# Console programs need no X server, and a prefix made here should not offer to fetch Mono or Gecko.
unset DISPLAY
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
