#include "engine/AdaptivePollPeriod.h"

namespace brelkin {

namespace {

constexpr uint64_t WindowMicroseconds = 1000000;
// The camera's calls may take this share of the wall time: 1 in 10.
constexpr uint64_t BudgetDivisor = 10;

}  // namespace

AdaptivePollPeriod::AdaptivePollPeriod(uint32_t basePeriod)
    : m_base(basePeriod >= MinPollPeriod && basePeriod <= MaxPollPeriod ? basePeriod : DefaultPollPeriod) {}

uint32_t AdaptivePollPeriod::PeriodAt(int doublings) const {
    const uint64_t period = static_cast<uint64_t>(m_base) << doublings;
    return period < MaxPollPeriod ? static_cast<uint32_t>(period) : MaxPollPeriod;
}

uint32_t AdaptivePollPeriod::Period() const {
    return PeriodAt(m_doublings);
}

uint32_t AdaptivePollPeriod::AfterTick(uint64_t now, uint64_t cameraMicroseconds) {
    if (!m_windowOpen || now < m_windowStart) {
        // The first tick only starts the window: the time before it was not
        // spent polling. A clock that went back starts it again.
        m_windowOpen = true;
        m_windowStart = now;
        m_cameraInWindow = 0;
        return Period();
    }
    m_cameraInWindow += cameraMicroseconds;
    const uint64_t wall = now - m_windowStart;
    if (wall < WindowMicroseconds) return Period();

    const uint32_t period = Period();
    if (m_cameraInWindow * BudgetDivisor > wall) {
        if (period < MaxPollPeriod) ++m_doublings;
    } else if (m_doublings > 0) {
        // Step down only when the calls, as many more of them as the shorter
        // period makes, would still fit in 4/5 of the budget: a cost just
        // under the line would otherwise flip the period every second.
        const uint32_t lower = PeriodAt(m_doublings - 1);
        if (m_cameraInWindow * period * BudgetDivisor * 5 < wall * lower * 4) --m_doublings;
    }
    m_windowStart = now;
    m_cameraInWindow = 0;
    return Period();
}

}  // namespace brelkin
