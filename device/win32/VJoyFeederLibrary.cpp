#include "device/win32/VJoyFeederLibrary.h"

#include <windows.h>

#include "platform/win32/VJoyInstallation.h"
#include "device/win32/Win32DevicePlatform.h"
#include "platform/win32/Handles.h"

namespace brelkin {

namespace {

// The feeder functions are declared __cdecl by vJoy on x86; x64 has one
// convention. VjdStat is an int-sized enum.
using EnabledFn = BOOL(__cdecl*)();
using DeviceQueryFn = int(__cdecl*)(UINT device);
using AcquireFn = BOOL(__cdecl*)(UINT device);
using RelinquishFn = void(__cdecl*)(UINT device);
using SetBtnFn = BOOL(__cdecl*)(BOOL value, UINT device, UCHAR button);

class VJoyFeeder final : public IVJoyFeeder {
public:
    explicit VJoyFeeder(UniqueModule module) : m_module(std::move(module)) {}

    // False when any function is missing.
    bool Bind()
    {
        return Bind("vJoyEnabled", m_enabled) && Bind("GetVJDStatus", m_status) &&
               Bind("GetVJDButtonNumber", m_buttonNumber) && Bind("AcquireVJD", m_acquire) &&
               Bind("RelinquishVJD", m_relinquish) && Bind("SetBtn", m_setBtn);
    }

    bool VJoyEnabled() override { return m_enabled() != FALSE; }
    VJoyDeviceStatus GetVJDStatus(uint32_t device) override
    {
        const int status = m_status(device);
        if (status < 0 || status > static_cast<int>(VJoyDeviceStatus::Unknown))
            return VJoyDeviceStatus::Unknown;
        return static_cast<VJoyDeviceStatus>(status);
    }
    int32_t GetVJDButtonNumber(uint32_t device) override { return m_buttonNumber(device); }
    bool AcquireVJD(uint32_t device) override { return m_acquire(device) != FALSE; }
    void RelinquishVJD(uint32_t device) override { m_relinquish(device); }
    bool SetBtn(bool pressed, uint32_t device, uint8_t button) override
    {
        return m_setBtn(pressed ? TRUE : FALSE, device, button) != FALSE;
    }

private:
    template <typename Fn>
    bool Bind(const char* name, Fn& function)
    {
        function = ProcAs<Fn>(GetProcAddress(m_module.get(), name));
        return function != nullptr;
    }

    UniqueModule m_module;
    EnabledFn m_enabled = nullptr;
    DeviceQueryFn m_status = nullptr;
    DeviceQueryFn m_buttonNumber = nullptr;
    AcquireFn m_acquire = nullptr;
    RelinquishFn m_relinquish = nullptr;
    SetBtnFn m_setBtn = nullptr;
};

// A REG_SZ of vJoy's uninstall entry in one registry view; empty when it is
// absent, of another type or longer than a path can be.
std::wstring ReadInstallValue(REGSAM view, const wchar_t* name)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, VJoyUninstallKey, 0, KEY_QUERY_VALUE | view, &raw) !=
        ERROR_SUCCESS)
        return {};
    UniqueRegistryKey key(raw);
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(key.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

// A drive path or a UNC path: anything else would be resolved against the
// current folder.
bool IsAbsolute(const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
        return (path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z');
    return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
}

std::wstring Join(std::wstring folder, const wchar_t* name)
{
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    return folder + name;
}

}  // namespace

std::vector<std::wstring> VJoyLibraryCandidates()
{
    std::vector<std::wstring> candidates;
    // The 64-bit view first, where a 64-bit installer writes even for an x86
    // program; the 32-bit view for a 32-bit Windows or installer.
    for (REGSAM view : {REGSAM{KEY_WOW64_64KEY}, REGSAM{KEY_WOW64_32KEY}}) {
        const std::wstring folder = ReadInstallValue(view, VJoyLibraryFolderValue);
        if (IsAbsolute(folder))
            candidates.push_back(Join(folder, VJoyFeederLibraryName));
        const std::wstring install = ReadInstallValue(view, VJoyInstallLocationValue);
        if (IsAbsolute(install))
            candidates.push_back(Join(Join(install, VJoyBitnessFolder), VJoyFeederLibraryName));
    }
    return candidates;
}

VJoyLoadResult VJoyFeederLibrary::LoadFeeder()
{
    const std::vector<std::wstring> candidates = VJoyLibraryCandidates();
    if (candidates.empty())
        return {nullptr, VJoyLoadFailure::NotInstalled};
    for (const std::wstring& path : candidates) {
        // The library's own folder and System32 for what it imports (vJoy
        // ships its C runtime beside it); a path that is too long to load,
        // or a library of the other bitness, fails here.
        UniqueModule module(LoadLibraryExW(path.c_str(), nullptr,
                                           LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR |
                                               LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!module)
            continue;
        auto feeder = std::make_unique<VJoyFeeder>(std::move(module));
        if (!feeder->Bind())
            return {nullptr, VJoyLoadFailure::MissingFunction};
        return {std::move(feeder), VJoyLoadFailure::None};
    }
    return {nullptr, VJoyLoadFailure::NoLibrary};
}

}  // namespace brelkin
