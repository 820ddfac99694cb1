#pragma once
// The long and the double press: the mode each sends (stored by its row's
// name, as DefaultKey is; empty or missing: none) and their times in ms, read
// through the profile's layers as every value is.
#include <cstdint>
#include <string>

#include "engine/ActionPreset.h"
#include "platform/Profile.h"
#include "platform/SupportLog.h"
#include "settings/SettingsReport.h"
#include "settings/SettingsValues.h"

namespace brelkin {

// A name that is no key mode (the joystick's included) is none; a time that
// is missing or outside its range is the default.
GestureSettings ReadGestureSettings(IProfile& profile, const PresetTable& presets);

// Into the trigger state between ticks; a gesture whose mode changed starts
// its row from the first chord.
void ApplyGestureSettings(const GestureSettings& settings, TriggerState& trigger);

// Writes each value of `chosen` that differs from `loaded` and that no
// policy enforces; a mode of none is written as an empty name, so that it
// wins over the deployed default. False when a write failed.
bool SaveGestureSettings(IProfile& profile, const PresetTable& presets, const GestureSettings& loaded,
                         const GestureSettings& chosen, const EnforcedValues& enforced);

// The start line with each gesture's mode and time, and for a stored name
// that names no mode a line once while the program runs.
void LogGestureSettings(IProfile& profile, const TriggerState& trigger, ISupportLog& log,
                        PolicyDamageLog& loggedOnce);

}  // namespace brelkin
