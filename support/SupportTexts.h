#pragma once
// What the support layer itself says: the lines about the log and the
// balloons, and the notice about keys that an elevated program drops. Support
// scripts and the tests match these lines exactly.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Texts.h"

namespace brelkin {

std::string NotificationLine(bool balloonsShown, std::u16string_view text);
std::string BalloonQueueFullLine();
std::string LogEmptiedLine();

// An empty program: the program with the focus could not be named.
std::string KeysDroppedLine(uint32_t process, std::u16string_view program);
Text KeysDroppedText(std::u16string_view program);

}  // namespace brelkin
