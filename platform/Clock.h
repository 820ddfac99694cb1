#pragma once
// A monotonic clock for measuring how long the camera's calls take, and a time of day.
#include <cstdint>

namespace brelkin {

// A local time of day, as the Camera Status window shows it.
struct ClockTime {
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    // Microseconds since an arbitrary start; never goes back.
    virtual uint64_t NowMicroseconds() = 0;
};

}  // namespace brelkin
