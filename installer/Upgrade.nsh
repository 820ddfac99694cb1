; What BrelkinSetup.exe finds of earlier installs. Needs LogicLib, FileFunc,
; the views and the Fail function of Brelkin.nsi.
;
; BrelkinSetup-x86.exe and BrelkinSetup-x64.exe (version 2.0) registered the
; same Uninstall key name as this installer, the x86 one in the 32-bit view and
; the x64 one in the 64-bit view. What tells them apart from an install by this
; installer is the "Installer" value, which they never wrote.

!define INSTALLER_MARK "BrelkinSetup.exe"
!define EXIT_MSI_PRESENT 4
!define EXIT_UPGRADE_FAILED 5
; The upgrade code of BrelkinSetup-x64.msi and BrelkinSetup-x86.msi (Brelkin.wxs).
!define MSI_UPGRADE_CODE "{29F309B1-A55F-47A1-A284-52B60412172D}"
; Where the machine-wide defaults wait while an earlier uninstaller runs: it
; removes the whole settings key.
!define BACKUP_KEY "Software\Morvane\Tolvacore (setup)"
!define HKLM_HANDLE 0x80000002
; KEY_READ | KEY_WOW64_64KEY; KEY_ALL_ACCESS | KEY_WOW64_64KEY (ignored on 32-bit Windows)
!define KEY_READ_64 0x20119
!define KEY_ALL_64 0xF013F

Var MachineBackup
Var PreviousView

!macro PREVIOUS_VIEW
  ${If} $PreviousView == 64
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
!macroend

; Both packages never install Brelkin together: two uninstallers would each
; remove what the other one needs.
Function RefuseMsiInstall
  System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
  ${If} $0 = 0
    StrCpy $R0 "Brelkin is installed on this computer from its Windows Installer package (BrelkinSetup-x64.msi or BrelkinSetup-x86.msi, product $1). Update it with the newer MSI package, or remove it first (msiexec /x $1). Nothing was changed."
    StrCpy $R1 ${EXIT_MSI_PRESENT}
    Call Fail
  ${EndIf}
FunctionEnd

; Copies key $R2 to key $R3 (both HKLM, the machine view). $0 = 0 on success.
Function CopyMachineKey
  System::Call 'advapi32::RegOpenKeyExW(p ${HKLM_HANDLE}, w R2, i 0, i ${KEY_READ_64}, *p .r1) i .r0'
  ${If} $0 <> 0
    Return
  ${EndIf}
  System::Call 'advapi32::RegCreateKeyExW(p ${HKLM_HANDLE}, w R3, i 0, p 0, i 0, i ${KEY_ALL_64}, p 0, *p .r2, p 0) i .r0'
  ${If} $0 = 0
    System::Call 'advapi32::RegCopyTreeW(p r1, p 0, p r2) i .r0'
    System::Call 'advapi32::RegCloseKey(p r2)'
  ${EndIf}
  System::Call 'advapi32::RegCloseKey(p r1)'
FunctionEnd

Function BackupMachineDefaults
  !insertmacro NATIVE_VIEW
  DeleteRegKey HKLM "${BACKUP_KEY}"
  StrCpy $MachineBackup 0
  ClearErrors
  EnumRegValue $0 HKLM "${SETTINGS_KEY}\Settings" 0
  EnumRegKey $1 HKLM "${SETTINGS_KEY}" 0
  !insertmacro DEFAULT_VIEW
  ${If} $0 == ""
  ${AndIf} $1 == ""
    Return
  ${EndIf}
  StrCpy $R2 "${SETTINGS_KEY}"
  StrCpy $R3 "${BACKUP_KEY}"
  Call CopyMachineKey
  ${If} $0 <> 0
    StrCpy $R0 "The machine-wide defaults could not be kept for the upgrade (error $0). Nothing was changed."
    StrCpy $R1 ${EXIT_UPGRADE_FAILED}
    Call Fail
  ${EndIf}
  StrCpy $MachineBackup 1
FunctionEnd

Function RestoreMachineDefaults
  ${If} $MachineBackup != 1
    Return
  ${EndIf}
  StrCpy $R2 "${BACKUP_KEY}"
  StrCpy $R3 "${SETTINGS_KEY}"
  Call CopyMachineKey
  ${If} $0 = 0
    !insertmacro NATIVE_VIEW
    DeleteRegKey HKLM "${BACKUP_KEY}"
    !insertmacro DEFAULT_VIEW
  ${Else}
    ; The copy stays where an administrator can find it.
    DetailPrint "The machine-wide defaults were kept in HKLM\${BACKUP_KEY} (error $0)"
  ${EndIf}
  StrCpy $MachineBackup 0
FunctionEnd

; The install registered in view $PreviousView: its own uninstaller
; runs silently, with the machine-wide defaults kept around it (the user's
; settings it keeps by itself). Skipped for an install by this installer in
; $INSTDIR, which the files of this one replace in place.
Function RemovePreviousInView
  !insertmacro PREVIOUS_VIEW
  ReadRegStr $R4 HKLM "${UNINST_KEY}" "UninstallString"
  ReadRegStr $R5 HKLM "${UNINST_KEY}" "InstallLocation"
  ReadRegStr $R6 HKLM "${UNINST_KEY}" "Installer"
  ${If} $R4 == ""
    Return
  ${EndIf}
  ${If} $R6 == "${INSTALLER_MARK}"
  ${AndIf} $R5 == $INSTDIR
    Return
  ${EndIf}
  ${If} $R5 != ""
  ${AndIf} ${FileExists} "$R5\Uninstall.exe"
    DetailPrint "Removing the earlier Brelkin in $R5"
    Call BackupMachineDefaults
    ; _?= keeps the uninstaller in its folder, so that its exit code is its own.
    ClearErrors
    ExecWait '"$R5\Uninstall.exe" /S _?=$R5' $R6
    ${If} ${Errors}
      StrCpy $R6 "not started"
    ${EndIf}
    Call RestoreMachineDefaults
    !insertmacro PREVIOUS_VIEW
    ${If} $R6 != 0
      StrCpy $R0 "The earlier Brelkin in $R5 could not be removed (its uninstaller: $R6). Remove it in Add/Remove Programs, then run this setup again."
      StrCpy $R1 ${EXIT_UPGRADE_FAILED}
      Call Fail
    ${EndIf}
    Delete "$R5\Uninstall.exe"
    RMDir "$R5"
  ${EndIf}
  ; A listing without its uninstaller would stay in Add/Remove Programs for good.
  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegValue HKLM "${RUN_KEY}" "Brelkin"
FunctionEnd

; Earlier versions kept their camera hosts in x86\ and x64\ below $INSTDIR.
; A folder goes with its host; one that holds a file the user put there stays.
Function RemoveEarlierHostFolders
  Delete "$INSTDIR\x86\BrelkinCameraHost.exe"
  Delete "$INSTDIR\x64\BrelkinCameraHost.exe"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR\x64"
FunctionEnd

Function RemovePreviousInstalls
  StrCpy $PreviousView 32
  Call RemovePreviousInView
  ${If} ${RunningX64}
    StrCpy $PreviousView 64
    Call RemovePreviousInView
  ${EndIf}
  SetRegView default
FunctionEnd
