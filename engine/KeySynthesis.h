#pragma once
// Turns one key chord into synthesised keyboard input for the window that has
// the keyboard focus.
#include <cstdint>

#include "engine/ActionPreset.h"
#include "platform/KeyboardInput.h"

namespace brelkin {

// How long the key of a chord is held down.
constexpr uint32_t ChordHoldMilliseconds = 25;

// Presses the modifiers of `modifiers` (Shift, Ctrl, Alt, left Windows key, in
// that order), presses `key`, holds it for ChordHoldMilliseconds, releases it
// and then releases the modifiers in the order they were pressed. Every event
// is its own injection call; failures are not examined. Key 0 is "no chord"
// and sends nothing.
void SendKeyChord(IKeyboardInput& input, ISleeper& sleeper, ModifierMask modifiers, uint16_t key);

}  // namespace brelkin
