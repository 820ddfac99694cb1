#include "engine/TimedCameraButton.h"

namespace brelkin {

void TimedCameraButton::Begin() {
    if (m_started) return;
    m_started = true;
    m_start = m_clock.NowMicroseconds();
}

int32_t TimedCameraButton::IsInterfaceValid() {
    Begin();
    return m_camera.IsInterfaceValid();
}

int32_t TimedCameraButton::GetPIO(uint32_t* pioValue) {
    Begin();
    return m_camera.GetPIO(pioValue);
}

int32_t TimedCameraButton::IsButtonPressed() {
    Begin();
    const int32_t result = m_camera.IsButtonPressed();
    // The last call of a tick: what follows is the poll's own work.
    m_end = m_clock.NowMicroseconds();
    m_ended = true;
    return result;
}

uint64_t TimedCameraButton::EndOfCalls() {
    if (!m_ended) {
        // A skipped tick sends nothing, so now is the end of its calls.
        m_end = m_clock.NowMicroseconds();
        m_ended = true;
    }
    return m_end;
}

}  // namespace brelkin
