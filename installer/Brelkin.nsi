; Brelkin setup. Built by installer/CMakeLists.txt with:
;   makensis -DARCH=x64|x86 -DBRELKIN_EXE=<path> -DREADME=<path> -DOUTFILE=<path> Brelkin.nsi
; Switches: /S (silent), /NOAUTOSTART (install: no start at logon),
; /PRESET="<a mode's menu name>", /DRIVER=WDM|BDA, /POLL=<ms, 10 to 400> (install:
; the machine-wide defaults), /REMOVESETTINGS (uninstall: also remove the
; settings of the user who runs it). A bad option ends the install with exit
; code 2 before anything is changed.

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
; The machine-wide defaults: the same value names as the user's Settings key.
; Always in the 64-bit registry view on 64-bit Windows, for both installers,
; because both builds of the program read it there (see RegistryProfile).
!define MACHINE_SETTINGS_KEY "${SETTINGS_KEY}\Settings"
!define POLL_MIN 10
!define POLL_MAX 400

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"
!include "nsDialogs.nsh"
!include "x64.nsh"
!include "Presets.nsh"

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
Page custom PresetPage PresetPageLeave
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

; The defaults that the options or the preset page chose; empty: leave the
; deployed value as it is.
Var Preset
Var UseBda
Var PollPeriod
Var PresetList

; All the mode names in one text, for the message about a bad /PRESET.
!define MODE_NAME_LIST ""
!macro ADD_MODE_NAME NAME
  !if "${MODE_NAME_LIST}" == ""
    !define /redef MODE_NAME_LIST "${NAME}"
  !else
    !define /redef MODE_NAME_LIST "${MODE_NAME_LIST}; ${NAME}"
  !endif
!macroend
!insertmacro BRELKIN_MODE_NAMES ADD_MODE_NAME

; $R1 = the name itself when $R0 is a mode name exactly as the menu spells it
; (the program compares case and all), else empty.
!macro MATCH_MODE_NAME NAME
  ${If} $R0 S== "${NAME}"
    StrCpy $R1 "${NAME}"
  ${EndIf}
!macroend
Function MatchModeName
  StrCpy $R1 ""
  !insertmacro BRELKIN_MODE_NAMES MATCH_MODE_NAME
FunctionEnd

; Ends the install before anything has changed, with exit code 2 and message
; $R0: in a box when someone is watching, else on the standard error of the
; script that ran the silent install (or of its console).
Function OptionError
  ${If} ${Silent}
    ; No handle is null or INVALID_HANDLE_VALUE: one more than either is at most 1.
    System::Call 'kernel32::GetStdHandle(i -12) p .r0'
    IntPtrOp $1 $0 + 1
    ${If} $1 P<= 1
      System::Call 'kernel32::AttachConsole(i -1) i'
      System::Call 'kernel32::GetStdHandle(i -12) p .r0'
      IntPtrOp $1 $0 + 1
    ${EndIf}
    ${If} $1 P> 1
      FileWrite $0 "Brelkin setup: $R0$\r$\n"
    ${EndIf}
  ${Else}
    MessageBox MB_OK|MB_ICONSTOP "$R0"
  ${EndIf}
  SetErrorLevel 2
  Quit
FunctionEnd

; Reads /PRESET=, /DRIVER= and /POLL= from the command line $0. A script that
; quotes the whole argument ("/PRESET=Kodak (F5)", as PowerShell and most
; process launchers do for a text with spaces) means the same as quoting the
; value, which is the form that GetOptions reads.
Function ReadDefaultOptions
  ${WordReplace} $0 '"/PRESET=' '/PRESET="' "+" $0
  ${WordReplace} $0 '"/DRIVER=' '/DRIVER="' "+" $0
  ${WordReplace} $0 '"/POLL=' '/POLL="' "+" $0
  ClearErrors
  ${GetOptions} $0 "/PRESET=" $R0
  ${IfNot} ${Errors}
    Call MatchModeName
    ${If} $R1 == ""
      StrCpy $R0 '/PRESET="$R0" is not a mode of the Brelkin menu. Use one of these names exactly as written: ${MODE_NAME_LIST}. Nothing was installed.'
      Call OptionError
    ${EndIf}
    StrCpy $Preset $R1
  ${EndIf}

  ClearErrors
  ${GetOptions} $0 "/DRIVER=" $R0
  ${IfNot} ${Errors}
    ${If} $R0 == "WDM"
      StrCpy $UseBda 0
    ${ElseIf} $R0 == "BDA"
      StrCpy $UseBda 1
    ${Else}
      StrCpy $R0 '/DRIVER=$R0 is not a driver kind. Use /DRIVER=WDM or /DRIVER=BDA. Nothing was installed.'
      Call OptionError
    ${EndIf}
  ${EndIf}

  ClearErrors
  ${GetOptions} $0 "/POLL=" $R0
  ${IfNot} ${Errors}
    ; A whole number in its plain decimal form only: IntOp reads "50ms" as 50
    ; and "0x20" as 32, so the text must be what the number prints as.
    IntOp $R1 $R0 + 0
    StrCpy $R2 $R1
    ${If} "$R1" S!= "$R0"
      StrCpy $R2 0
    ${EndIf}
    ${IfNot} $R2 U>= ${POLL_MIN}
    ${OrIfNot} $R2 U<= ${POLL_MAX}
      StrCpy $R0 '/POLL=$R0 is not a poll period. Give the milliseconds as a whole number from ${POLL_MIN} to ${POLL_MAX}. Nothing was installed.'
      Call OptionError
    ${EndIf}
    StrCpy $PollPeriod $R1
  ${EndIf}
