#include "engine/PacedPoll.h"

#include "engine/TimedCameraButton.h"

namespace brelkin {

PollOutcome PacedPoll::Tick(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                            IJoystickButtonSink& joystick, IPressSender& sender) {
    // The nominal period only rounds the 400 ms repeat to the nearer tick.
    press.SetPeriod(m_period.Period());
    if (selectedOrNull == nullptr) {
        ForgetCamera(state, press);
        const uint64_t now = m_clock.NowMicroseconds();
        PollOutcome outcome = AnswerReading(state, ButtonReading::NoReading, now, press, joystick, sender);
        outcome.nextPeriod = m_period.AfterTick(now, 0);
        return outcome;
    }
    TimedCameraButton timed(*selectedOrNull, m_clock);
    const ButtonReading reading = ReadButton(&timed);
    // The end of the calls stands for now: it is when the button was read,
    // and the chords, which go out after it, are not camera time.
    const uint64_t end = timed.EndOfCalls();
    PollOutcome outcome = AnswerReading(state, reading, end, press, joystick, sender);
    outcome.nextPeriod = m_period.AfterTick(end, timed.Microseconds());
    return outcome;
}

}  // namespace brelkin
