#include "platform/win32/Win32Clock.h"

#include <windows.h>

namespace brelkin {

Win32Clock::Win32Clock() {
    LARGE_INTEGER frequency;
    // Never fails on XP and later; 1 keeps the division defined regardless.
    m_frequency = ::QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0
                      ? static_cast<uint64_t>(frequency.QuadPart)
                      : 1;
}

uint64_t Win32Clock::NowMicroseconds() {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    const uint64_t ticks = static_cast<uint64_t>(counter.QuadPart);
    // Split so that ticks * 1e6 cannot overflow after a long uptime.
    return ticks / m_frequency * 1000000u + ticks % m_frequency * 1000000u / m_frequency;
}

}  // namespace brelkin
