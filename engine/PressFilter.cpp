#include "engine/PressFilter.h"

namespace brelkin {

namespace {
constexpr uint64_t RepeatMicroseconds = uint64_t{PressRepeatMilliseconds} * 1000;
}  // namespace

void PressFilter::SetPeriod(uint32_t periodMilliseconds) {
    m_period = periodMilliseconds == 0 ? 1 : periodMilliseconds;
}

void PressFilter::Forget() {
    m_down = false;
}

bool PressFilter::Read(bool pressed, uint64_t now) {
    if (!pressed) {
        m_down = false;
        return false;
    }
    if (!m_down) {
        m_down = true;
        m_nextRepeat = now + RepeatMicroseconds;
        return true;
    }
    // Half a period early is still the nearest tick to the repeat: the next
    // one would come later after it than this one comes before it.
    const uint64_t slack = uint64_t{m_period} * 1000 / 2;
    if (now + slack < m_nextRepeat) return false;
    // The repeats keep to a 400 ms grid from the press, so a late tick does
    // not push the next one back; after a gap of merged ticks the grid starts
    // again from now rather than catching up with a burst.
    m_nextRepeat += RepeatMicroseconds;
    if (m_nextRepeat <= now + slack) m_nextRepeat = now + RepeatMicroseconds;
    return true;
}

}  // namespace brelkin
