#pragma once
// A monotonic clock for measuring how long the camera's calls take.
#include <cstdint>

namespace brelkin {

class IClock {
public:
    virtual ~IClock() = default;
    // Microseconds since an arbitrary start; never goes back.
    virtual uint64_t NowMicroseconds() = 0;
};

}  // namespace brelkin
