; Tollbrook's setup for Windows (x64), made by installer/CMakeLists.txt:
;   makensis -DVERSION=1.01 -DVERSION_QUAD=1.1.0.0 -DPROGRAM=tollbrook.exe
;            -DUNINSTALLER=uninstall.exe -DICON=tollbrook.ico -DLICENSE=LICENSE
;            -DOUTFILE=tollbrook-1.01-setup.exe tollbrook.nsi
; It installs tollbrook.exe for every user of the machine under Program Files, with
; its uninstaller (uninstall.nsi), a Start-menu shortcut and an entry among the
; installed programs. That entry's InstallLocation is how the program knows it runs
; from its install folder, and so keeps each user's schedule in %APPDATA%\Tollbrook
; rather than beside itself.
; Silent: setup.exe /S [/D=folder], uninstall.exe /S. The setup exits with 32
; (ERROR_SHARING_VIOLATION) when Tollbrook runs, having changed nothing.

!include "${__FILEDIR__}/common.nsh"
!include MUI2.nsh

OutFile "${OUTFILE}"
; A 64-bit installer: $PROGRAMFILES64 and the registry it writes are the 64-bit ones,
; which the 64-bit program reads.
InstallDir "$PROGRAMFILES64\${NAME}"
; Installing again goes where the last install went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
; Welcome, the licence to agree to, the folder, the copying, and a finish page that
; offers to run the program. A silent install shows none of them and runs nothing.
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run Tollbrook"
!define MUI_FINISHPAGE_RUN_FUNCTION RunTollbrook
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "tollbrook-${VERSION}-setup.exe"

; The setup runs with raised rights, perhaps as another account than the user's (an
; administrator's password typed in): started by the shell, the program runs as the
; user who is logged on, with that user's rights and schedule folder.
Function RunTollbrook
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\tollbrook.exe"'
FunctionEnd

Function .onInit
  !insertmacro RequireAdministrator
FunctionEnd

Section "Tollbrook"
  SetOutPath "$INSTDIR"
  Call WaitUntilNotRunning
  File "/oname=tollbrook.exe" "${PROGRAM}"
  File "/oname=uninstall.exe" "${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\tollbrook.exe" "" "$INSTDIR\tollbrook.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tollbrook.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd
