#include "engine/ButtonPoll.h"

#include "engine/KeySynthesis.h"
#include "engine/PressRowResolver.h"

namespace brelkin {

namespace {

// The row of a key mode. Values the program never sets (the settings load
// only produces 0 to 13) are served from row 0; comparing the mode itself
// rather than mode - 1 keeps INT32_MIN from overflowing.
const ActionPreset& RowOfMode(const PresetTable& presets, TriggerMode mode) {
    if (mode < 1 || mode > PresetRowCount) return presets[0];
    return presets[static_cast<std::size_t>(mode - 1)];
}

int SendOneByOne(const ActionPreset& row, SequenceStep& step, IKeyboardInput& input, ISleeper& sleeper) {
    const uint16_t key = row.Keys[step];
    if (key != 0) SendKeyChord(input, sleeper, row.Modifiers[step], key);
    const int sent = key != 0 ? 1 : 0;
    // An empty first key still uses up its press: rows 0, B, C answer
    // nothing, B, C.
    ++step;
    // The empty second key of A, 0, C is skipped, not waited on.
    if (step == 1 && row.Keys[1] == 0) step = 2;
    // The step may now be 3; the next press maps it back to 0.
    return sent;
}

int SendAtOneTime(const ActionPreset& row, IKeyboardInput& input, ISleeper& sleeper) {
    int i = 0;
    for (; i < 3; ++i) {
        if (row.Keys[i] == 0) break;  // stops at the first empty key, unlike one-by-one
        SendKeyChord(input, sleeper, row.Modifiers[i], row.Keys[i]);
        // The delay follows every chord, the last one included.
        sleeper.Sleep(row.DelayTime);
    }
    return i;
}

}  // namespace

int SendPress(TriggerState& state, IKeyboardInput& input, ISleeper& sleeper) {
    TriggerMode mode = state.triggerMode;
    if (state.pressRows != nullptr && !state.pressRows->ResolvePressRow(state, mode)) return 0;
    const ActionPreset& row = RowOfMode(state.presets, mode);
    SequenceStep& step = state.sequenceStep;
    if (step < 0 || step > 2) step = 0;
    if (row.Keys[step] == 0) step = 0;

    return row.OneByOne != 0 ? SendOneByOne(row, step, input, sleeper) : SendAtOneTime(row, input, sleeper);
}

ButtonReading ReadButton(ICameraButton* camera) {
    uint32_t pioValue = 0;
    if (camera == nullptr || camera->IsInterfaceValid() == 0 || camera->GetPIO(&pioValue) != 0)
        return ButtonReading::NoReading;
    if ((pioValue & 1u) != 0) return ButtonReading::PortBusy;
    return camera->IsButtonPressed() != 0 ? ButtonReading::Down : ButtonReading::Up;
}

PollOutcome AnswerReading(TriggerState& state, ButtonReading reading, PressFilter& press,
                          IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper) {
    PollOutcome outcome;
    // A set bit 0 suppresses the whole tick, the joystick write included.
    if (reading == ButtonReading::NoReading || reading == ButtonReading::PortBusy) {
        press.Forget();
        return outcome;
    }

    const bool pressed = reading == ButtonReading::Down;
    // Read in joystick mode too, so that a switch to a key mode while the
    // button is held does not count the hold as a new press.
    const bool fired = press.Read(pressed);
    outcome.pressed = fired;

    if (state.triggerMode == 0) {
        // Written on every tick, changed or not: the device keeps only the
        // last record.
        joystick.SendJoystickButton(pressed);
        return outcome;
    }
    if (fired) outcome.chordsSent = SendPress(state, input, sleeper);
    return outcome;
}

PollOutcome PollButton(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                       IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper) {
    return AnswerReading(state, ReadButton(selectedOrNull), press, joystick, input, sleeper);
}

}  // namespace brelkin
