#pragma once
// Counts every global operator new in the bench program, so that a run can
// show that a tick without a press touches no heap.
#include <cstddef>
#include <cstdint>

namespace brelkin::bench {

uint64_t AllocationCount();

}  // namespace brelkin::bench
