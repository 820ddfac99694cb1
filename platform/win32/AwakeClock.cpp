#include "platform/win32/AwakeClock.h"

#include <windows.h>

namespace brelkin {

uint64_t AwakeMilliseconds() {
    ULONGLONG units = 0;  // 100 ns
    QueryUnbiasedInterruptTime(&units);
    return units / 10000;
}

}  // namespace brelkin
