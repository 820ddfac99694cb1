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
    const std::u16string name(program.empty() ? TextLine(IDS_UNNAMED_FOCUS_PROGRAM, Language::English) : program);
    return "Keys dropped: process " + std::to_string(process) + " (" + ToUtf8(name) +
           ") runs at a higher integrity level than Brelkin";
}

Text KeysDroppedText(std::u16string_view program) {
    return Text(IDS_KEYS_DROPPED, {program.empty() ? TextArg::Translated(IDS_UNNAMED_FOCUS_PROGRAM)
                                                   : TextArg(std::u16string(program))});
}

}  // namespace brelkin
