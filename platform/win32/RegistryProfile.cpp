#include "platform/win32/RegistryProfile.h"

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

// RegCreateKeyExW rather than RegOpenKeyExW even for reads: the first load of
// a new user leaves the empty key path behind, as the framework does. Only the
// access that the call needs is asked for, so a key that may be read but not
// written still reads.
bool OpenSection(const std::wstring& path, REGSAM access, RegKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           access, nullptr, key.out(), nullptr) == ERROR_SUCCESS;
}

}  // namespace

RegistryProfile::RegistryProfile(std::u16string_view registryKey, std::u16string_view profileName)
    : m_profilePath(L"Software\\" + Wide(registryKey) + L"\\" + Wide(profileName)) {}

std::wstring RegistryProfile::SectionPath(std::u16string_view section) const {
    return m_profilePath + L"\\" + Wide(section);
}

uint32_t RegistryProfile::GetProfileInt(std::u16string_view section, std::u16string_view entry,
                                        uint32_t defaultValue) {
    RegKey key;
    if (!OpenSection(SectionPath(section), KEY_QUERY_VALUE, key)) return defaultValue;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    const LSTATUS status = RegQueryValueExW(key.get(), Wide(entry).c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(&data), &size);
    // A value edited by hand can be text, binary, a QWORD, or a DWORD of the
    // wrong length; only a whole REG_DWORD is a stored integer.
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return defaultValue;
    return data;
}

std::u16string RegistryProfile::GetProfileString(std::u16string_view section,
                                                 std::u16string_view entry,
                                                 std::u16string_view defaultValue) {
    RegKey key;
    if (!OpenSection(SectionPath(section), KEY_QUERY_VALUE, key)) return std::u16string(defaultValue);

    // One read into a bounded buffer, instead of asking for the size first:
    // the value cannot grow between the two calls, and its stored size never
    // decides how much is allocated. A longer value reports ERROR_MORE_DATA.
    std::vector<wchar_t> buffer(MaxStringLength + 1);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LSTATUS status = RegQueryValueExW(key.get(), Wide(entry).c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::u16string(defaultValue);

    // The stored bytes need not end in a NUL, nor even in a whole unit: the
    // text ends at the first NUL or at the last whole unit.
    const std::size_t units = size / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < units && buffer[length] != L'\0') ++length;
    if (length > MaxStringLength) return std::u16string(defaultValue);
    return std::u16string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
}

ProfileValueState RegistryProfile::GetValueState(std::u16string_view section, std::u16string_view entry,
                                                bool isText) {
    RegKey key;
    if (!OpenSection(SectionPath(section), KEY_QUERY_VALUE, key)) return ProfileValueState::Damaged;
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LSTATUS status = RegQueryValueExW(key.get(), Wide(entry).c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return ProfileValueState::Missing;
    if (status != ERROR_SUCCESS) return ProfileValueState::Damaged;
    // The same tests as the reads: a REG_SZ within the length limit, or a
    // whole REG_DWORD.
    const bool readable = isText ? type == REG_SZ && size <= (MaxStringLength + 1) * sizeof(wchar_t)
                                 : type == REG_DWORD && size == sizeof(DWORD);
    return readable ? ProfileValueState::Stored : ProfileValueState::Damaged;
}

bool RegistryProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                      uint32_t value) {
    RegKey key;
    if (!OpenSection(SectionPath(section), KEY_SET_VALUE, key)) return false;
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
    if (!OpenSection(SectionPath(section), KEY_SET_VALUE, key)) return false;
    const std::wstring data = Wide(value);
    const DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), Wide(entry).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), size) == ERROR_SUCCESS;
}

}  // namespace brelkin
