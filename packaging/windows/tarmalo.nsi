; Tarmalo's Windows installer. scripts/build-windows.sh makes it with
; makensis from the installed program folder:
;   VERSION  the program's version (1.0.0)
;   STAGE    the folder that holds the program as it is installed
;   FILES    an include with the install lines of every file in STAGE
;   UNFILES  an include with the lines that remove exactly those files
;   ICON     the installer's icon
;   OUTFILE  the installer to write
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarmalo"

Name "Tarmalo"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarmalo"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "Tarmalo ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Tarmalo"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Tarmalo Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Tarmalo developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 The Tarmalo developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarmalo.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Tarmalo"
    SetRegView 64
    SetShellVarContext all
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Tarmalo.lnk" "$INSTDIR\tarmalo.exe"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Tarmalo"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "The Tarmalo developers"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\tarmalo.exe,0"
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: a sound the pilot added stays, and
; so do the options under HKEY_CURRENT_USER.
Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    !include "${UNFILES}"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\Tarmalo.lnk"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
