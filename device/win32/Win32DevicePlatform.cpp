#include "device/win32/Win32DevicePlatform.h"

#include <objbase.h>

#include <string>

namespace brelkin {

static_assert(DeviceGenericWrite == GENERIC_WRITE);
static_assert(DeviceShareWrite == FILE_SHARE_WRITE);
static_assert(DeviceOpenExisting == OPEN_EXISTING);
static_assert(sizeof(wchar_t) == sizeof(char16_t));

void Win32Com::CoInitialize()
{
    // S_FALSE (already initialised) still needs its CoUninitialize, so the
    // result changes nothing.
    (void)::CoInitialize(nullptr);
}

void Win32Com::CoUninitialize()
{
    ::CoUninitialize();
}

OsVersion Win32OsVersion::GetOsVersion()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    // Without a compatibility manifest later versions report 6.2; that
    // still chooses the same driver kind.
    if (!::GetVersionExW(&info))
        return {};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return {info.dwMajorVersion, info.dwMinorVersion};
}

DeviceNotificationEntries Win32DeviceNotification::LookUpEntries()
{
    m_register = nullptr;
    m_unregister = nullptr;
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        m_register = ProcAs<RegisterFn>(GetProcAddress(user32, "RegisterDeviceNotificationW"));
        m_unregister = ProcAs<UnregisterFn>(GetProcAddress(user32, "UnregisterDeviceNotification"));
    }
    return {m_register != nullptr, m_unregister != nullptr};
}

DeviceNotifyHandle Win32DeviceNotification::RegisterNotification(
    uintptr_t window, const DeviceInterfaceFilter& filter, uint32_t flags)
{
    if (!m_register)
        return NoDeviceNotify;
    // The function does not write the filter, but takes it as LPVOID.
    DeviceInterfaceFilter copy = filter;
    return reinterpret_cast<DeviceNotifyHandle>(
        m_register(reinterpret_cast<HANDLE>(window), copy.data(), flags));
}

void Win32DeviceNotification::UnregisterNotification(DeviceNotifyHandle handle)
{
    if (m_unregister)
        m_unregister(reinterpret_cast<HDEVNOTIFY>(handle));
}

DeviceHandle Win32DeviceIo::OpenDevice(std::u16string_view name, uint32_t access,
                                       uint32_t shareMode, uint32_t disposition,
                                       uint32_t flagsAndAttributes)
{
    const std::wstring path(name.begin(), name.end());
    return reinterpret_cast<DeviceHandle>(::CreateFileW(path.c_str(), access, shareMode, nullptr,
                                                        disposition, flagsAndAttributes, nullptr));
}

bool Win32DeviceIo::ControlDevice(DeviceHandle handle, uint32_t controlCode, const void* input,
                                    uint32_t inputSize, void* output, uint32_t outputSize,
                                    uint32_t* bytesReturned)
{
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(reinterpret_cast<HANDLE>(handle), controlCode,
                                      const_cast<void*>(input), inputSize, output, outputSize,
                                      &returned, nullptr);
    if (bytesReturned)
        *bytesReturned = returned;
    return ok != FALSE;
}

void Win32DeviceIo::CloseDevice(DeviceHandle handle)
{
    ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace brelkin
