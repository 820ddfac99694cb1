#pragma once
// One tick of the button poll: reads the camera button and turns a press into
// the joystick record or the key chords of the current mode.
#include "engine/ActionPreset.h"
#include "engine/CameraButton.h"
#include "platform/KeyboardInput.h"

namespace brelkin {

// What one tick did, for the counts in the support log and the check of the
// key target: a press is a tick that found the button down, in any mode.
struct PollOutcome {
    bool pressed = false;
    int chordsSent = 0;
};

// `selectedOrNull` is the camera object of the current driver kind, or null
// when none is open; the object of the other kind is never passed in. Runs to
// completion, every chord and delay included, and reports no error: a tick
// that cannot read the button does nothing and the next one tries again.
// Allocates nothing.
PollOutcome PollButton(TriggerState& state, ICameraButton* selectedOrNull,
                       IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper);

}  // namespace brelkin
