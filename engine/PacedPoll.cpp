#include "engine/PacedPoll.h"

#include "engine/TimedCameraButton.h"

namespace brelkin {

uint32_t PacedPoll::Tick(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                         IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper) {
    // The repeat is counted in the ticks of the period they ran at.
    press.SetPeriod(m_period.Period());
    if (selectedOrNull == nullptr) {
        PollButton(state, nullptr, press, joystick, input, sleeper);
        return m_period.AfterTick(m_clock.NowMicroseconds(), 0);
    }
    TimedCameraButton timed(*selectedOrNull, m_clock);
    PollButton(state, &timed, press, joystick, input, sleeper);
    // The end of the calls stands for now: the chords of this tick then
    // fall into the next second's wall time, which is as continuous.
    const uint64_t end = timed.EndOfCalls();
    return m_period.AfterTick(end, timed.Microseconds());
}

}  // namespace brelkin
