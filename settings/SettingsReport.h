#pragma once
// The settings as the support log records them after the load, and the one
// setting that only the start-up reads: whether notifications show balloons.
#include <cstdint>
#include <string_view>

#include "engine/DriverKind.h"
#include "engine/ActionPreset.h"
#include "platform/Profile.h"
#include "platform/SupportLog.h"

namespace brelkin {

namespace settings_names {
constexpr std::u16string_view ShowNotifications = u"ShowNotifications";
}  // namespace settings_names

// REG_DWORD, default 1; 0 turns the balloons off. Read once and never written.
bool ReadShowNotifications(IProfile& profile);

// One line with the mode, the driver kind and the poll period, then one line
// for each value that was there but damaged and so read as its default.
void LogSettingsRead(IProfile& profile, const TriggerState& trigger, DriverKind driverKind,
                     uint32_t pollPeriodMilliseconds, ISupportLog& log);

}  // namespace brelkin
