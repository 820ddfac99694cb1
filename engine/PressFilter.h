#pragma once
// Turns the button's reading on each tick into presses: a press when the
// button is found down after a tick that found it up or could not read it,
// and again every 400 ms for as long as it stays down. At a 400 ms period
// every tick that finds it down is a press.
#include <cstdint>

namespace brelkin {

constexpr uint32_t PressRepeatMilliseconds = 400;

class PressFilter {
public:
    // The time between two ticks from now on. A held button repeats after
    // ceil(400 / period) ticks, counted over whatever periods they had.
    void SetPeriod(uint32_t periodMilliseconds);
    uint32_t Period() const { return m_period; }

    // A tick without a reading (no camera, interface not valid, port busy,
    // GetPIO failing) or a camera that was just opened: the next reading
    // that finds the button down is a new press.
    void Forget();

    // One tick's reading; true when it is a press.
    bool Read(bool pressed);

private:
    uint32_t m_period = PressRepeatMilliseconds;
    bool m_down = false;
    uint32_t m_heldSincePress = 0;  // ms of ticks since the last press of this hold
};

}  // namespace brelkin
