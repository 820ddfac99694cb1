; BrelkinSetup.exe: one setup for every Windows. Built by installer/CMakeLists.txt with:
;   makensis -DBRELKIN_X64_EXE=<path> -DBRELKIN_X86_EXE=<path> -DHOST_X64_EXE=<path>
;            -DHOST_X86_EXE=<path> -DREADME=<path> -DPRESETS_NSH=<path> -DOUTFILE=<path>
;            [-DSIGN_UNINSTALLER=<command that signs the file %1>]
;            [-DPLUGIN_DIR=<folder of signed NSIS plug-ins>] Brelkin.nsi
; On 64-bit Windows it installs the x64 Brelkin with the x86 and x64 camera
; hosts, on 32-bit Windows the x86 Brelkin with the x86 host. The setup itself
; is a 32-bit program, so that it starts on both.
; Switches: /S (silent), /NOAUTOSTART (install: no start at logon),
; /PRESET="<a mode's menu name>", /LONGPRESS="<a key mode's name>",
; /DOUBLEPRESS="<a key mode's name>", /DRIVER=WDM|BDA, /POLL=<ms, 10 to 400>,
; /LANGUAGE=<tag> (install: the machine-wide defaults), /REMOVESETTINGS
; (uninstall: also remove the settings of the user who runs it).
; Exit codes: 2 an option is not accepted, 4 the MSI package's install is
; present, 1618 Brelkin could not be closed in every session or another
; install is running (nothing changed in these three), 5 an earlier install
; could not be removed.

Unicode true
Target x86-unicode
; A signed build's own signed copies of the plug-ins, found before NSIS's.
!ifdef PLUGIN_DIR
  !addplugindir /x86-unicode "${PLUGIN_DIR}"
!endif

!define PRODUCT "Brelkin"
!define VERSION "2.0"
!define PUBLISHER "Brelkin Project"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brelkin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Morvane\Tolvacore"
; The machine-wide defaults: the same value names as the user's Settings key,
; in the 64-bit registry view on 64-bit Windows, where both builds of the
; program read them (see RegistryProfile).
!define MACHINE_SETTINGS_KEY "${SETTINGS_KEY}\Settings"
!define POLL_MIN 10
!define POLL_MAX 400
!define EXIT_BAD_OPTION 2

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"
!include "nsDialogs.nsh"
!include "x64.nsh"
!include "${PRESETS_NSH}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; A signed build (installer/CMakeLists.txt) signs the uninstaller before it is
; packed into the setup, so that the one written at install time is signed too.
!ifdef SIGN_UNINSTALLER
  !uninstfinalize '${SIGN_UNINSTALLER}' = 0
!endif
; The same as $PROGRAMFILES on 32-bit Windows.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
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
!include "Languages.nsh"

; The registry view of the installed program: the 64-bit one on 64-bit
; Windows, for its files, its logon start, its Add/Remove entry and the
; machine-wide defaults alike.
!macro NATIVE_VIEW
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend
!macro DEFAULT_VIEW
  SetRegView default
!macroend

; Ends setup with exit code $R1 and message $R0: in a box when someone is
; watching, else on the standard error of the script that ran the silent
; setup (or of its console).
!macro FAIL un
Function ${un}Fail
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
  DetailPrint "$R0"
  SetErrorLevel $R1
  Quit
FunctionEnd
!macroend
!insertmacro FAIL ""
!insertmacro FAIL "un."

!include "CloseBrelkin.nsh"
!insertmacro CLOSE_BRELKIN ""
!insertmacro CLOSE_BRELKIN "un."
!include "Upgrade.nsh"

; The defaults that the options or the preset page chose; empty: leave the
; deployed value as it is.
Var Preset
Var UseBda
Var PollPeriod
Var LanguageTag
Var LongPress
Var DoublePress
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
; The same for /LONGPRESS and /DOUBLEPRESS: every mode but the joystick's.
!define KEY_MODE_NAME_LIST ""
!macro ADD_KEY_MODE_NAME NAME
  !if "${KEY_MODE_NAME_LIST}" == ""
    !define /redef KEY_MODE_NAME_LIST "${NAME}"
  !else
    !define /redef KEY_MODE_NAME_LIST "${KEY_MODE_NAME_LIST}; ${NAME}"
  !endif
