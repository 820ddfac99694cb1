#include "engine/PacedPoll.h"

#include "engine/TimedCameraButton.h"

namespace brelkin {

PollOutcome PacedPoll::Tick(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                         IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper) {
    // The repeat is counted in the ticks of the period they ran at.
    press.SetPeriod(m_period.Period());
    if (selectedOrNull == nullptr) {
        PollOutcome outcome = PollButton(state, nullptr, press, joystick, input, sleeper);
        outcome.nextPeriod = m_period.AfterTick(m_clock.NowMicroseconds(), 0);
        return outcome;
    }
    TimedCameraButton timed(*selectedOrNull, m_clock);
    PollOutcome outcome = PollButton(state, &timed, press, joystick, input, sleeper);
    // The end of the calls stands for now: the chords of this tick then
    // fall into the next second's wall time, which is as continuous.
    const uint64_t end = timed.EndOfCalls();
    outcome.nextPeriod = m_period.AfterTick(end, timed.Microseconds());
    return outcome;
}

}  // namespace brelkin
