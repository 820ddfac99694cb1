#pragma once
// Turns the button's reading on each tick into presses: a press when the
// button is found down after a tick that found it up or could not read it,
// and again every 400 ms on the clock for as long as it stays down. At a
// 400 ms period every tick that finds it down is a press.
#include <cstdint>

namespace brelkin {

constexpr uint32_t PressRepeatMilliseconds = 400;

class PressFilter {
public:
    // The nominal time between two ticks from now on. It only decides which
    // tick answers a repeat that falls between two of them: the one nearer to
    // it, so that a tick a little early is not put off by a whole period.
    void SetPeriod(uint32_t periodMilliseconds);
    uint32_t Period() const { return m_period; }

    // A tick without a reading (no camera, interface not valid, port busy,
    // GetPIO failing) or a camera that was just opened: the next reading
    // that finds the button down is a new press.
    void Forget();

    // One tick's reading, taken at `nowMicroseconds` of a monotonic clock;
    // true when it is a press.
    bool Read(bool pressed, uint64_t nowMicroseconds);

private:
    uint32_t m_period = PressRepeatMilliseconds;
    bool m_down = false;
    uint64_t m_nextRepeat = 0;  // µs on the caller's clock
};

}  // namespace brelkin
