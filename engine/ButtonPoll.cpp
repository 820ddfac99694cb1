#include "engine/ButtonPoll.h"

#include "engine/PressRowResolver.h"

namespace brelkin {

namespace {

// The row of a key mode. Values the program never sets (the settings load
// only produces 0 to PresetRowCount) are served from row 0; comparing the mode itself
// rather than mode - 1 keeps INT32_MIN from overflowing.
const ActionPreset& RowOfMode(const PresetTable& presets, TriggerMode mode) {
    if (mode < 1 || mode > PresetRowCount) return presets[0];
    return presets[static_cast<std::size_t>(mode - 1)];
}

void TakeOneByOne(const ActionPreset& row, SequenceStep& step, PressChords& press) {
    const uint16_t key = row.Keys[step];
    if (key != 0) press.chords[press.count++] = {row.Modifiers[step], key};
    // An empty first key still uses up its press: rows 0, B, C answer
    // nothing, B, C.
    ++step;
    // The empty second key of A, 0, C is skipped, not waited on.
    if (step == 1 && row.Keys[1] == 0) step = 2;
    // The step may now be 3; the next press maps it back to 0.
}

void TakeAtOneTime(const ActionPreset& row, PressChords& press) {
    for (int i = 0; i < 3; ++i) {
        if (row.Keys[i] == 0) break;  // stops at the first empty key, unlike one-by-one
        press.chords[press.count++] = {row.Modifiers[i], row.Keys[i]};
    }
    // The delay follows every chord, the last one included.
    press.delayAfterEach = true;
    press.delayMilliseconds = row.DelayTime;
}

}  // namespace

int SendPress(TriggerState& state, IPressSender& sender, Gesture gesture) {
    if (gesture == Gesture::None) gesture = Gesture::Press;
    TriggerMode mode = GestureMode(state, gesture);
    SequenceStep& step = GestureStep(state, gesture);
    PressChords press;
    press.gesture = gesture;
    if (state.pressRows != nullptr && !state.pressRows->ResolvePressRow(gesture, mode, step, press.program)) return 0;
    const ActionPreset& row = RowOfMode(state.presets, mode);
    if (step < 0 || step > 2) step = 0;
    if (row.Keys[step] == 0) step = 0;

    if (row.OneByOne != 0) {
        TakeOneByOne(row, step, press);
    } else {
        TakeAtOneTime(row, press);
    }
    if (press.count > 0) sender.Send(press);
    return press.count;
}

ButtonReading ReadButton(ICameraButton* camera) {
    uint32_t pioValue = 0;
    if (camera == nullptr || camera->IsInterfaceValid() == 0 || camera->GetPIO(&pioValue) != 0)
        return ButtonReading::NoReading;
    if ((pioValue & 1u) != 0) return ButtonReading::PortBusy;
    return camera->IsButtonPressed() != 0 ? ButtonReading::Down : ButtonReading::Up;
}

namespace {

PollOutcome AnswerGesture(TriggerState& state, Gesture gesture, IPressSender& sender) {
    PollOutcome outcome;
    if (gesture == Gesture::None) return outcome;
    outcome.pressed = true;
    outcome.gesture = gesture;
    // Asked before the row is resolved, so that the press leaves the step
    // and the program rules as it found them.
    if (sender.Sending()) {
        outcome.unanswered = true;
        return outcome;
    }
    outcome.chordsSent = SendPress(state, sender, gesture);
    return outcome;
}

}  // namespace

PollOutcome AnswerReading(TriggerState& state, ButtonReading reading, uint64_t nowMicroseconds, PressFilter& press,
                          IJoystickButtonSink& joystick, IPressSender& sender) {
    const GestureTimes gestures = GestureTimesOf(state);
    const bool judged = gestures.longPress || gestures.doublePress;
    // Gestures cleared or the joystick chosen while a press was judged: it
    // is dropped rather than sent in a way nobody asked for any more.
    if (!judged) state.gestures.Drop();
    if (reading == ButtonReading::NoReading || reading == ButtonReading::PortBusy) {
        press.Forget();
        // The camera is gone or cannot say: a button last reported down
        // would otherwise stay down in the imaging program until it returns.
        // A set bit 0 suppresses the whole tick, the joystick write included,
        // so that a busy port cannot turn one hold into two presses.
        if (reading == ButtonReading::NoReading && state.triggerMode == 0) joystick.ReleaseIfHeld();
        if (!judged) return PollOutcome{};
        return AnswerGesture(state, state.gestures.Lost(gestures, nowMicroseconds), sender);
    }

    const bool pressed = reading == ButtonReading::Down;
    // Read in joystick mode too, so that a switch to a key mode while the
    // button is held does not count the hold as a new press.
    const bool fired = press.Read(pressed, nowMicroseconds);

    if (state.triggerMode == 0) {
        // Written on every tick, changed or not: the device keeps only the
        // last record.
        joystick.SendJoystickButton(pressed);
        PollOutcome outcome;
        outcome.pressed = fired;
        return outcome;
    }
    if (judged) return AnswerGesture(state, state.gestures.Read(gestures, pressed, nowMicroseconds), sender);
    return AnswerGesture(state, fired ? Gesture::Press : Gesture::None, sender);
}

void ForgetCamera(TriggerState& state, PressFilter& press) {
    press.Forget();
    state.gestures.Drop();
}

namespace {

class NoJoystickRecord final : public IJoystickButtonSink {
public:
    void SendJoystickButton(bool) override {}
    void ReleaseIfHeld() override {}
};

}  // namespace

PollOutcome AnswerTriedReading(TriggerState& state, ButtonReading reading, uint64_t nowMicroseconds,
                               PressFilter& press, IPressSender& sender) {
    // On a copy: whatever the press would move stays with the copy. Brelkin
    // itself is in front, so no program rule is looked up. Only the reading
    // of the button over time (a long or a double press being judged) goes
    // on from tick to tick, as the press filter does.
    TriggerState tried = state;
    tried.pressRows = nullptr;
    NoJoystickRecord noJoystick;
    const PollOutcome outcome = AnswerReading(tried, reading, nowMicroseconds, press, noJoystick, sender);
    state.gestures = tried.gestures;
    return outcome;
}

PollOutcome PollButton(TriggerState& state, ICameraButton* selectedOrNull, uint64_t nowMicroseconds,
                       PressFilter& press, IJoystickButtonSink& joystick, IPressSender& sender) {
    return AnswerReading(state, ReadButton(selectedOrNull), nowMicroseconds, press, joystick, sender);
}

}  // namespace brelkin
