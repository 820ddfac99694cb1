#pragma once
// The clock over the performance counter.
#include "platform/Clock.h"

namespace brelkin {

class Win32Clock final : public IClock {
public:
    Win32Clock();
    uint64_t NowMicroseconds() override;

private:
    uint64_t m_frequency;
};

}  // namespace brelkin
