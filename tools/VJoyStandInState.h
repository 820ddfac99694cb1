#pragma once
// The state of the stand-in vJoyInterface.dll, in its own shared-memory block
// of the user's session: the knobs that tests set, the device it simulates
// and every feeder call in order. Also records the stand-in as the installed
// vJoy, as vJoy's installer would.
#include <windows.h>

#include <string>

#include "platform/win32/VJoyInstallation.h"
#include "tools/SharedStateBlock.h"

namespace brelkin::standin {

constexpr wchar_t VJoyStateBlockName[] = L"Local\\BrelkinVJoyStandIn";

enum VJoyCall : LONG {
    CallVJoyEnabled = 1,
    CallGetVJDStatus,
    CallGetVJDButtonNumber,
    CallAcquireVJD,
    CallRelinquishVJD,
    CallSetBtnReleased,
    CallSetBtnPressed,
};

constexpr LONG VJoyCallCapacity = 256;

struct VJoyStandInState {
    volatile LONG ready;  // 0 new, 1 being set up, 2 ready
    // Knobs.
    volatile LONG driverEnabled;  // 0: vJoyEnabled false and every device missing
    volatile LONG otherOwner;     // 1: device 1 belongs to another program
    volatile LONG buttonCount;    // buttons of device 1
    // The simulated device 1.
    volatile LONG ownerProcess;  // id of the process that acquired it; 0 = free
    volatile LONG button1;       // 1 while pressed
    volatile LONG misuse;        // calls on a device the caller does not own, bad ids
    // Every call, in order; callCount goes on counting past the capacity.
    volatile LONG callCount;
    volatile LONG calls[VJoyCallCapacity];
};

// An enabled driver with a free device 1 of eight buttons, no calls yet.
inline void ResetVJoyStandInState(VJoyStandInState& state)
{
    const LONG ready = state.ready;  // kept: another process may be waiting on it
    ZeroMemory(&state, sizeof state);
    state.ready = ready;
    state.driverEnabled = 1;
    state.buttonCount = 8;
}

inline VJoyStandInState* OpenVJoyStandInState(HANDLE* mappingOut)
{
    return OpenSharedStateBlock(VJoyStateBlockName, ResetVJoyStandInState, mappingOut);
}

// Records `installFolder` (which holds x86\ and x64\) as vJoy's install
// location in this process's registry view: the 64-bit view for x64, the
// 32-bit one for x86, which the program reads after the 64-bit view.
inline bool RegisterVJoyStandIn(const std::wstring& installFolder)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, VJoyUninstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS result =
        RegSetValueExW(key, VJoyInstallLocationValue, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(installFolder.c_str()),
                       static_cast<DWORD>((installFolder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

inline void UnregisterVJoyStandIn()
{
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, VJoyUninstallKey);
}

}  // namespace brelkin::standin
