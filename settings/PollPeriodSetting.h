#pragma once
// The poll period that an administrator may deploy: read once at start-up,
// never written by the program.
#include <cstdint>
#include <string_view>

#include "platform/Profile.h"
#include "settings/SettingsValues.h"

namespace brelkin {

// The stored PollPeriod in ms, or DefaultPollPeriod when it is missing, not a
// 32-bit value, or outside MinPollPeriod..MaxPollPeriod.
uint32_t ReadPollPeriod(IProfile& profile);

}  // namespace brelkin
