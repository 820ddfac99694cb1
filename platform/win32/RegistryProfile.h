#pragma once
// A profile in the registry, laid out as the framework's profile functions lay
// it out after SetRegistryKey:
//   HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>
// with REG_DWORD for integers and REG_SZ (length with its NUL) for text. The
// machine-wide defaults use the same layout under HKEY_LOCAL_MACHINE, read-only.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Profile.h"

namespace brelkin {

// What the program's start-up passes: the registry key and the application title.
constexpr std::u16string_view BrelkinRegistryKey = u"Morvane";
constexpr std::u16string_view BrelkinProfileName = u"Tolvacore";

// Which hive and tree a profile lives in. Only the user's is ever written: the
// administrator's installer writes the machine one, Group Policy (or another
// management tool) the policies.
enum class RegistryScope { User, Machine, UserPolicy, MachinePolicy };

// One step of a registry listing, as RegEnumValueW makes it: the name at
// `index` into `name`, whose room in units `length` gives (and receives the
// name's length without its NUL).
using RegistryNameAt = std::function<LSTATUS(DWORD index, wchar_t* name, DWORD* length)>;
// The names at index 0, 1, ... until `limit` were read or `nameAt` answers
// anything but ERROR_SUCCESS and ERROR_MORE_DATA: ERROR_NO_MORE_ITEMS, and
// also ERROR_KEY_DELETED and the rest, which would come again for every index.
// ERROR_MORE_DATA means a bigger buffer and asks the same index again, up to
// the longest name the registry allows.
std::vector<std::u16string> ListRegistryNames(const RegistryNameAt& nameAt, std::size_t limit);

class RegistryProfile final : public IProfile {
public:
    // Text values longer than this many UTF-16 units are treated as unreadable
    // (the default is returned) and are refused on write. The longest text the
    // program stores is a 49-unit row name, so this only keeps a damaged or
    // hostile value from costing more than a few kilobytes.
    static constexpr std::size_t MaxStringLength = 4096;

    RegistryProfile(std::u16string_view registryKey, std::u16string_view profileName,
                    RegistryScope scope = RegistryScope::User);
    // A policy profile: HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
    // \Software\Policies\<registry key>\<profile name>[\<subkey>], which holds
    // the Settings section's values itself and its other sections beneath
    // it ("Settings\Programs" is its Programs subkey).
    RegistryProfile(std::u16string_view registryKey, std::u16string_view profileName, RegistryScope scope,
                    std::u16string_view policySubkey);

    // Every call opens its section afresh, so a failure never sticks: the next
    // call tries again. The user's profile creates any missing key on the path
    // (for reads too); the others open what exists (HKEY_LOCAL_MACHINE's in the
    // 64-bit registry view on 64-bit Windows, see MachineView), and their
    // writes fail untried.
    std::optional<uint32_t> FindProfileInt(std::u16string_view section,
                                           std::u16string_view entry) override;
    std::optional<std::u16string> FindProfileString(std::u16string_view section,
                                                    std::u16string_view entry) override;
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                         uint32_t value) override;
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override;
    std::vector<std::u16string> GetProfileEntries(std::u16string_view section, std::size_t limit) override;
    bool DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) override;
    ProfileValueState GetValueState(std::u16string_view section, std::u16string_view entry,
                                    bool isText) override;

    // The path of the profile under its hive, "Software\<key>\<name>" or its policy path.
    const std::wstring& ProfilePath() const { return m_profilePath; }

    // The registry view flag with which both builds open the machine key:
    // KEY_WOW64_64KEY in a 32-bit process on 64-bit Windows, else none.
    static REGSAM MachineView();

private:
    bool ReadOnly() const { return m_scope != RegistryScope::User; }
    bool OpenSection(std::u16string_view section, REGSAM access, HKEY* key) const;

    std::wstring m_profilePath;
    RegistryScope m_scope;
};

}  // namespace brelkin
