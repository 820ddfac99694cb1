#pragma once
// The settings that survive a restart: the custom preset row, the trigger mode
// (stored by the name of its row) and the camera driver kind. The state lives
// in the main frame; the store remembers only what it last read or wrote of
// each value, so that a save writes what the user changed and nothing else.
// Every value the user never set stays missing from the user's key and keeps
// following the deployed default (or the built-in one) at the next start; a
// value that a policy enforces is never written.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/DriverKind.h"
#include "engine/ActionPreset.h"
#include "platform/Profile.h"
#include "settings/SettingsValues.h"
#include "settings/TooltipTarget.h"

namespace brelkin {

class AppSettings {
public:
    AppSettings(IProfile& profile, TriggerState& trigger, DriverKind& driverKind,
                ITooltipTarget& tooltip);

    // While the main frame is created, and again when the policies change:
    // after the default driver kind has been chosen (it is the default of
    // UseBDA) and before the camera is opened. Replaces the custom row's chords
    // and timing, sets the driver kind and the trigger mode, sets the tooltip and
    // reads which values are enforced. Leaves the sequence step alone.
    void LoadSettings();

    // After a confirmed change (a dialog's OK): writes each value whose state
    // differs from what was last read or written, DefaultKey first, except those
    // that a policy enforces (as the last load found them). Before the
    // first load every value counts as changed. A failed write changes nothing
    // in memory and is tried again at the next save. False when any write failed.
    bool SaveSettings();

    // After the user chose a mode in the menu: DefaultKey is written even when
    // it names the mode that was loaded (the choice is the user's from now on,
    // also over a later machine default), with whatever else changed.
    bool SaveModeChoice();

    const EnforcedValues& Enforced() const { return m_enforced; }
    // Every value's layers as the last load found them, for its log lines.
    const SettingsLayerStates& LayerStates() const { return m_layerStates; }

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
    SettingsLayerStates m_layerStates;
    EnforcedValues m_enforced;
};

}  // namespace brelkin
