#pragma once
// The operating-system version as the version query reports it.
#include <cstdint>

namespace brelkin {

struct OsVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
};

class IOsVersion {
public:
    virtual ~IOsVersion() = default;
    // {0, 0} when the query fails.
    virtual OsVersion GetOsVersion() = 0;
};

}  // namespace brelkin
