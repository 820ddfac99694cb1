#include "engine/TimedCameraButton.h"

namespace brelkin {

void TimedCameraButton::Begin() {
    if (m_started) return;
    m_started = true;
    m_start = m_clock.NowMicroseconds();
}

int32_t TimedCameraButton::IsInterfaceValid() {
    Begin();
    const int32_t result = m_camera.IsInterfaceValid();
    End();
    return result;
}

int32_t TimedCameraButton::GetPIO(uint32_t* pioValue) {
    Begin();
    const int32_t result = m_camera.GetPIO(pioValue);
    End();
    return result;
}

int32_t TimedCameraButton::IsButtonPressed() {
    Begin();
    const int32_t result = m_camera.IsButtonPressed();
    End();
    return result;
}

}  // namespace brelkin
