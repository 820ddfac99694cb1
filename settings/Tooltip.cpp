#include "settings/Tooltip.h"

#include "engine/Texts.h"

namespace brelkin {

namespace {
constexpr std::u16string_view TooltipPrefix = u"Brelkin - ";
}

std::u16string_view PresetText(const char16_t (&field)[NameLength]) {
    std::size_t length = 0;
    while (length < NameLength && field[length] != u'\0') ++length;
    return std::u16string_view(field, length);
}

std::u16string PresetTooltip(const ActionPreset& row) {
    std::u16string text(TooltipPrefix);
    // Custom Setting is a word of the menu and is translated; the presets'
    // names stay as the table spells them.
    const std::u16string_view display = PresetText(row.DisplayText);
    if (display == PresetText(BuiltInPresets()[CustomRow].DisplayText)) {
        text += Translate(IDS_MODE_CUSTOM);
    } else {
        text += display;
    }
    return text;
}

std::u16string JoystickTooltip() {
    std::u16string text(TooltipPrefix);
    text += Translate(IDS_MODE_JOYSTICK);
    return text;
}

}  // namespace brelkin