FunctionEnd

; The machine-wide defaults live in the 64-bit view on 64-bit Windows.
!macro MACHINE_VIEW
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend
!macro DEFAULT_VIEW
  SetRegView default
!macroend

!macro ADD_PRESET_ITEM NAME
  ${NSD_CB_AddString} $PresetList "${NAME}"
!macroend

; Which mode everyone starts in: a list of the menu's modes, showing the
; /PRESET= of the command line, else the deployed one, else the first preset.
Function PresetPage
  !insertmacro MUI_HEADER_TEXT "Default mode" "The mode Brelkin starts in for every user of this computer."
  nsDialogs::Create 1018
  Pop $1
  ${If} $1 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 36u "Choose the mode for the imaging program that this practice uses. Each user can still choose another one in the Brelkin tray menu; their own choice is kept for them."
  Pop $1
  ${NSD_CreateDropList} 0 44u 100% 160u ""
  Pop $PresetList
  !insertmacro BRELKIN_MODE_NAMES ADD_PRESET_ITEM
  StrCpy $R0 $Preset
  ${If} $R0 == ""
    !insertmacro MACHINE_VIEW
    ReadRegStr $R0 HKLM "${MACHINE_SETTINGS_KEY}" "DefaultKey"
    !insertmacro DEFAULT_VIEW
    Call MatchModeName
    StrCpy $R0 $R1
  ${EndIf}
  ${If} $R0 == ""
    StrCpy $R0 "${BRELKIN_FIRST_PRESET}"
  ${EndIf}
  ${NSD_CB_SelectString} $PresetList $R0
  nsDialogs::Show
FunctionEnd

Function PresetPageLeave
  ${NSD_GetText} $PresetList $R0
  Call MatchModeName
  StrCpy $Preset $R1
FunctionEnd

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

; Only the values that an option or the preset page chose: a silent reinstall
; without options keeps what the administrator deployed before.
Section "-Machine defaults"
  !insertmacro MACHINE_VIEW
  ${If} $Preset != ""
    WriteRegStr HKLM "${MACHINE_SETTINGS_KEY}" "DefaultKey" $Preset
  ${EndIf}
  ${If} $UseBda != ""
    WriteRegDWORD HKLM "${MACHINE_SETTINGS_KEY}" "UseBDA" $UseBda
  ${EndIf}
  ${If} $PollPeriod != ""
    WriteRegDWORD HKLM "${MACHINE_SETTINGS_KEY}" "PollPeriod" $PollPeriod
  ${EndIf}
  !insertmacro DEFAULT_VIEW
SectionEnd

; The machine's Run key in this installer's own view (the 32-bit one for the
; x86 build, where Windows also looks at logon), so that everyone who logs on
; gets Brelkin, not only the administrator who installed it.
Section "Start Brelkin at logon" SecAutoStart
  WriteRegStr HKLM "${RUN_KEY}" "Brelkin" '"$INSTDIR\Brelkin.exe"'
SectionEnd

; Earlier versions wrote the logon start into the installing account's own Run
; key; left there it would start the program twice for that account. A
; reinstall without the logon option must not leave the old Run value behind.
Section "-NoAutoStart"
  DeleteRegValue HKCU "${RUN_KEY}" "Brelkin"
  ${IfNot} ${SectionIsSelected} ${SecAutoStart}
    DeleteRegValue HKLM "${RUN_KEY}" "Brelkin"
  ${EndIf}
SectionEnd

LangString DESC_SecProgram ${LANG_ENGLISH} "The Brelkin program, its readme and the Start-menu entries."
LangString DESC_SecAutoStart ${LANG_ENGLISH} "Start Brelkin for everyone who logs on to this computer."
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
  Call ReadDefaultOptions
FunctionEnd

Section "un.Brelkin" UnSecProgram
  SectionIn RO
  Call un.CloseBrelkin
  SetShellVarContext all
  DeleteRegValue HKLM "${RUN_KEY}" "Brelkin"
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
  !insertmacro MACHINE_VIEW
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Morvane"
  !insertmacro DEFAULT_VIEW
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
