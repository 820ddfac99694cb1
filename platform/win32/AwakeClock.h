#pragma once
// The awake clock that Brelkin and the camera host both read, so that a time
// one of them puts into the watch block means the same to the other.
#include <cstdint>

namespace brelkin {

// QueryUnbiasedInterruptTime in milliseconds: shared by every process, and
// it stands still while the computer sleeps.
uint64_t AwakeMilliseconds();

}  // namespace brelkin
