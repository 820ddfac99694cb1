#pragma once
// The Win32 implementations of the device-access platform interfaces.
#include <windows.h>

#include "platform/Com.h"
#include "platform/DeviceIo.h"
#include "platform/DeviceNotification.h"
#include "platform/OsVersion.h"

namespace brelkin {

class Win32Com : public ICom {
public:
    void CoInitialize() override;
    void CoUninitialize() override;
};

class Win32OsVersion : public IOsVersion {
public:
    OsVersion GetOsVersion() override;
};

class Win32DeviceNotification : public IDeviceNotification {
public:
    DeviceNotificationEntries LookUpEntries() override;
    DeviceNotifyHandle RegisterNotification(uintptr_t window,
                                                  const DeviceInterfaceFilter& filter,
                                                  uint32_t flags) override;
    void UnregisterNotification(DeviceNotifyHandle handle) override;

private:
    using RegisterFn = HDEVNOTIFY(WINAPI*)(HANDLE, LPVOID, DWORD);
    using UnregisterFn = BOOL(WINAPI*)(HDEVNOTIFY);
    RegisterFn m_register = nullptr;
    UnregisterFn m_unregister = nullptr;
};

class Win32DeviceIo : public IDeviceIo {
public:
    DeviceHandle OpenDevice(std::u16string_view name, uint32_t access, uint32_t shareMode,
                            uint32_t disposition, uint32_t flagsAndAttributes) override;
    bool ControlDevice(DeviceHandle handle, uint32_t controlCode, const void* input,
                         uint32_t inputSize, void* output, uint32_t outputSize,
                         uint32_t* bytesReturned) override;
    void CloseDevice(DeviceHandle handle) override;
};

// GetProcAddress gives a generic function pointer; going through void(*)()
// states that the cast to the real signature is intended.
template <typename Fn>
Fn ProcAs(FARPROC proc)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace brelkin
