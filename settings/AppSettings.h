#pragma once
// The settings that survive a restart: the custom preset row, the trigger mode
// (stored by the name of its row) and the camera driver kind. The store keeps
// no copy of its own; it maps the profile straight onto the state that the
// main frame owns.
#include <string_view>

#include "engine/DriverKind.h"
#include "engine/ActionPreset.h"
#include "platform/Profile.h"
#include "settings/TooltipTarget.h"

namespace brelkin {

// The profile section and value names, in the order in which they are loaded.
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
// Kept apart from the ten values above, by the Programs dialog.
constexpr std::u16string_view OnlyListedPrograms = u"OnlyListedPrograms";
constexpr std::u16string_view ProgramsSection = u"Settings\\Programs";
}  // namespace settings_names

class AppSettings {
public:
    AppSettings(IProfile& profile, TriggerState& trigger, DriverKind& driverKind,
                ITooltipTarget& tooltip);

    // Once, while the main frame is created: after the default driver kind has
    // been chosen (it is the default of UseBDA) and before the camera is opened.
    // Replaces the custom row's chords and timing, sets the driver kind and the
    // trigger mode, and sets the tooltip. Leaves the sequence step alone.
    void LoadSettings();

    // After every confirmed change: writes all ten values from the current
    // state. A failed write changes nothing in memory; the next save writes
    // everything again. False when any write failed.
    bool SaveSettings();

private:
    IProfile& m_profile;
    TriggerState& m_trigger;
    DriverKind& m_driverKind;
    ITooltipTarget& m_tooltip;
};

}  // namespace brelkin
