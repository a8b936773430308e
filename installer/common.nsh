; What the setup (tollbrook.nsi) and the uninstaller (uninstall.nsi) share.

!include LogicLib.nsh
!include FileFunc.nsh

!define NAME "Tollbrook"
!define PUBLISHER "The Tollbrook developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tollbrook"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "velnorsoftsp"
!define SHORTCUT "$SMPROGRAMS\${NAME}.lnk"
!define ERROR_SHARING_VIOLATION 32
!define ERROR_ELEVATION_REQUIRED 740

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestSupportedOS all
ManifestDPIAware true
Name "${NAME}"
; Program Files and HKEY_LOCAL_MACHINE are the administrator's.
RequestExecutionLevel admin
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

; Where elevation is not asked for (User Account Control off), a standard user is told
; at once rather than at the first file that cannot be written.
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Installing or removing ${NAME} needs an administrator." /SD IDOK
    SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
  SetShellVarContext all
!macroend

; A running tollbrook.exe cannot be replaced or removed: ask for it to be closed, and
; stop before anything has changed if it is not. Silent, it stops at once.
Function WaitUntilNotRunning
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
  SetErrorLevel ${ERROR_SHARING_VIOLATION}
  Abort
FunctionEnd
