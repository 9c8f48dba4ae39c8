; The Windows installer: Program Files, a Start-menu shortcut, an uninstaller, and the entry in
; the system's list of installed programs. Built by scripts/package-windows:
;   makensis -DSTAGING=<folder with the files> -DOUTFILE=<installer> -DICON=<.ico> rotaline.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define VERSION "2.00"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rotaline"

Name "Rotaline ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\Rotaline"
RequestExecutionLevel admin
ShowInstDetails show

VIProductVersion "2.0.0.0"
VIFileVersion "2.0.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Rotaline"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "The Rotaline developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The Rotaline developers"
VIAddVersionKey /LANG=1033 "FileDescription" "Rotaline ${VERSION} setup"

LicenseData "${STAGING}/LICENSE.txt"
Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Rotaline"
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "${STAGING}/rotaline.exe"
    File "${STAGING}/README.txt"
    File "${STAGING}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Rotaline.lnk" "$INSTDIR\rotaline.exe" "" "$INSTDIR\rotaline.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Rotaline"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rotaline.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Rotaline developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://rotaline.example.org"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" 2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" 0
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$SMPROGRAMS\Rotaline.lnk"
    Delete "$INSTDIR\rotaline.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
