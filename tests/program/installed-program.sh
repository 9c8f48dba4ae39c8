#!/usr/bin/env bash
# Installs a build into a scratch prefix, checks that every installed file is in its place, and
# runs the installed program's commands on a copy of the sample install with no display at all.
# Usage: installed-program.sh CMAKE BUILD_FOLDER SAMPLE_INSTALL
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$1" --install "$2" --prefix "$work/usr" >/dev/null
cp -R "$3" "$work/halflife"
fail() { echo "FAILED: $*" && exit 1; }

for file in bin/rotaline share/applications/rotaline.desktop share/man/man1/rotaline.1.gz \
    share/metainfo/rotaline.metainfo.xml share/doc/rotaline/changelog.gz share/doc/rotaline/copyright \
    share/icons/hicolor/32x32/apps/rotaline.png share/icons/hicolor/256x256/apps/rotaline.png; do
    [ -s "$work/usr/$file" ] || fail "$file is not installed"
done
# The menu entry must start the installed program by its name and show the installed icon.
grep -qx 'Exec=rotaline' "$work/usr/share/applications/rotaline.desktop" &&
    grep -qx 'Icon=rotaline' "$work/usr/share/applications/rotaline.desktop" ||
    fail "the menu entry names another program or icon"

# Qt's X11 platform with no display to reach: had the program set up its windows, it would
# abort here instead of answering.
run() {
    local status=0
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$work/usr/bin/rotaline" \
        --install-path "$work/halflife" "$@" >"$work/out" 2>&1 || status=$?
    sed "s|$work|WORK|g" "$work/out"
    echo "status $status"
}
{ run mods; run add dod dod_caen dod_forest; run check dod; run cycle ricochet; run --version; } \
    >"$work/got"
run --help | grep -c 'rotaline shuffle valve' >>"$work/got" || true
diff -u - "$work/got" <<'END' || fail "the commands answered otherwise"
cstrike
dod
valve
status 0
status 0
status 0
rotaline: unknown mod "ricochet": "WORK/halflife" holds no such folder with a mapcycle.txt (rotaline mods lists the mods)
status 2
Rotaline 2.00
status 0
1
END
printf 'dod_caen\r\ndod_forest\r\ndod_anzio\r\ndod_avalanche\r\ndod_flash\r\ndod_kalt\r\n' |
    cmp -s - "$work/halflife/dod/mapcycle.txt" || fail "add did not put the maps first, in order"
