; Tollbrook's uninstaller, uninstall.exe in the install folder, made by
; installer/CMakeLists.txt before the setup that carries it:
;   makensis -DVERSION=1.01 -DVERSION_QUAD=1.1.0.0 -DICON=tollbrook.ico
;            -DOUTFILE=uninstall.exe uninstall.nsi
;
; A program of its own rather than NSIS's uninstaller: that one copies itself to the
; temporary folder, starts the copy and ends with 0 at once, so a deployment tool never
; learns that nothing was removed. This one waits for its copy and ends with its code:
;     0  uninstalled
;     1  cancelled on its confirm page
;     2  the copy in the temporary folder could not be made or started
;    32  (ERROR_SHARING_VIOLATION) Tollbrook is running
;   740  (ERROR_ELEVATION_REQUIRED) not run by an administrator
; Whenever the code is not 0, nothing was removed.
;
; One file, three parts, told apart by the command line:
;   uninstall.exe [/S]                     from the install folder: copies itself into
;                                          a new folder under %TEMP%, runs the copy as
;                                          below, waits for it and ends with its code
;   copy /REMOVE [/S] /D=install folder    confirms (unless silent) and removes the
;                                          program, its shortcut, its entry among the
;                                          installed programs and its start at logon
;   copy /CLEANUP /D=install folder        started once that removed everything: takes
;                                          uninstall.exe, when the first has ended, and
;                                          the install folder if it is then empty
; uninstall.exe cannot go while it runs, and it runs until it knows the code; so the
; last part outlives it. The copy in %TEMP% is deleted at the next restart, as NSIS's
; own uninstaller's is.

!include "${__FILEDIR__}/common.nsh"
!include MUI2.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

OutFile "${OUTFILE}"
Caption "${NAME} Uninstall"
; No InstallDir: the install folder is this file's own, or the one /D= names.
InstallButtonText "&Uninstall"
ShowInstDetails show

!define MUI_ICON "${ICON}"
Page custom ConfirmPage
!define MUI_PAGE_HEADER_TEXT "Uninstalling"
!define MUI_PAGE_HEADER_SUBTEXT "Please wait while ${NAME} is being uninstalled."
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "Uninstallation Complete"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "Uninstall was completed successfully."
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "Uninstallation Aborted"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "Uninstall was not completed successfully."
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${NAME} ${VERSION} uninstaller"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "uninstall.exe"

Function .onInit
  !insertmacro RequireAdministrator
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVE" $R1
  ${IfNot} ${Errors}
    ${If} $INSTDIR == ""
      SetErrorLevel 2
      Quit
    ${EndIf}
    Return ; on to the pages and the section
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CLEANUP" $R1
  ${IfNot} ${Errors}
    ${If} $INSTDIR != ""
      Call Cleanup
    ${EndIf}
    Quit
  ${EndIf}
  Call RunCopy
  Quit
FunctionEnd

Function RunCopy
  StrCpy $INSTDIR $EXEDIR
  ; A new folder of its own: the name GetTempFileName made unique.
  GetTempFileName $R0
  Delete $R0
  ClearErrors
  CreateDirectory $R0
  CopyFiles /SILENT /FILESONLY "$EXEPATH" "$R0\uninstall.exe"
  ${IfNot} ${Errors}
    StrCpy $R1 ""
    ${If} ${Silent}
      StrCpy $R1 " /S"
    ${EndIf}
    ; /D= comes last and unquoted, blanks and all.
    ExecWait '"$R0\uninstall.exe" /REMOVE$R1 /D=$INSTDIR' $R2
  ${EndIf}
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "The uninstaller could not run from $R0." /SD IDOK
    StrCpy $R2 2
  ${EndIf}
  ${If} $R2 = 0
    Exec '"$R0\uninstall.exe" /CLEANUP /D=$INSTDIR'
  ${Else}
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
  ${EndIf}
  SetErrorLevel $R2
FunctionEnd

Function Cleanup
  ; The uninstall.exe that started this ends right after: wait for it up to a minute.
  ${For} $R0 1 600
    Delete "$INSTDIR\uninstall.exe"
    ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
  ; Only if empty: whatever else the folder holds is not the installer's.
  RMDir "$INSTDIR"
  Delete /REBOOTOK "$EXEPATH"
  RMDir /REBOOTOK "$EXEDIR"
FunctionEnd

Function ConfirmPage
  !insertmacro MUI_HEADER_TEXT "Uninstall ${NAME}" "Remove ${NAME} from your computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u \
    "${NAME} will be uninstalled from the following folder. Click Uninstall to start the uninstallation."
  Pop $0
  ${NSD_CreateLabel} 0 37u 22% 10u "Uninstalling from:"
  Pop $0
  ${NSD_CreateText} 22% 35u 78% 12u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  nsDialogs::Show
FunctionEnd

Section "-Remove"
  Call WaitUntilNotRunning
  ; First the program itself: if it was started again since, nothing else goes either.
  Delete "$INSTDIR\tollbrook.exe"
  ${If} ${FileExists} "$INSTDIR\tollbrook.exe"
    DetailPrint "$INSTDIR\tollbrook.exe could not be removed."
    SetErrorLevel ${ERROR_SHARING_VIOLATION}
    Abort
  ${EndIf}
  ; Start at logon of the program removed here would start nothing: it goes with the
  ; program. The value is the quoted path (an earlier version wrote it without quotes);
  ; one naming another copy of the program stays. Compared without regard to case, as
  ; Windows does.
  ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\tollbrook.exe"'
  ${OrIf} $0 == "$INSTDIR\tollbrook.exe"
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DetailPrint "Each user's schedule in %APPDATA%\${NAME} is kept."
SectionEnd
