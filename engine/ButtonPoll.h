#pragma once
// One tick of the button poll: reads the camera button and turns a press into
// the joystick record or the key chords of the current mode.
#include <cstdint>

#include "engine/ActionPreset.h"
#include "engine/CameraButton.h"
#include "engine/PressFilter.h"
#include "platform/KeyboardInput.h"

namespace brelkin {

// What one tick did, for the counts in the support log, the check of the key
// target and the poll timer: a press is a tick on which the press filter
// fired, in any mode.
struct PollOutcome {
    bool pressed = false;
    int chordsSent = 0;
    uint32_t nextPeriod = 0;  // set by the paced poll: the timer's period from now on
};

// What one tick read of the camera button, before it is turned into input.
enum class ButtonReading : uint8_t {
    NoReading,  // no camera object, interface not valid, or GetPIO failed
    PortBusy,   // GetPIO reported bit 0: the whole tick is skipped
    Up,
    Down,
};

// The camera's three calls of one tick: IsInterfaceValid, GetPIO (bit 0 set
// skips the tick), IsButtonPressed.
ButtonReading ReadButton(ICameraButton* selectedOrNull);

// Turns one tick's reading into the joystick record or the chords of a press.
PollOutcome AnswerReading(TriggerState& state, ButtonReading reading, PressFilter& press,
                          IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper);

// `selectedOrNull` is the camera object of the current driver kind, or null
// when none is open; the object of the other kind is never passed in. Runs to
// completion, every chord and delay included, and reports no error: a tick
// that cannot read the button does nothing but tell `press` that it had no
// reading, and the next one tries again. Allocates nothing.
PollOutcome PollButton(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                              IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper);

// What one press sends in a key mode: the chords of the mode's row, one by
// one with the step advancing, or all at once with the row's delays. Returns
// the number of chords sent (none where the program in front gets no keys).
int SendPress(TriggerState& state, IKeyboardInput& input, ISleeper& sleeper);

}  // namespace brelkin
