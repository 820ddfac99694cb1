#pragma once
// The text by which the dialogs show a key chord, such as "Shift+Ctrl+V".
#include <cstdint>
#include <string>

#include "engine/ActionPreset.h"
#include "engine/Language.h"

namespace brelkin {

// Modifier prefixes in the fixed order Shift, Ctrl, Alt, Win, then the key's
// name: a fixed name for the navigation, Enter, Space and F1 to F12 keys, the
// key code itself as one character when that character is printable, and
// "??" otherwise. Key 0 gives the empty text whatever the modifiers. Depends
// on nothing but its arguments (not on the C library's locale). The modifier
// and key names are those of the language's keyboards ("Strg+Eingabe").
std::u16string FormatKeyChord(uint16_t key, ModifierMask modifiers, Language language = Language::English);

// Whether `codeUnit`, taken as one UTF-16 code unit, is a printable character.
bool IsPrintableCodeUnit(char16_t codeUnit);

}  // namespace brelkin
