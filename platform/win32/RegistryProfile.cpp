#include "platform/win32/RegistryProfile.h"

#include <algorithm>
#include <vector>

namespace brelkin {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    HKEY get() const { return m_key; }
    HKEY* out() { return &m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace

RegistryProfile::RegistryProfile(std::u16string_view registryKey, std::u16string_view profileName,
                                 RegistryScope scope)
    : m_profilePath(L"Software\\" + Wide(registryKey) + L"\\" + Wide(profileName)), m_scope(scope) {}

RegistryProfile::RegistryProfile(std::u16string_view registryKey, std::u16string_view profileName,
                                 RegistryScope scope, std::u16string_view policySubkey)
    : m_profilePath(L"Software\\Policies\\" + Wide(registryKey) + L"\\" + Wide(profileName) +
                    (policySubkey.empty() ? L"" : L"\\" + Wide(policySubkey))),
      m_scope(scope) {}

// HKLM\Software is split into two views on 64-bit Windows, and a 32-bit process
// reads Software\WOW6432Node unless it asks for the 64-bit view. The x86 build
// is the one used with the cameras, the x64 build exists as well, and
// administrators set the defaults with 64-bit tools (regedit, reg.exe, group
// policy preferences) at the path the README gives: so both builds, and both
// installers, keep the machine key in the 64-bit view. A 32-bit Windows has
// one view, and Windows 2000 does not know the flag, so it is added only under
// WOW64. IsWow64Process is looked up because systems before XP SP2 lack it.
REGSAM RegistryProfile::MachineView() {
#ifdef _WIN64
    return KEY_WOW64_64KEY;
#else
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        return KEY_WOW64_64KEY;
    }
    return 0;
#endif
}

// The user's sections: RegCreateKeyExW rather than RegOpenKeyExW even for
// reads, so that the first load of a new user leaves the empty key path
// behind, as the framework does. Only the access that the call needs is asked
// for, so a key that may be read but not written still reads. The machine's
// sections are opened, never created: a first start writes nothing there, and
// a user may not create keys in HKLM anyway.
// A policy key holds the Settings section's values itself, as the templates
// write them. Policies are never created either: where no policy applies there
// is no key. HKEY_CURRENT_USER\Software is one tree in both views, so only the
// machine's keys need the 64-bit view.
bool RegistryProfile::OpenSection(std::u16string_view section, REGSAM access, HKEY* key) const {
    constexpr std::u16string_view settings = u"Settings";
    const bool policy = m_scope == RegistryScope::UserPolicy || m_scope == RegistryScope::MachinePolicy;
    std::wstring path = m_profilePath;
    if (!policy) {
        path += L"\\" + Wide(section);
    } else if (section.substr(0, settings.size() + 1) == u"Settings\\") {
        path += Wide(section.substr(settings.size()));
    } else if (section != settings) {
        path += L"\\" + Wide(section);
    }
    if (m_scope == RegistryScope::Machine || m_scope == RegistryScope::MachinePolicy) {
        return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access | MachineView(), key) ==
               ERROR_SUCCESS;
    }
    if (m_scope == RegistryScope::UserPolicy)
        return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, key) == ERROR_SUCCESS;
    return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                           nullptr, key, nullptr) == ERROR_SUCCESS;
}

std::optional<uint32_t> RegistryProfile::FindProfileInt(std::u16string_view section,
                                                        std::u16string_view entry) {
    RegKey key;
    if (!OpenSection(section, KEY_QUERY_VALUE, key.out())) return std::nullopt;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    const LSTATUS status = RegQueryValueExW(key.get(), Wide(entry).c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(&data), &size);
    // A value edited by hand can be text, binary, a QWORD, or a DWORD of the
    // wrong length; only a whole REG_DWORD is a stored integer.
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return std::nullopt;
    return data;
}

