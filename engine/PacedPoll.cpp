#include "engine/PacedPoll.h"

#include "engine/TimedCameraButton.h"

namespace brelkin {

uint32_t PacedPoll::Tick(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                         IJoystickButtonSink& joystick, IKeyboardInput& input, ISleeper& sleeper) {
    // The repeat is counted in the ticks of the period they ran at.
    press.SetPeriod(m_period.Period());
    uint64_t cameraTime = 0;
    if (selectedOrNull != nullptr) {
        TimedCameraButton timed(*selectedOrNull, m_clock);
        PollButton(state, &timed, press, joystick, input, sleeper);
        cameraTime = timed.Microseconds();
    } else {
        PollButton(state, nullptr, press, joystick, input, sleeper);
    }
    return m_period.AfterTick(m_clock.NowMicroseconds(), cameraTime);
}

}  // namespace brelkin
