; The Windows installer of Testownik, made by scripts/windows.sh:
;   makensis -DVERSION=0.1.0 -DLISTA=<folder of instaluj.nsh and usun.nsh> -DIKONA=<icon>
;            -DWYJSCIE=<setup.exe> testownik.nsi
; Per machine, into Program Files; a Start menu entry; an inbound firewall rule for the class test,
; for private networks. The uninstaller removes exactly what was installed. /S: silently.
; A 64-bit installer for a 64-bit program (and one Wine runs without its 32-bit half).
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

!define NAZWA "Testownik"
!define KLUCZ "Software\Microsoft\Windows\CurrentVersion\Uninstall\Testownik"

Name "${NAZWA} ${VERSION}"
OutFile "${WYJSCIE}"
InstallDir "$PROGRAMFILES64\${NAZWA}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${NAZWA} ${VERSION}"

!define MUI_ICON "${IKONA}"
!define MUI_UNICON "${IKONA}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\testownik.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_POLISH} "ProductName" "${NAZWA}"
VIAddVersionKey /LANG=${LANG_POLISH} "FileDescription" "Instalator programu ${NAZWA}"
VIAddVersionKey /LANG=${LANG_POLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_POLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_POLISH} "LegalCopyright" "© 2026 Testownik developers, GNU GPL 3"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "${NAZWA} działa tylko w 64-bitowym systemie Windows."
        Abort
    ${EndIf}
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "${NAZWA}"
    !include "${LISTA}\instaluj.nsh"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\odinstaluj.exe"
    CreateShortcut "$SMPROGRAMS\${NAZWA}.lnk" "$INSTDIR\testownik.exe" "" "$INSTDIR\testownik.exe" 0

    ; Pupils reach the class test from the school's network.
    nsExec::ExecToLog 'netsh advfirewall firewall add rule name="${NAZWA}" dir=in action=allow program="$INSTDIR\testownik.exe" enable=yes profile=private'
    Pop $0

    WriteRegStr HKLM "${KLUCZ}" "DisplayName" "${NAZWA}"
    WriteRegStr HKLM "${KLUCZ}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KLUCZ}" "DisplayIcon" "$INSTDIR\testownik.exe"
    WriteRegStr HKLM "${KLUCZ}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KLUCZ}" "UninstallString" '"$INSTDIR\odinstaluj.exe"'
    WriteRegStr HKLM "${KLUCZ}" "QuietUninstallString" '"$INSTDIR\odinstaluj.exe" /S'
    WriteRegDWORD HKLM "${KLUCZ}" "NoModify" 1
    WriteRegDWORD HKLM "${KLUCZ}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    nsExec::ExecToLog 'netsh advfirewall firewall delete rule name="${NAZWA}" program="$INSTDIR\testownik.exe"'
    Pop $0
    Delete "$SMPROGRAMS\${NAZWA}.lnk"
    !include "${LISTA}\usun.nsh"
    Delete "$INSTDIR\odinstaluj.exe"
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${KLUCZ}"
SectionEnd
