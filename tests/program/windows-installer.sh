#!/usr/bin/env bash
# The installer under Wine: a silent install leaves the program, its shortcut and its entry in the
# list of installed programs; the installed program runs; a silent uninstall removes them all.
# Usage: windows-installer.sh SETUP.EXE  (with WINEPREFIX set, Wine's server running)
set -euo pipefail
folder="$WINEPREFIX/drive_c/Program Files/Rotaline"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Rotaline.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rotaline'
fail() { echo "windows-installer: $*" >&2; exit 1; }

wine "$1" /S
for file in "$folder"/{rotaline.exe,README.txt,LICENSE.txt,uninstall.exe} "$shortcut"; do
    [ -f "$file" ] || fail "the install left no $file"
done
for value in 'DisplayVersion .*2\.00' 'DisplayIcon .*rotaline\.exe'; do
    wine reg query "$key" /v "${value%% *}" /reg:64 2>/dev/null | grep -qi "$value" ||
        fail "no ${value%% *} under $key"
done
version=$(wine "C:\\Program Files\\Rotaline\\rotaline.exe" --version | tr -d '\r')
[ "$version" = "Rotaline 2.00" ] || fail "the installed program says \"$version\""

# The uninstaller copies itself to the temporary folder and runs from there: wait for its work.
wine "C:\\Program Files\\Rotaline\\uninstall.exe" /S
for _ in $(seq 1 60); do
    [ -e "$folder" ] || [ -e "$shortcut" ] || break
    sleep 0.5
done
[ ! -e "$folder" ] && [ ! -e "$shortcut" ] || fail "the uninstall left its folder or shortcut"
! wine reg query "$key" /reg:64 >/dev/null 2>&1 || fail "the uninstall left $key"
echo "installer: silent install and uninstall under Wine passed"
