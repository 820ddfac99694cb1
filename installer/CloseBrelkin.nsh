; Closing every Brelkin on the computer before its files are replaced or
; removed. Needs LogicLib, WinMessages and the Fail function of Brelkin.nsi.
;
; In this session the frame gets WM_CLOSE, as its Exit command does, so that
; Brelkin releases a held joystick button and writes its last log line. A copy
; in another session (another user on a terminal server, a user switched away
; from) can receive no message from here, so it is ended through the process
; list, as is a copy that did not end within the wait and a camera host left
; without its Brelkin. Where one cannot be ended, nothing is replaced.

!define FRAME_CLASS "BrelkinFrame128"
!define FRAME_TITLE "Tolvacore"
!define CLOSE_TIMEOUT_MS 10000
; ERROR_INSTALL_ALREADY_RUNNING: the code that Intune and other deployment
; tools retry later, which is the right answer to a copy in a session that
; has to end first.
!define EXIT_RETRY_LATER 1618

!macro CLOSE_BRELKIN un
; WM_CLOSE to the frames of this session, each with a bounded wait for its
; process. Ends when no frame is left or one outlives its wait.
Function ${un}CloseFramesOfThisSession
  StrCpy $R9 0
  ${Do}
    FindWindow $0 "${FRAME_CLASS}" "${FRAME_TITLE}"
    ${If} $0 = 0
    ${OrIf} $R9 >= 8
      Return
    ${EndIf}
    IntOp $R9 $R9 + 1
    DetailPrint "Closing the running Brelkin"
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1) i'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 P= 0
      Return
    ${EndIf}
    System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_TIMEOUT_MS}) i .r3'
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $3 <> 0
      Return
    ${EndIf}
  ${Loop}
FunctionEnd

; Ends every process named $R7, in any session. $R8 += the number that could
; not be ended. Other users' processes need the debug privilege, which an
; elevated administrator holds but has not enabled.
Function ${un}EndProcessesNamed
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r5'
  IntPtrOp $4 $5 + 1
  ${If} $4 P= 0
    ; No process list: nobody can say that no copy runs.
    IntOp $R8 $R8 + 1
    Return
  ${EndIf}
  ; PROCESSENTRY32W of a 32-bit process: 556 bytes, the name at offset 36.
  System::Call '*(i 556, &i32, &w260) p .r6'
  System::Call 'kernel32::Process32FirstW(p r5, p r6) i .r7'
  ${DoWhile} $7 <> 0
    System::Call '*$6(i, i, i .r8, &i24, &w260 .r9)'
    ${If} $9 == $R7
      DetailPrint "Ending $R7 (process $8)"
      ; PROCESS_TERMINATE | SYNCHRONIZE
      System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r8) p .r4'
      ${If} $4 P= 0
        IntOp $R8 $R8 + 1
      ${Else}
        System::Call 'kernel32::TerminateProcess(p r4, i 1) i'
        System::Call 'kernel32::WaitForSingleObject(p r4, i 5000) i .r3'
        System::Call 'kernel32::CloseHandle(p r4)'
        ${If} $3 <> 0
          IntOp $R8 $R8 + 1
        ${EndIf}
      ${EndIf}
    ${EndIf}
    System::Call '*$6(i 556)'
    System::Call 'kernel32::Process32NextW(p r5, p r6) i .r7'
  ${Loop}
  System::Free $6
  System::Call 'kernel32::CloseHandle(p r5)'
FunctionEnd

Function ${un}EnableDebugPrivilege
  System::Call 'kernel32::GetCurrentProcess() p .r0'
  ; TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
  System::Call 'advapi32::OpenProcessToken(p r0, i 0x28, *p .r1) i .r2'
  ${If} $2 = 0
    Return
  ${EndIf}
  System::Call 'advapi32::LookupPrivilegeValueW(p 0, w "SeDebugPrivilege", *l .r3) i .r2'
  ${If} $2 <> 0
    ; TOKEN_PRIVILEGES: one privilege, SE_PRIVILEGE_ENABLED
    System::Call 'advapi32::AdjustTokenPrivileges(p r1, i 0, *(i 1, l r3, i 2), i 0, p 0, p 0) i'
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r1)'
FunctionEnd

Function ${un}CloseBrelkin
  ${Do}
    Call ${un}CloseFramesOfThisSession
    Call ${un}EnableDebugPrivilege
    StrCpy $R8 0
    StrCpy $R7 "Brelkin.exe"
    Call ${un}EndProcessesNamed
    ; Hosts end with their Brelkin's job; one that outlives it still holds its
    ; file. BrelkinCameraHost.exe is an earlier version's.
    StrCpy $R7 "BrelkinCameraHost32.exe"
    Call ${un}EndProcessesNamed
    StrCpy $R7 "BrelkinCameraHost64.exe"
    Call ${un}EndProcessesNamed
    StrCpy $R7 "BrelkinCameraHost.exe"
    Call ${un}EndProcessesNamed
    ${If} $R8 = 0
      Return
    ${EndIf}
    ${If} ${Silent}
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "$(CLOSE_RETRY)" \
      IDRETRY retry
    ${Break}
    retry:
  ${Loop}
  StrCpy $R0 "Brelkin is still running ($R8 program(s) could not be ended, perhaps in another user's session). Close it there from its tray menu and try again. Nothing was changed."
  StrCpy $R1 ${EXIT_RETRY_LATER}
  Call ${un}Fail
FunctionEnd
!macroend
