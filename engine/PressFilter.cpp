#include "engine/PressFilter.h"

namespace brelkin {

void PressFilter::SetPeriod(uint32_t periodMilliseconds) {
    // A zero period would hold a button down forever without a repeat.
    m_period = periodMilliseconds == 0 ? 1 : periodMilliseconds;
}

void PressFilter::Forget() {
    m_down = false;
}

bool PressFilter::Read(bool pressed) {
    if (!pressed) {
        m_down = false;
        return false;
    }
    if (!m_down) {
        m_down = true;
        m_heldSincePress = 0;
        return true;
    }
    // Reset at each repeat, so the sum stays below 400 + one period.
    m_heldSincePress += m_period;
    if (m_heldSincePress < PressRepeatMilliseconds) return false;
    m_heldSincePress = 0;
    return true;
}

}  // namespace brelkin
