# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

; Tarmalo's Windows installer. scripts/build-windows.sh makes it with
; makensis from the installed program folder:
;   VERSION  the program's version (1.0.0)
;   STAGE    the folder that holds the program as it is installed
;   FILES    an include with the install lines of every file in STAGE
;   UNFILES  an include with the lines that remove exactly those files
;   ICON     the installer's icon
;   LICENSE  the licence text shown before installing
;   OUTFILE  the installer to write
;   PLUGINS  optional: a folder of NSIS plugins (signed copies) to use
;            instead of NSIS's own
;   SIGN     optional: a command that signs the file it is given in place;
;            the uninstaller and the setup are signed with it as they are
;            written
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; Sharp text on scaled screens, as Windows would otherwise stretch the pages.
ManifestDPIAware true

!ifdef PLUGINS
!addplugindir /amd64-unicode "${PLUGINS}"
!endif
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarmalo"
!define HOMEPAGE "https://tarmalo.example.org/"

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
; The setup runs as administrator, perhaps with another account's
; credentials; Tarmalo started from its last page goes through Explorer, so it
; runs as the signed-in pilot, unelevated, and keeps that pilot's options.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartTarmalo
; The GPL asks for no consent to use the program: the page informs and moves
; on with Next.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Tarmalo is free software: you may use, share and change it under these terms. Choose Next to go on."
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!ifdef SIGN
!uninstfinalize '"${SIGN}" "%1"' = 0
!finalize '"${SIGN}" "%1"' = 0
!endif

; A running Tarmalo holds a named mutex in its session and one in the global
; namespace. Files in use cannot be replaced or removed, so neither the setup
; nor the uninstaller touches anything while either exists: it asks the pilot
; to close Tarmalo, and with /S ends at once with exit code 2. Opening a mark
; another user's Tarmalo holds may be refused (ERROR_ACCESS_DENIED): it is
; there all the same.
!define SYNCHRONIZE 0x00100000
!define ERROR_ACCESS_DENIED 5
!macro TARMALO_MARK_HELD name  ; sets $0 to 1 when the mark exists
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${name}") p.r1 ?e'
    Pop $2  ; the last error
    ${If} $1 P<> 0
        System::Call 'kernel32::CloseHandle(p r1)'
        StrCpy $0 1
    ${ElseIf} $2 = ${ERROR_ACCESS_DENIED}
        StrCpy $0 1
    ${EndIf}
!macroend
!macro TARMALO_RUNNING_FUNCTIONS un
Function ${un}CloseTarmaloFirst
    Push $0
    Push $1
    Push $2
  check:
    StrCpy $0 0
    !insertmacro TARMALO_MARK_HELD "Tarmalo.Running"
    !insertmacro TARMALO_MARK_HELD "Global\Tarmalo.Running"
    ${If} $0 = 1
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Tarmalo is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY check
        SetErrorLevel 2
        Quit
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro TARMALO_RUNNING_FUNCTIONS ""
!insertmacro TARMALO_RUNNING_FUNCTIONS "un."

Function StartTarmalo
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\tarmalo.exe"'
FunctionEnd

Function .onInit
    Call CloseTarmaloFirst
FunctionEnd

Function un.onInit
    Call un.CloseTarmaloFirst
FunctionEnd

Section "Tarmalo"
    ; Tarmalo may have been started while the pages were shown.
    Call CloseTarmaloFirst
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
    WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "${HOMEPAGE}"
    WriteRegStr HKLM "${UNINST_KEY}" "HelpLink" "${HOMEPAGE}"
    ; The size Settings > Apps shows, in KiB.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: a sound the pilot added stays, and
; so do the options under HKEY_CURRENT_USER.
; The program goes first: should tarmalo.exe be held by something else, the
; uninstaller stops with everything in place, the uninstall entry included,
; and can be run again.
Section "Uninstall"
    Call un.CloseTarmaloFirst
    SetRegView 64
    SetShellVarContext all
    Delete "$INSTDIR\tarmalo.exe"
    ${If} ${FileExists} "$INSTDIR\tarmalo.exe"
        SetErrorLevel 2
        MessageBox MB_OK|MB_ICONSTOP "Tarmalo could not be removed from $INSTDIR: tarmalo.exe is in use." /SD IDOK
        Quit
    ${EndIf}
    !include "${UNFILES}"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\Tarmalo.lnk"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
