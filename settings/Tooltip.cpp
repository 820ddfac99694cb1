#include "settings/Tooltip.h"

#include "engine/ModeNames.h"

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
    // Custom Setting's display text is its name, shown as the menu shows it;
    // the presets' display texts stay as the table spells them.
    text += MenuModeName(PresetText(row.DisplayText));
    return text;
}

std::u16string JoystickTooltip() {
    std::u16string text(TooltipPrefix);
    text += MenuModeName(JoystickModeName);
    return text;
}

}  // namespace brelkin