namespace {

// The text as the reads take it, or nothing; `status` tells a missing value
// from one that is there but not readable as text.
std::optional<std::u16string> QueryText(HKEY key, std::u16string_view entry, LSTATUS& status) {
    // One read into a bounded buffer, instead of asking for the size first:
    // the value cannot grow between the two calls, and its stored size never
    // decides how much is allocated. A longer value reports ERROR_MORE_DATA.
    std::vector<wchar_t> buffer(RegistryProfile::MaxStringLength + 1);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    status = RegQueryValueExW(key, Wide(entry).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                              &size);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;

    // The stored bytes need not end in a NUL, nor even in a whole unit: the
    // text ends at the first NUL or at the last whole unit.
    const std::size_t units = size / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < units && buffer[length] != L'\0') ++length;
    if (length > RegistryProfile::MaxStringLength) return std::nullopt;
    return std::u16string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace

std::optional<std::u16string> RegistryProfile::FindProfileString(std::u16string_view section,
                                                                std::u16string_view entry) {
    RegKey key;
    if (!OpenSection(section, KEY_QUERY_VALUE, key.out())) return std::nullopt;
    LSTATUS status = ERROR_SUCCESS;
    return QueryText(key.get(), entry, status);
}

ProfileValueState RegistryProfile::GetValueState(std::u16string_view section, std::u16string_view entry,
                                                bool isText) {
    RegKey key;
    // Only the user's key is ever created: where an administrator made none,
    // its values are missing, not damaged.
    if (!OpenSection(section, KEY_QUERY_VALUE, key.out()))
        return ReadOnly() ? ProfileValueState::Missing : ProfileValueState::Damaged;
    // A text is read as the reads read it: whether it fits depends on where
    // its first NUL is, not on its size alone.
    LSTATUS status = ERROR_SUCCESS;
    bool readable = false;
    if (isText) {
        readable = QueryText(key.get(), entry, status).has_value();
    } else {
        DWORD type = REG_NONE;
        DWORD size = 0;
        status = RegQueryValueExW(key.get(), Wide(entry).c_str(), nullptr, &type, nullptr, &size);
        // The same test as the read: a whole REG_DWORD.
        readable = status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(DWORD);
    }
    if (status == ERROR_FILE_NOT_FOUND) return ProfileValueState::Missing;
    return readable ? ProfileValueState::Stored : ProfileValueState::Damaged;
}

bool RegistryProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                      uint32_t value) {
    RegKey key;
    if (ReadOnly() || !OpenSection(section, KEY_SET_VALUE, key.out())) return false;
    const DWORD data = value;
    return RegSetValueExW(key.get(), Wide(entry).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool RegistryProfile::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                         std::u16string_view value) {
    // REG_SZ cannot hold a NUL inside the text, and a text the reads would
    // refuse is not stored either: a write that reports success reads back.
    if (value.size() > MaxStringLength || value.find(u'\0') != std::u16string_view::npos) return false;
    RegKey key;
    if (ReadOnly() || !OpenSection(section, KEY_SET_VALUE, key.out())) return false;
    const std::wstring data = Wide(value);
    const DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), Wide(entry).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), size) == ERROR_SUCCESS;
}

std::vector<std::u16string> ListRegistryNames(const RegistryNameAt& nameAt, std::size_t limit) {
    // 16383 units is the longest value or key name the registry allows; most
    // names fit the first buffer.
    constexpr std::size_t LongestName = 16383;
    std::vector<std::u16string> names;
    std::vector<wchar_t> name(256);
    for (DWORD index = 0; names.size() < limit;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status = nameAt(index, name.data(), &length);
        if (status == ERROR_MORE_DATA && name.size() <= LongestName) {
            name.resize(std::min(name.size() * 4, LongestName + 1));
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(name.begin(), name.begin() + std::min<std::size_t>(length, name.size()));
        ++index;
    }
    return names;
}

std::vector<std::u16string> RegistryProfile::GetProfileEntries(std::u16string_view section,
                                                                std::size_t limit) {
    RegKey key;
    if (!OpenSection(section, KEY_QUERY_VALUE, key.out())) return {};
    return ListRegistryNames(
        [&key](DWORD index, wchar_t* name, DWORD* length) {
            return RegEnumValueW(key.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
        },
        limit);
}

bool RegistryProfile::DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) {
    RegKey key;
    if (ReadOnly() || !OpenSection(section, KEY_SET_VALUE, key.out())) return false;
    const LSTATUS status = RegDeleteValueW(key.get(), Wide(entry).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace brelkin
