#pragma once
// The tray tooltip texts that say which mode is selected.
#include <string>
#include <string_view>

#include "engine/ActionPreset.h"
#include "engine/ModeNames.h"

namespace brelkin {

// The text of a fixed preset field up to its NUL. A field that lacks one ends
// at the field's size rather than reading past it.
std::u16string_view PresetText(const char16_t (&field)[NameLength]);

// "Brelkin - " followed by the row's display text.
std::u16string PresetTooltip(const ActionPreset& row);

// "Brelkin - Joystick Button 1".
std::u16string JoystickTooltip();

}  // namespace brelkin
