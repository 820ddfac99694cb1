// Counts heap allocations for the poll tests: the poll must make none.
#include <cstdlib>
#include <new>

#include "tests/engine/PollRig.h"

namespace brelkin::test {
bool countAllocations = false;
int allocations = 0;
}  // namespace brelkin::test

__attribute__((noinline)) void* operator new(std::size_t size) {
    if (brelkin::test::countAllocations) ++brelkin::test::allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// Out of line, so that the compiler does not see free() meet a new-expression.
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
