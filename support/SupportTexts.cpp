#include "support/SupportTexts.h"

#include "engine/Utf8.h"

namespace brelkin {

std::string NotificationLine(bool balloonsShown, std::u16string_view text) {
    return (balloonsShown ? "Notification: " : "Notification (balloons off): ") + ToUtf8(text);
}

std::string BalloonQueueFullLine() {
    return "Notification not shown: too many balloons wait to be shown";
}

std::string LogEmptiedLine() {
    return "Support log: the older file could not be replaced, so this file was emptied instead";
}

std::string KeysDroppedLine(uint32_t process, std::u16string_view program) {
    return "Keys dropped: process " + std::to_string(process) + " (" + ToUtf8(program) +
           ") runs at a higher integrity level than Brelkin";
}

std::u16string KeysDroppedText(std::u16string_view program) {
    return std::u16string(program) +
           u" runs as administrator, so Windows drops the keys that Brelkin types into it. "
           u"Run the imaging program without elevation, or Brelkin at the same level.";
}

}  // namespace brelkin
