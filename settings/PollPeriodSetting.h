#pragma once
// The poll period that an administrator may deploy: read once at start-up,
// never written by the program.
#include <cstdint>
#include <string_view>

#include "platform/Profile.h"

namespace brelkin {

namespace settings_names {
constexpr std::u16string_view PollPeriod = u"PollPeriod";
}  // namespace settings_names

// The stored PollPeriod in ms, or DefaultPollPeriod when it is missing, not a
// 32-bit value, or outside MinPollPeriod..MaxPollPeriod.
uint32_t ReadPollPeriod(IProfile& profile);

}  // namespace brelkin
