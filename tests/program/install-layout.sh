#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks that every installed file is in its place.
# Usage: install-layout.sh CMAKE BUILD_FOLDER
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$1" --install "$2" --prefix "$prefix" >/dev/null

failed=0
for file in bin/rotaline share/applications/rotaline.desktop share/man/man1/rotaline.1.gz \
    share/metainfo/rotaline.metainfo.xml share/doc/rotaline/changelog.gz share/doc/rotaline/copyright \
    share/icons/hicolor/32x32/apps/rotaline.png share/icons/hicolor/256x256/apps/rotaline.png; do
    [ -s "$prefix/$file" ] || { echo "FAILED: $file is not installed"; failed=$((failed + 1)); }
done
# The menu entry must start the installed program by its name and show the installed icon.
grep -qx 'Exec=rotaline' "$prefix/share/applications/rotaline.desktop" &&
    grep -qx 'Icon=rotaline' "$prefix/share/applications/rotaline.desktop" ||
    { echo "FAILED: the menu entry names another program or icon"; failed=$((failed + 1)); }
[ "$(env -u DISPLAY "$prefix/bin/rotaline" --version)" = "Rotaline 2.00" ] ||
    { echo "FAILED: the installed program does not run"; failed=$((failed + 1)); }

echo "$((10 - failed)) passed, $failed failed"
test "$failed" -eq 0
