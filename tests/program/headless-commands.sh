#!/usr/bin/env bash
# Runs the real program's commands on a copy of the sample install with no display at all.
# Usage: headless-commands.sh PROGRAM SAMPLE_INSTALL
set -euo pipefail
program=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$sample" "$work/halflife"
cycle="$work/halflife/dod/mapcycle.txt"

passed=0
failed=0
check() {
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name"
    fi
}

# Qt's X11 platform with no display to reach: had the program set up its windows, it would
# abort here instead of answering.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb \
        "$program" --install-path "$work/halflife" "$@"
}

mods=$(run mods | tr '\n' ' ')
check "mods lists the mods with a cycle in name order" test "$mods" = "cstrike dod valve "

check "add prints nothing" test -z "$(run add dod dod_caen dod_forest)"
printf 'dod_caen\r\ndod_forest\r\ndod_anzio\r\ndod_avalanche\r\ndod_flash\r\ndod_kalt\r\n' \
    >"$work/expected"
check "add writes the maps first, in the order given" cmp -s "$work/expected" "$cycle"

status=0
run check dod >"$work/out" || status=$?
check "check passes the sample cycle" test "$status" -eq 0 -a ! -s "$work/out"

status=0
run cycle ricochet 2>"$work/err" || status=$?
check "an unknown mod fails with status 2" test "$status" -eq 2
check "an unknown mod is named on standard error" \
    grep -q '^rotaline: unknown mod "ricochet"' "$work/err"

check "--version needs no display" test "$(run --version)" = "Rotaline 2.00"
check "--help lists the commands" grep -q 'rotaline shuffle valve' <(run --help)

echo "$passed passed, $failed failed"
test "$failed" -eq 0
