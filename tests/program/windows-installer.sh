#!/usr/bin/env bash
# The installer under Wine: a silent install leaves the program, its shortcut and its entry in the
# list of installed programs; the installed program runs; a silent uninstall removes them all.
# Usage: windows-installer.sh SETUP.EXE  (with WINEPREFIX set, Wine's server running)
set -euo pipefail
setup=$1
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Rotaline"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Rotaline.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rotaline'
fail() { echo "windows-installer: $*" >&2; exit 1; }

wine "$setup" /S
for file in rotaline.exe README.txt LICENSE.txt uninstall.exe; do
    [ -f "$folder/$file" ] || fail "the install left no $file"
done
[ -f "$shortcut" ] || fail "the install left no Start-menu shortcut"
wine reg query "$key" /v DisplayVersion /reg:64 2>/dev/null | grep -q '2\.00' ||
    fail "no DisplayVersion 2.00 under $key"
wine reg query "$key" /v DisplayIcon /reg:64 2>/dev/null | grep -qi 'rotaline\.exe' ||
    fail "no DisplayIcon under $key"
version=$(wine "C:\\Program Files\\Rotaline\\rotaline.exe" --version | tr -d '\r')
[ "$version" = "Rotaline 2.00" ] || fail "the installed program says \"$version\""

# The uninstaller copies itself to the temporary folder and runs from there: wait for its work.
wine "C:\\Program Files\\Rotaline\\uninstall.exe" /S
for _ in $(seq 1 60); do
    [ -e "$folder" ] || [ -e "$shortcut" ] || break
    sleep 0.5
done
[ ! -e "$folder" ] || fail "the uninstall left $folder: $(ls "$folder")"
[ ! -e "$shortcut" ] || fail "the uninstall left the shortcut"
if wine reg query "$key" /reg:64 >/dev/null 2>&1; then
    fail "the uninstall left $key"
fi
echo "installer: silent install and uninstall under Wine passed"
