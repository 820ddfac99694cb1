#pragma once
// The settings that survive a restart: the custom preset row, the trigger mode
// (stored by the name of its row) and the camera driver kind. The state lives
// in the main frame; the store remembers only what it last read or wrote of
// each value, so that a save writes what the user changed and nothing else.
// Every value the user never set stays missing from the user's key and keeps
// following the machine-wide default (or the built-in one) at the next start.
#include <array>
#include <cstdint>
#include <optional>
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

    // After a confirmed change (a dialog's OK): writes each value whose state
    // differs from what was last read or written, DefaultKey first. Before the
    // first load every value counts as changed. A failed write changes nothing
    // in memory and is tried again at the next save. False when any write failed.
    bool SaveSettings();

    // After the user chose a mode in the menu: DefaultKey is written even when
    // it names the mode that was loaded (the choice is the user's from now on,
    // also over a later machine default), with whatever else changed.
    bool SaveModeChoice();

private:
    // Key1..Key3, KeyEx1..KeyEx3, OneByOne, DelayTime, UseBDA, in load order.
    static constexpr std::size_t NumberCount = 9;
    std::array<uint32_t, NumberCount> CurrentNumbers() const;

    IProfile& m_profile;
    TriggerState& m_trigger;
    DriverKind& m_driverKind;
    ITooltipTarget& m_tooltip;
    // Each value as last read or written (a failed write leaves it as it was);
    // empty before the first load.
    std::array<std::optional<uint32_t>, NumberCount> m_storedNumbers;
    std::optional<TriggerMode> m_storedMode;
    bool m_modeChosen = false;  // DefaultKey to be written whatever it was
};

}  // namespace brelkin
