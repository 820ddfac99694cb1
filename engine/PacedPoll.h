#pragma once
// The button poll as the program's timer runs it: one tick over the camera
// object with the time of its calls taken, then the period for the next
// ticks decided from that time.
#include <cstdint>

#include "engine/AdaptivePollPeriod.h"
#include "engine/ButtonPoll.h"
#include "platform/Clock.h"

namespace brelkin {

class PacedPoll {
public:
    explicit PacedPoll(IClock& clock) : m_clock(clock) {}

    // The PollPeriod setting; starts the pacing again from it.
    void SetBasePeriod(uint32_t basePeriod) { m_period = AdaptivePollPeriod(basePeriod); }
    uint32_t Period() const { return m_period.Period(); }

    // One tick as PollButton, with the period the timer is to run at from now
    // on in `nextPeriod`. Allocates nothing.
    PollOutcome Tick(TriggerState& state, ICameraButton* selectedOrNull, PressFilter& press,
                     IJoystickButtonSink& joystick, IPressSender& sender);

private:
    IClock& m_clock;
    AdaptivePollPeriod m_period;
};

}  // namespace brelkin
