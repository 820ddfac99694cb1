#pragma once
// Button 1 of a virtual joystick for joystick mode: PPJoy where its driver is
// installed, otherwise vJoy. The poll and the frame see one output and never
// which driver is behind it.
#include "device/JoystickStatus.h"
#include "device/PPJoyOutput.h"
#include "device/VJoyOutput.h"
#include "engine/JoystickButtonSink.h"
#include "platform/DeviceIo.h"
#include "platform/VJoyFeeder.h"

namespace brelkin {

class JoystickOutput : public IJoystickButtonSink {
public:
    JoystickOutput(IDeviceIo& deviceIo, IVJoyLibrary& vjoyLibrary)
        : m_ppjoy(deviceIo), m_vjoy(vjoyLibrary) {}
    ~JoystickOutput() override;  // as CloseJoystickOutput outside joystick mode
    JoystickOutput(const JoystickOutput&) = delete;
    JoystickOutput& operator=(const JoystickOutput&) = delete;

    // Once, at start-up: PPJoy first, vJoy only when PPJoy's device is absent.
    void OpenJoystickOutput();
    void SendJoystickButton(bool pressed) override;
    // The camera went away while joystick mode may have the button down: the
    // driver would otherwise keep the press it was last told about until the
    // camera comes back, so it gets one released state, and only once.
    void ReleaseIfHeld() override;
    // Leaving joystick mode: the same single released state.
    void ReleaseJoystickButton();
    // One released state in joystick mode or after a press, then the device
    // closed (PPJoy) or relinquished (vJoy).
    void CloseJoystickOutput(bool joystickMode);

    const JoystickStatus& Status() const { return m_status; }
    const JoystickState& State() const { return m_ppjoy.State(); }
    DeviceHandle Handle() const { return m_ppjoy.Handle(); }

private:
    void Send(bool pressed);

    PPJoyOutput m_ppjoy;
    VJoyOutput m_vjoy;
    JoystickStatus m_status;
    bool m_lastToldPressed = false;
};

}  // namespace brelkin