!macroend
!insertmacro BRELKIN_KEY_MODE_NAMES ADD_KEY_MODE_NAME

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

Function MatchKeyModeName
  StrCpy $R1 ""
  !insertmacro BRELKIN_KEY_MODE_NAMES MATCH_MODE_NAME
FunctionEnd

; Another install running: a second BrelkinSetup.exe (this mutex, held until
; the setup ends) or a Windows Installer package (msiexec holds _MSIExecute
; while it changes the computer). Either may replace what this one installs.
; _MSIExecute outlives the install that held it, so only a hold counts: a wait
; of 0 ms that times out; one that gets it gives it straight back.
!define SETUP_MUTEX "Global\BrelkinSetup"
!define ERROR_ALREADY_EXISTS 183
!define WAIT_OBJECT_0 0
!define WAIT_ABANDONED 0x80
!define WAIT_TIMEOUT 258
Function RefuseWhileAnotherInstallRuns
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "${SETUP_MUTEX}") p .r1 ?e'
  Pop $0
  ${If} $0 = ${ERROR_ALREADY_EXISTS}
    StrCpy $R0 "Another Brelkin setup is running. Try again when it has finished. Nothing was changed."
    StrCpy $R1 ${EXIT_RETRY_LATER}
    Call Fail
  ${EndIf}
  ; SYNCHRONIZE
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Global\_MSIExecute") p .r1'
  StrCpy $2 ${WAIT_OBJECT_0}
  ${If} $1 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r1, i 0) i .r2'
    ${If} $2 = ${WAIT_OBJECT_0}
    ${OrIf} $2 = ${WAIT_ABANDONED}
      System::Call 'kernel32::ReleaseMutex(p r1) i'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  ${If} $2 = ${WAIT_TIMEOUT}
    StrCpy $R0 "Another installation (a Windows Installer package) is in progress. Try again when it has finished. Nothing was changed."
    StrCpy $R1 ${EXIT_RETRY_LATER}
    Call Fail
  ${EndIf}
FunctionEnd

; A bad option ends the install before anything has changed.
Function OptionError
  StrCpy $R1 ${EXIT_BAD_OPTION}
  Call Fail
FunctionEnd

