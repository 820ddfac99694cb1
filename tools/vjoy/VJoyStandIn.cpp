// The stand-in vJoyInterface.dll: vJoy's feeder functions over one simulated
// device 1, answering from and recording into the shared block that tests
// and the Camera Simulator's users set. Built for x86 and x64; the functions
// are cdecl, as vJoy's are.
#include <windows.h>

#include "tools/VJoyStandInState.h"

using namespace brelkin::standin;

namespace {

// GetVJDStatus's values.
constexpr int StatusOwn = 0, StatusFree = 1, StatusBusy = 2, StatusMissing = 3;

StandInBlock<VJoyStandInState> g_block{VJoyStateBlockName, ResetVJoyStandInState};

VJoyStandInState& Record(VJoyCall call)
{
    VJoyStandInState& s = g_block.Get();
    const LONG index = InterlockedIncrement(&s.callCount) - 1;
    if (index < VJoyCallCapacity)
        s.calls[index] = call;
    return s;
}

// Like the driver, a device whose owner has ended is free again.
bool OwnerAlive(DWORD process)
{
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (!handle)
        return false;
    const bool alive = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    CloseHandle(handle);
    return alive;
}

int StatusOf(VJoyStandInState& s, UINT device)
{
    if (!s.driverEnabled || device != 1)
        return StatusMissing;
    if (s.otherOwner)
        return StatusBusy;
    const DWORD owner = static_cast<DWORD>(s.ownerProcess);
    if (owner == GetCurrentProcessId())
        return StatusOwn;
    return owner != 0 && OwnerAlive(owner) ? StatusBusy : StatusFree;
}

}  // namespace

extern "C" {

BOOL __cdecl vJoyEnabled()
{
    return Record(CallVJoyEnabled).driverEnabled ? TRUE : FALSE;
}

int __cdecl GetVJDStatus(UINT device)
{
    return StatusOf(Record(CallGetVJDStatus), device);
}

int __cdecl GetVJDButtonNumber(UINT device)
{
    VJoyStandInState& s = Record(CallGetVJDButtonNumber);
    return StatusOf(s, device) == StatusMissing ? 0 : s.buttonCount;
}

BOOL __cdecl AcquireVJD(UINT device)
{
    VJoyStandInState& s = Record(CallAcquireVJD);
    const int status = StatusOf(s, device);
    if (status == StatusFree)
        InterlockedExchange(&s.ownerProcess, static_cast<LONG>(GetCurrentProcessId()));
    return status == StatusFree || status == StatusOwn;
}

void __cdecl RelinquishVJD(UINT device)
{
    VJoyStandInState& s = Record(CallRelinquishVJD);
    if (StatusOf(s, device) == StatusOwn)
        InterlockedExchange(&s.ownerProcess, 0);
    else
        InterlockedIncrement(&s.misuse);
}

BOOL __cdecl SetBtn(BOOL value, UINT device, UCHAR button)
{
    VJoyStandInState& s = Record(value ? CallSetBtnPressed : CallSetBtnReleased);
    if (StatusOf(s, device) != StatusOwn || button < 1 || button > s.buttonCount) {
        InterlockedIncrement(&s.misuse);
        return FALSE;
    }
    if (button == 1)
        InterlockedExchange(&s.button1, value ? 1 : 0);
    return TRUE;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        g_block.Release();
    return TRUE;
}
