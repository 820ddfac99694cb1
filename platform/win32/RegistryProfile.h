#pragma once
// The per-user profile in the registry, laid out as the framework's profile
// functions lay it out after SetRegistryKey:
//   HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>
// with REG_DWORD for integers and REG_SZ (length with its NUL) for text.
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Profile.h"

namespace brelkin {

// What the program's start-up passes: the registry key and the application title.
constexpr std::u16string_view BrelkinRegistryKey = u"Morvane";
constexpr std::u16string_view BrelkinProfileName = u"Tolvacore";

class RegistryProfile final : public IProfile {
public:
    // Text values longer than this many UTF-16 units are treated as unreadable
    // (the default is returned) and are refused on write. The longest text the
    // program stores is a 49-unit row name, so this only keeps a damaged or
    // hostile value from costing more than a few kilobytes.
    static constexpr std::size_t MaxStringLength = 4096;

    RegistryProfile(std::u16string_view registryKey, std::u16string_view profileName);

    // Every call opens its section afresh, creating any missing key on the
    // path (for reads too), so a failure never sticks: the next call tries again.
    uint32_t GetProfileInt(std::u16string_view section, std::u16string_view entry,
                           uint32_t defaultValue) override;
    std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view defaultValue) override;
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                         uint32_t value) override;
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override;
    ProfileValueState GetValueState(std::u16string_view section, std::u16string_view entry,
                                    bool isText) override;

    // The path of the profile under HKEY_CURRENT_USER, "Software\<key>\<name>".
    const std::wstring& ProfilePath() const { return m_profilePath; }

private:
    std::wstring SectionPath(std::u16string_view section) const;

    std::wstring m_profilePath;
};

}  // namespace brelkin