; Reads /PRESET=, /DRIVER= and /POLL= from the command line $0. A script that
; quotes the whole argument ("/PRESET=Kodak (F5)", as PowerShell and most
; process launchers do for a text with spaces) means the same as quoting the
; value, which is the form that GetOptions reads.
Function ReadDefaultOptions
  ${WordReplace} $0 '"/PRESET=' '/PRESET="' "+" $0
  ${WordReplace} $0 '"/DRIVER=' '/DRIVER="' "+" $0
  ${WordReplace} $0 '"/POLL=' '/POLL="' "+" $0
  ${WordReplace} $0 '"/LONGPRESS=' '/LONGPRESS="' "+" $0
  ${WordReplace} $0 '"/DOUBLEPRESS=' '/DOUBLEPRESS="' "+" $0
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
  ${GetOptions} $0 "/LONGPRESS=" $R0
  ${IfNot} ${Errors}
    Call MatchKeyModeName
    ${If} $R1 == ""
      StrCpy $R0 '/LONGPRESS="$R0" is not a mode a long press can send. Use one of these names exactly as written: ${KEY_MODE_NAME_LIST}. Nothing was installed.'
      Call OptionError
    ${EndIf}
    StrCpy $LongPress $R1
  ${EndIf}

  ClearErrors
  ${GetOptions} $0 "/DOUBLEPRESS=" $R0
  ${IfNot} ${Errors}
    Call MatchKeyModeName
    ${If} $R1 == ""
      StrCpy $R0 '/DOUBLEPRESS="$R0" is not a mode a double press can send. Use one of these names exactly as written: ${KEY_MODE_NAME_LIST}. Nothing was installed.'
      Call OptionError
    ${EndIf}
    StrCpy $DoublePress $R1
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

  ; One of Brelkin's language tags, as the program reads it; an interactive
  ; install without it stores the setup's own language.
  ClearErrors
  ${GetOptions} $0 "/LANGUAGE=" $R0
  ${IfNot} ${Errors}
    StrCpy $R1 ""
    ${ForEach} $R2 0 9 + 1
      ${Select} $R2
        ${Case} 0
          StrCpy $R3 "en en-US"
        ${Case} 1
          StrCpy $R3 "de de-DE"
        ${Case} 2
          StrCpy $R3 "fr fr-FR"
        ${Case} 3
          StrCpy $R3 "es es-ES"
        ${Case} 4
          StrCpy $R3 "it it-IT"
        ${Case} 5
          StrCpy $R3 "nl nl-NL"
        ${Case} 6
          StrCpy $R3 "pl pl-PL"
        ${Case} 7
          StrCpy $R3 "pt pt-BR"
        ${Case} 8
          StrCpy $R3 "ja ja-JP"
        ${Case} 9
          StrCpy $R3 "zh zh-CN"
      ${EndSelect}
      ${WordFind} $R3 " " "+1" $R4
      ${WordFind} $R3 " " "+2" $R5
      ${If} $R0 == $R4
      ${OrIf} $R0 == $R5
        StrCpy $R1 $R5
      ${EndIf}
    ${Next}
    ${If} $R1 == ""
      StrCpy $R0 '/LANGUAGE=$R0 is not a language of Brelkin. Use one of en, de, fr, es, it, nl, pl, pt-BR, ja, zh-CN. Nothing was installed.'
      Call OptionError
    ${EndIf}
    StrCpy $LanguageTag $R1
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


!macro ADD_PRESET_ITEM NAME
  ${NSD_CB_AddString} $PresetList "${NAME}"
!macroend

; Which mode everyone starts in: a list of the menu's modes, showing the
; /PRESET= of the command line, else the deployed one, else the first preset.
Function PresetPage
  !insertmacro MUI_HEADER_TEXT "$(PRESET_TITLE)" "$(PRESET_SUBTITLE)"
  nsDialogs::Create 1018
  Pop $1
  ${If} $1 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 36u "$(PRESET_LABEL)"
  Pop $1
  ${NSD_CreateDropList} 0 44u 100% 160u ""
  Pop $PresetList
  !insertmacro BRELKIN_MODE_NAMES ADD_PRESET_ITEM
  StrCpy $R0 $Preset
  ${If} $R0 == ""
    !insertmacro NATIVE_VIEW
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
  Call RemovePreviousInstalls
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  ; Only the program, its camera hosts and its readme: the camera vendor's
  ; libraries come with the camera and are never shipped here.
  ; The hosts sit beside Brelkin.exe: a library that reads its files beside
  ; the program finds them in Brelkin's folder.
  ${If} ${RunningX64}
    File "/oname=Brelkin.exe" "${BRELKIN_X64_EXE}"
    File "/oname=BrelkinCameraHost64.exe" "${HOST_X64_EXE}"
  ${Else}
    File "/oname=Brelkin.exe" "${BRELKIN_X86_EXE}"
    ; A host of the other bitness left by a copy of the folder from 64-bit Windows
    ; cannot run here.
    Delete "$INSTDIR\BrelkinCameraHost64.exe"
  ${EndIf}
  File "/oname=BrelkinCameraHost32.exe" "${HOST_X86_EXE}"
  Call RemoveEarlierHostFolders
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Brelkin.lnk" "$INSTDIR\Brelkin.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall Brelkin.lnk" "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Brelkin Readme.lnk" "$INSTDIR\README.txt"

  !insertmacro NATIVE_VIEW
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Brelkin.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "Installer" "${INSTALLER_MARK}"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" "$0"
  !insertmacro DEFAULT_VIEW
