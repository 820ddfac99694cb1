#pragma once
// A mode's names: the one the settings store (DefaultKey, the program rules,
// the log) and the one the tray menu shows.
#include <string>
#include <string_view>

namespace brelkin {

// The stored name of the joystick mode; no preset row carries it.
constexpr std::u16string_view JoystickModeName = u"Joystick Button 1";

// The mode of stored name `storedName` as the tray menu shows it: the
// joystick's and Custom Setting's in the display language, every other name
// (a preset's, or one that names no mode) as it stands.
std::u16string MenuModeName(std::u16string_view storedName);

}  // namespace brelkin
