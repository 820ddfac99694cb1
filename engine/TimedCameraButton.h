#pragma once
// The camera object of one tick with the time of its calls taken: from the
// start of the first call to the end of the last, which on a tick are back
// to back. The poll's own work after the reading (the chords, their holds
// and delays) comes after IsButtonPressed and is not counted. Two clock
// reads a tick: the start, and the end of IsButtonPressed or, on a tick
// that stopped before it, the moment EndOfCalls is asked.
#include "platform/CameraButton.h"
#include "platform/Clock.h"

namespace brelkin {

class TimedCameraButton final : public ICameraButton {
public:
    TimedCameraButton(ICameraButton& camera, IClock& clock) : m_camera(camera), m_clock(clock) {}

    int32_t IsInterfaceValid() override;
    int32_t GetPIO(uint32_t* pioValue) override;
    int32_t IsButtonPressed() override;

    // After the tick: the clock at the end of the camera's calls.
    uint64_t EndOfCalls();
    // After EndOfCalls: how long the calls took; 0 when none was made.
    uint64_t Microseconds() const { return m_started ? m_end - m_start : 0; }

private:
    void Begin();

    ICameraButton& m_camera;
    IClock& m_clock;
    bool m_started = false;
    bool m_ended = false;
    uint64_t m_start = 0;
    uint64_t m_end = 0;
};

}  // namespace brelkin
