#include "settings/LayeredProfile.h"

#include <algorithm>

namespace brelkin {

namespace {

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

}  // namespace

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

std::optional<std::u16string> LayeredProfile::FindMachineProfileString(std::u16string_view section,
                                                                       std::u16string_view entry) {
    return m_machine.FindProfileString(section, entry);
}

bool LayeredProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                     uint32_t value) {
    return m_user.WriteProfileInt(section, entry, value);
}

bool LayeredProfile::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                        std::u16string_view value) {
    return m_user.WriteProfileString(section, entry, value);
}

std::vector<std::u16string> LayeredProfile::GetProfileEntries(std::u16string_view section,
                                                              std::size_t limit) {
    std::vector<std::u16string> names = m_user.GetProfileEntries(section, limit);
    const std::size_t userCount = names.size();
    if (userCount >= limit) return names;
    for (std::u16string& name : m_machine.GetProfileEntries(section, limit - userCount)) {
        const auto userEnd = names.begin() + static_cast<std::ptrdiff_t>(userCount);
        if (std::none_of(names.begin(), userEnd,
                         [&](const std::u16string& mine) { return SameNameIgnoringCase(mine, name); })) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

bool LayeredProfile::DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) {
    return m_user.DeleteProfileEntry(section, entry);
}

ProfileValueState LayeredProfile::GetValueState(std::u16string_view section, std::u16string_view entry,
                                                bool isText) {
    const ProfileValueState user = m_user.GetValueState(section, entry, isText);
    return user == ProfileValueState::Missing ? m_machine.GetValueState(section, entry, isText) : user;
}

}  // namespace brelkin
