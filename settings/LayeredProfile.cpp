#include "settings/LayeredProfile.h"

namespace brelkin {

LayeredProfile::LayeredProfile(IProfile& user, IProfile& machine) : m_user(user), m_machine(machine) {}

std::optional<uint32_t> LayeredProfile::FindProfileInt(std::u16string_view section,
                                                       std::u16string_view entry) {
    if (std::optional<uint32_t> value = m_user.FindProfileInt(section, entry)) return value;
    return m_machine.FindProfileInt(section, entry);
}

std::optional<std::u16string> LayeredProfile::FindProfileString(std::u16string_view section,
                                                                std::u16string_view entry) {
    if (std::optional<std::u16string> text = m_user.FindProfileString(section, entry)) return text;
    return m_machine.FindProfileString(section, entry);
}

ProfileSource LayeredProfile::ProfileIntSource(std::u16string_view section, std::u16string_view entry) {
    if (m_user.FindProfileInt(section, entry)) return ProfileSource::User;
    return m_machine.FindProfileInt(section, entry) ? ProfileSource::Machine : ProfileSource::Default;
}

ProfileSource LayeredProfile::ProfileStringSource(std::u16string_view section,
                                                  std::u16string_view entry) {
    if (m_user.FindProfileString(section, entry)) return ProfileSource::User;
    return m_machine.FindProfileString(section, entry) ? ProfileSource::Machine : ProfileSource::Default;
}

bool LayeredProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                     uint32_t value) {
    return m_user.WriteProfileInt(section, entry, value);
}

bool LayeredProfile::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                        std::u16string_view value) {
    return m_user.WriteProfileString(section, entry, value);
}

}  // namespace brelkin
