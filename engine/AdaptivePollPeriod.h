#pragma once
// The period of the button poll: the PollPeriod setting while the camera's
// calls are cheap, doubled (up to 400 ms) while they take more than a tenth of
// the wall time, so that a slow camera library cannot keep the user-interface
// thread busy.
#include <cstdint>

namespace brelkin {

constexpr uint32_t DefaultPollPeriod = 50;
constexpr uint32_t MinPollPeriod = 10;
constexpr uint32_t MaxPollPeriod = 400;

class AdaptivePollPeriod {
public:
    // `basePeriod` outside MinPollPeriod..MaxPollPeriod is taken as the default.
    explicit AdaptivePollPeriod(uint32_t basePeriod = DefaultPollPeriod);

    uint32_t Period() const;
    uint32_t BasePeriod() const { return m_base; }

    // After each tick, with a monotonic clock's reading and the microseconds
    // the tick spent in the camera's calls. Once a second of wall time has
    // passed, decides the period for the next second; returns the period the
    // timer should run at now.
    uint32_t AfterTick(uint64_t nowMicroseconds, uint64_t cameraMicroseconds);

private:
    uint32_t PeriodAt(int doublings) const;

    uint32_t m_base;
    int m_doublings = 0;
    bool m_windowOpen = false;
    uint64_t m_windowStart = 0;
    uint64_t m_cameraInWindow = 0;
};

}  // namespace brelkin
