; Brelkin setup. Built by installer/CMakeLists.txt with:
;   makensis -DARCH=x64|x86 -DBRELKIN_EXE=<path> -DREADME=<path> -DOUTFILE=<path> Brelkin.nsi
; Silent switches: /S, /NOAUTOSTART (install: no start at logon),
; /REMOVESETTINGS (uninstall: also remove the user's settings).

Unicode true
!ifndef ARCH
  !error "ARCH must be x64 or x86"
!endif
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!define PRODUCT "Brelkin"
!define VERSION "2.0"
!define PUBLISHER "Brelkin Project"
; The running program is found by its hidden frame window.
!define FRAME_CLASS "BrelkinFrame128"
!define FRAME_TITLE "Tolvacore"
!define CLOSE_TIMEOUT_MS 10000
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brelkin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Morvane\Tolvacore"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "2.0.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Brelkin.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Closes a running Brelkin the way its Exit command does: WM_CLOSE to the
; hidden frame, then a bounded wait for the process to end. Files of a running
; program cannot be replaced or removed, so giving up aborts.
!macro CLOSE_BRELKIN un
Function ${un}CloseBrelkin
  StrCpy $R9 0 ; attempts
  again:
  FindWindow $0 "${FRAME_CLASS}" "${FRAME_TITLE}"
  ${If} $0 = 0
    Return
  ${EndIf}
  DetailPrint "Closing the running Brelkin"
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1) i'
  ; SYNCHRONIZE
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${If} $2 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_TIMEOUT_MS}) i .r3'
    System::Call 'kernel32::CloseHandle(p r2)'
  ${Else}
    ; No process handle: wait for the window instead.
    StrCpy $3 0
    ${Do}
      Sleep 200
      IntOp $3 $3 + 200
      FindWindow $4 "${FRAME_CLASS}" "${FRAME_TITLE}"
      ${If} $4 = 0
        ${Break}
      ${EndIf}
    ${LoopUntil} $3 >= ${CLOSE_TIMEOUT_MS}
  ${EndIf}
  FindWindow $0 "${FRAME_CLASS}" "${FRAME_TITLE}"
  ${If} $0 = 0
    Return
  ${EndIf}
  IntOp $R9 $R9 + 1
  ${If} ${Silent}
  ${OrIf} $R9 > 5
    SetErrorLevel 2
    DetailPrint "Brelkin is still running; nothing was changed"
    Abort "Brelkin is still running. Close it from its tray menu and try again."
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "Brelkin is still running. Close it from its tray menu (E&xit), then choose Retry." \
    IDRETRY again
  SetErrorLevel 2
  Abort "Brelkin is still running."
FunctionEnd
!macroend
!insertmacro CLOSE_BRELKIN ""
!insertmacro CLOSE_BRELKIN "un."

Section "Brelkin" SecProgram
  SectionIn RO
  Call CloseBrelkin
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  ; Only the program and its readme: the camera vendor's libraries come with
  ; the camera and are never shipped here.
  File "/oname=Brelkin.exe" "${BRELKIN_EXE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Brelkin.lnk" "$INSTDIR\Brelkin.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall Brelkin.lnk" "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Brelkin Readme.lnk" "$INSTDIR\README.txt"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Brelkin.exe,0"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Start Brelkin at logon" SecAutoStart
  WriteRegStr HKCU "${RUN_KEY}" "Brelkin" '"$INSTDIR\Brelkin.exe"'
SectionEnd

; A reinstall without the logon option must not leave the old Run value behind.
Section "-NoAutoStart"
  ${IfNot} ${SectionIsSelected} ${SecAutoStart}
    DeleteRegValue HKCU "${RUN_KEY}" "Brelkin"
  ${EndIf}
SectionEnd

LangString DESC_SecProgram ${LANG_ENGLISH} "The Brelkin program, its readme and the Start-menu entries."
LangString DESC_SecAutoStart ${LANG_ENGLISH} "Start Brelkin each time you log on."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_SecProgram)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutoStart} $(DESC_SecAutoStart)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutoStart}
  ${EndIf}
FunctionEnd

Section "un.Brelkin" UnSecProgram
  SectionIn RO
  Call un.CloseBrelkin
  SetShellVarContext all
  DeleteRegValue HKCU "${RUN_KEY}" "Brelkin"
  Delete "$SMPROGRAMS\${PRODUCT}\Brelkin.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall Brelkin.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Brelkin Readme.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$INSTDIR\Brelkin.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only if empty: files the user put there (the camera libraries) stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd

Section /o "un.Remove my Brelkin settings" UnSecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Morvane"
SectionEnd

LangString DESC_UnSecSettings ${LANG_ENGLISH} "Also remove your presets, custom chords and driver choice from the registry."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecSettings} $(DESC_UnSecSettings)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecSettings}
  ${EndIf}
FunctionEnd
