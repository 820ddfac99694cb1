#pragma once
// Every value of the Settings section by name, and the list of those that the
// program reads through the profile's layers: each is taken from the first
// layer that holds it (see LayeredProfile), the support log says where each
// came from, and a policy refresh reads them all again. One more value to read
// the same way is one more row of SettingsValues.
#include <array>
#include <bitset>
#include <cstddef>
#include <iterator>
#include <string_view>
#include <vector>

#include "platform/Profile.h"

namespace brelkin {

// The profile section and value names.
namespace settings_names {
constexpr std::u16string_view Section = u"Settings";
constexpr std::u16string_view Key1 = u"Key1";
constexpr std::u16string_view Key2 = u"Key2";
constexpr std::u16string_view Key3 = u"Key3";
constexpr std::u16string_view KeyEx1 = u"KeyEx1";
constexpr std::u16string_view KeyEx2 = u"KeyEx2";
constexpr std::u16string_view KeyEx3 = u"KeyEx3";
constexpr std::u16string_view OneByOne = u"OneByOne";
constexpr std::u16string_view DelayTime = u"DelayTime";
constexpr std::u16string_view UseBDA = u"UseBDA";
constexpr std::u16string_view DefaultKey = u"DefaultKey";
// Only read, never written by the program.
constexpr std::u16string_view ShowNotifications = u"ShowNotifications";
constexpr std::u16string_view PollPeriod = u"PollPeriod";
// Read once, at start-up: a policy refresh logs it but leaves the language of
// the running program as it is.
constexpr std::u16string_view Language = u"Language";
// Kept apart from the ten values above, by the Programs dialog.
constexpr std::u16string_view OnlyListedPrograms = u"OnlyListedPrograms";
// Only read: 0 leaves the user's own program rules unused.
constexpr std::u16string_view UserProgramRules = u"UserProgramRules";
constexpr std::u16string_view ProgramsSection = u"Settings\\Programs";
// The long and the double press: a mode's name each, and their times in ms.
constexpr std::u16string_view LongPressKey = u"LongPressKey";
constexpr std::u16string_view DoublePressKey = u"DoublePressKey";
constexpr std::u16string_view LongPressTime = u"LongPressTime";
constexpr std::u16string_view DoublePressTime = u"DoublePressTime";
// A program's own long or double press mode, as the Programs section holds the press's.
constexpr std::u16string_view LongPressProgramsSection = u"Settings\\Programs\\LongPress";
constexpr std::u16string_view DoublePressProgramsSection = u"Settings\\Programs\\DoublePress";
}  // namespace settings_names

struct SettingsValue {
    std::u16string_view name;
    bool isText;  // REG_SZ; the others are REG_DWORD
};

// In the order in which the support log names them.
inline constexpr SettingsValue SettingsValues[] = {
    {settings_names::Key1, false},
    {settings_names::Key2, false},
    {settings_names::Key3, false},
    {settings_names::KeyEx1, false},
    {settings_names::KeyEx2, false},
    {settings_names::KeyEx3, false},
    {settings_names::OneByOne, false},
    {settings_names::DelayTime, false},
    {settings_names::UseBDA, false},
    {settings_names::DefaultKey, true},
    {settings_names::ShowNotifications, false},
    {settings_names::PollPeriod, false},
    {settings_names::OnlyListedPrograms, false},
    {settings_names::Language, true},
    {settings_names::LongPressKey, true},
    {settings_names::DoublePressKey, true},
    {settings_names::LongPressTime, false},
    {settings_names::DoublePressTime, false},
    {settings_names::UserProgramRules, false},
};

// Each row's state in every layer of the profile, asked once: where each value
// comes from, which ones a policy enforces and which are damaged all follow
// from it, so that a load and its log lines read each layer's value once.
class SettingsLayerStates {
public:
    static SettingsLayerStates Read(IProfile& profile);
    // By the row's index in SettingsValues.
    const std::vector<ProfileLayerState>& Layers(std::size_t row) const { return m_layers[row]; }
    // Where the reads take the value from, as ProfileIntSource or
    // ProfileStringSource tells it.
    ProfileSource Source(std::size_t row) const { return m_sources[row]; }

private:
    std::array<std::vector<ProfileLayerState>, std::size(SettingsValues)> m_layers;
    std::array<ProfileSource, std::size(SettingsValues)> m_sources{};
};

// The values that an enforced policy sets, as read at one moment: the user
// cannot change them and the program writes none of them.
class EnforcedValues {
public:
    static EnforcedValues Read(IProfile& profile) { return Of(SettingsLayerStates::Read(profile)); }
    static EnforcedValues Of(const SettingsLayerStates& states);
    // False for a name that is not in SettingsValues.
    bool Has(std::u16string_view name) const;
    bool Any() const { return m_enforced.any(); }

private:
    std::bitset<std::size(SettingsValues)> m_enforced;
};

}  // namespace brelkin
