#pragma once
// One tick of the button poll: reads the camera button and turns a press into
// the joystick record or the key chords of the current mode.
#include <cstdint>

#include "engine/ActionPreset.h"
#include "engine/ChordSender.h"
#include "engine/JoystickButtonSink.h"
#include "engine/PressFilter.h"
#include "platform/CameraButton.h"

namespace brelkin {

// What one tick did, for the counts in the support log, the check of the key
// target and the poll timer: a press is a tick on which the press filter
// fired, in any mode.
struct PollOutcome {
    bool pressed = false;
    int chordsSent = 0;  // handed to the sender
    uint32_t nextPeriod = 0;  // set by the paced poll: the timer's period from now on
    // A key-mode press while the chords of the one before were still going
    // out: not answered, as none was when the poll waited for them.
    bool unanswered = false;
    // What the press was read as; None when nothing fired. A gesture fires
    // on the tick that decides it: at the press without gestures, else at a
    // release, at the long-press time or when the wait for a second press ends.
    Gesture gesture = Gesture::None;
};

// What one tick read of the camera button, before it is turned into input.
enum class ButtonReading : uint8_t {
    NoReading,  // no camera object, interface not valid, GetPIO failed, or the camera is gone
    PortBusy,   // GetPIO reported bit 0: the whole tick is skipped
    Up,
    Down,
};

// The camera's three calls of one tick: IsInterfaceValid, GetPIO (bit 0 set
// skips the tick), IsButtonPressed.
ButtonReading ReadButton(ICameraButton* selectedOrNull);

// Turns one tick's reading, taken at `nowMicroseconds` of a monotonic clock,
// into the joystick record or the chords of a press, which go to `sender`.
// With a long or a double press set, `state.gestures` judges the press and a
// held button does not repeat; a tick without a reading neither ends nor
// holds a press being judged.
// In joystick mode a tick without a reading releases a button last reported
// down, once; a skipped tick (port busy) writes nothing. Allocates nothing.
PollOutcome AnswerReading(TriggerState& state, ButtonReading reading, uint64_t nowMicroseconds, PressFilter& press,
                          IJoystickButtonSink& joystick, IPressSender& sender);

// The camera went away (a close, a rescan, a host fault): the next press is
// a new one, and a press being judged ends unsent.
void ForgetCamera(TriggerState& state, PressFilter& press);

// A reading taken while the Camera Status window is in front: a press is
// answered in the current mode, its chords handed to `sender` to be shown,
// and the step, the program rules and the rest of `state` stay as they were,
// so that the next real press sends what it would have sent (only a long or
// a double press being judged goes on from tick to tick). No joystick
// record is written.
PollOutcome AnswerTriedReading(TriggerState& state, ButtonReading reading, uint64_t nowMicroseconds,
                               PressFilter& press, IPressSender& sender);

// `selectedOrNull` is the camera object of the current driver kind, or null
// when none is open; the object of the other kind is never passed in. A tick
// that cannot read the button tells `press` that it had no reading, and the
// next one tries again.
PollOutcome PollButton(TriggerState& state, ICameraButton* selectedOrNull, uint64_t nowMicroseconds,
                       PressFilter& press, IJoystickButtonSink& joystick, IPressSender& sender);

// What one press sends in a key mode: the chords of the gesture's row, one by
// one with the gesture's step advancing, or all at once with the row's
// delays, handed to `sender`. Returns the number of chords handed over (none
// where the program in front gets no keys).
int SendPress(TriggerState& state, IPressSender& sender, Gesture gesture = Gesture::Press);

}  // namespace brelkin
