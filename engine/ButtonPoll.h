#pragma once
// One tick of the button poll: reads the camera button and turns a press into
// the joystick record or the key chords of the current mode.
#include "engine/ActionPreset.h"
#include "engine/CameraButton.h"
#include "engine/PressFilter.h"
#include "platform/KeyboardInput.h"

namespace brelkin {

// `selectedOrNull` is the camera object of the current driver kind, or null
// when none is open; the object of the other kind is never passed in. Runs to
// completion, every chord and delay included, and reports nothing: a tick
// that cannot read the button does nothing but tell `press` that it had no
// reading, and the next one tries again. Allocates nothing.
void PollButton(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper);

// What one press sends in a key mode: the chords of the mode's row, one by
// one with the step advancing, or all at once with the row's delays.
void SendPress(TriggerState& state, IKeyboardInput& input, ISleeper& sleeper);

}  // namespace brelkin
