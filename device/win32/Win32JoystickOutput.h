#pragma once
// The joystick output over the real PPJoy control device and vJoy's feeder
// library, owning both, so that a program takes joystick mode without any
// other device access.
#include "device/JoystickOutput.h"
#include "device/win32/VJoyFeederLibrary.h"
#include "device/win32/Win32DevicePlatform.h"

namespace brelkin {

class Win32JoystickOutput {
public:
    JoystickOutput& Output() { return m_output; }

private:
    // Declared so that the output goes first and releases through the device
    // and the feeder library while they are still there.
    Win32DeviceIo m_deviceIo;
    VJoyFeederLibrary m_vjoyLibrary;
    JoystickOutput m_output{m_deviceIo, m_vjoyLibrary};
};

}  // namespace brelkin