SectionEnd

Section "-Machine defaults"
  !insertmacro NATIVE_VIEW
  ${If} $Preset != ""
    WriteRegStr HKLM "${MACHINE_SETTINGS_KEY}" "DefaultKey" $Preset
  ${EndIf}
  ${If} $UseBda != ""
    WriteRegDWORD HKLM "${MACHINE_SETTINGS_KEY}" "UseBDA" $UseBda
  ${EndIf}
  ${If} $PollPeriod != ""
    WriteRegDWORD HKLM "${MACHINE_SETTINGS_KEY}" "PollPeriod" $PollPeriod
  ${EndIf}
  ${If} $LongPress != ""
    WriteRegStr HKLM "${MACHINE_SETTINGS_KEY}" "LongPressKey" $LongPress
  ${EndIf}
  ${If} $DoublePress != ""
    WriteRegStr HKLM "${MACHINE_SETTINGS_KEY}" "DoublePressKey" $DoublePress
  ${EndIf}
  ; The language the administrator saw the setup in (Windows' display
  ; language), unless /LANGUAGE= named one; a silent install without it leaves
  ; each user in their own Windows display language.
  ${If} $LanguageTag == ""
  ${AndIfNot} ${Silent}
    StrCpy $LanguageTag "$(LANGUAGE_TAG)"
  ${EndIf}
  ${If} $LanguageTag != ""
    WriteRegStr HKLM "${MACHINE_SETTINGS_KEY}" "Language" $LanguageTag
  ${EndIf}
  !insertmacro DEFAULT_VIEW
SectionEnd

; The machine's Run key, so that everyone who logs on gets Brelkin, not only
; the administrator who installed it.
Section "$(SEC_AUTOSTART)" SecAutoStart
  !insertmacro NATIVE_VIEW
  WriteRegStr HKLM "${RUN_KEY}" "Brelkin" '"$INSTDIR\Brelkin.exe"'
  !insertmacro DEFAULT_VIEW
SectionEnd

; Earlier versions wrote the logon start into the installing account's own Run
; key; left there it would start the program twice for that account. A
; reinstall without the logon option must not leave the old Run value behind.
Section "-NoAutoStart"
  DeleteRegValue HKCU "${RUN_KEY}" "Brelkin"
  ${IfNot} ${SectionIsSelected} ${SecAutoStart}
    !insertmacro NATIVE_VIEW
    DeleteRegValue HKLM "${RUN_KEY}" "Brelkin"
    !insertmacro DEFAULT_VIEW
  ${EndIf}
SectionEnd

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
  Call RefuseWhileAnotherInstallRuns
  Call RefuseMsiInstall
  ; A reinstall keeps the folder of the install it replaces, unless /D= names one.
  ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    !insertmacro NATIVE_VIEW
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ReadRegStr $1 HKLM "${UNINST_KEY}" "Installer"
    !insertmacro DEFAULT_VIEW
    ${If} $1 == "${INSTALLER_MARK}"
    ${AndIf} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "un.Brelkin" UnSecProgram
  SectionIn RO
  Call un.CloseBrelkin
  SetShellVarContext all
  !insertmacro NATIVE_VIEW
  DeleteRegValue HKLM "${RUN_KEY}" "Brelkin"
  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Morvane"
  !insertmacro DEFAULT_VIEW
  DeleteRegValue HKCU "${RUN_KEY}" "Brelkin"
  Delete "$SMPROGRAMS\${PRODUCT}\Brelkin.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall Brelkin.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Brelkin Readme.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$INSTDIR\Brelkin.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$INSTDIR\BrelkinCameraHost32.exe"
  Delete "$INSTDIR\BrelkinCameraHost64.exe"
  ; Only if empty: files the user put there (the camera libraries) stay.
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.$(UNSEC_SETTINGS)" UnSecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Morvane"
SectionEnd

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
