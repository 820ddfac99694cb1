#pragma once
// The settings as the support log records them after the load, and the one
// setting that only the start-up reads: whether notifications show balloons.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DriverKind.h"
#include "engine/ActionPreset.h"
#include "platform/Profile.h"
#include "settings/SettingsValues.h"
#include "platform/SupportLog.h"

namespace brelkin {

// REG_DWORD, default 1; 0 turns the balloons off. Read at start-up and when
// the policies change, never written.
bool ReadShowNotifications(IProfile& profile);

// The damaged policy values already logged, so that each is logged once while
// the program runs, however often the policies are read again.
struct PolicyDamageLog {
    std::vector<std::string> logged;
};

// One line with the mode, the driver kind and the poll period; one with the
// values that came from the user and from the machine-wide defaults; one with
// those that a policy enforces or recommends; then one line for each value that
// was there but damaged and so read as missing (a policy's once), and one for
// a DefaultKey that names no mode (once).
// The sources and the damage come from `layers`, as the load read them; the
// profile is asked only for the text of a DefaultKey that names no mode.
void LogSettingsRead(IProfile& profile, const SettingsLayerStates& layers, const TriggerState& trigger,
                     DriverKind driverKind, uint32_t pollPeriodMilliseconds, ISupportLog& log,
                     PolicyDamageLog& policyDamage);
// The same from the profile's layers as they are now.
void LogSettingsRead(IProfile& profile, const TriggerState& trigger, DriverKind driverKind,
                     uint32_t pollPeriodMilliseconds, ISupportLog& log, PolicyDamageLog& policyDamage);

// One line with the program rules that a policy enforces or recommends, by
// program, then one line for each policy's rule that was there but damaged or
// naming no key mode (once while the program runs).
void LogProgramRulesRead(IProfile& profile, ISupportLog& log, PolicyDamageLog& policyDamage);

}  // namespace brelkin
