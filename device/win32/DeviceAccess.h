#pragma once
// What the main frame gets from device access: the camera button source over
// the real camera libraries and the joystick output over the real device,
// with the Win32 services behind them. The frame owns the returned object
// and calls the sources' own open, register and release steps in its order.
#include <memory>

#include "device/CameraButtonSource.h"
#include "device/JoystickOutput.h"
#include "engine/ActionPreset.h"

namespace brelkin {

class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;
    virtual CameraButtonSource& Camera() = 0;
    virtual JoystickOutput& Joystick() = 0;
};

// sequenceStep is the frame's; every camera open resets it. Nothing is opened
// or registered yet.
std::unique_ptr<DeviceAccess> CreateDeviceAccess(SequenceStep& sequenceStep);

}  // namespace brelkin
