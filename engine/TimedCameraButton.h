#pragma once
// The camera object of one tick with the time of its calls taken: from the
// start of the first call to the end of the last, which on a tick are
// back to back. The poll's own work after the reading (the chords, their
// holds and delays) comes after the last call and is not counted.
#include "engine/CameraButton.h"
#include "platform/Clock.h"

namespace brelkin {

class TimedCameraButton final : public ICameraButton {
public:
    TimedCameraButton(ICameraButton& camera, IClock& clock) : m_camera(camera), m_clock(clock) {}

    int32_t IsInterfaceValid() override;
    int32_t GetPIO(uint32_t* pioValue) override;
    int32_t IsButtonPressed() override;

    uint64_t Microseconds() const { return m_end - m_start; }

private:
    void Begin();
    void End() { m_end = m_clock.NowMicroseconds(); }

    ICameraButton& m_camera;
    IClock& m_clock;
    bool m_started = false;
    uint64_t m_start = 0;
    uint64_t m_end = 0;
};

}  // namespace brelkin
