; Tollbrook's setup for Windows (x64), made by installer/CMakeLists.txt:
;   makensis -DVERSION=1.01 -DVERSION_QUAD=1.1.0.0 -DPROGRAM=tollbrook.exe
;            -DICON=tollbrook.ico -DOUTFILE=tollbrook-1.01-setup.exe tollbrook.nsi
; It installs tollbrook.exe for every user of the machine under Program Files, with a
; Start-menu shortcut and an entry among the installed programs. That entry's
; InstallLocation is how the program knows it runs from its install folder, and so
; keeps each user's schedule in %APPDATA%\Tollbrook rather than beside itself.
; Silent: setup.exe /S [/D=folder], uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestSupportedOS all
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define NAME "Tollbrook"
!define PUBLISHER "The Tollbrook developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tollbrook"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "velnorsoftsp"
!define SHORTCUT "$SMPROGRAMS\${NAME}.lnk"

Name "${NAME}"
OutFile "${OUTFILE}"
; A 64-bit installer: $PROGRAMFILES64 and the registry it writes are the 64-bit ones,
; which the 64-bit program reads.
InstallDir "$PROGRAMFILES64\${NAME}"
; Installing again goes where the last install went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Program Files and HKEY_LOCAL_MACHINE are the administrator's.
RequestExecutionLevel admin
BrandingText "${NAME} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "tollbrook-${VERSION}-setup.exe"

; Where elevation is not asked for (User Account Control off), a standard user is told
; at once rather than at the first file that cannot be written.
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Installing or removing ${NAME} needs an administrator." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  SetShellVarContext all
!macroend

; A running tollbrook.exe cannot be replaced or removed: ask for it to be closed, and
; stop before anything has changed if it is not. Silent, it stops at once.
!macro WaitUntilNotRunning un
  Function ${un}WaitUntilNotRunning
    retry:
    ${IfNot} ${FileExists} "$INSTDIR\tollbrook.exe"
      Return
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\tollbrook.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${NAME} is running. End it (Exit in its window or its tray menu), then choose Retry." /SD IDCANCEL IDRETRY retry
    DetailPrint "$INSTDIR\tollbrook.exe is in use."
    SetErrorLevel 32 ; ERROR_SHARING_VIOLATION
    Abort
  FunctionEnd
!macroend
!insertmacro WaitUntilNotRunning ""
!insertmacro WaitUntilNotRunning "un."

Function .onInit
  !insertmacro RequireAdministrator
FunctionEnd

Function un.onInit
  !insertmacro RequireAdministrator
FunctionEnd

Section "Tollbrook"
  SetOutPath "$INSTDIR"
  Call WaitUntilNotRunning
  File "/oname=tollbrook.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
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

Section "Uninstall"
  Call un.WaitUntilNotRunning
  ; Start at logon of the program removed here would start nothing: it goes with the
  ; program. One naming another copy of the program stays.
  ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == "$INSTDIR\tollbrook.exe" ; compared without regard to case, as Windows does
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  Delete "$INSTDIR\tollbrook.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only if empty: whatever else the folder holds is not the installer's.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DetailPrint "Each user's schedule in %APPDATA%\${NAME} is kept."
SectionEnd
