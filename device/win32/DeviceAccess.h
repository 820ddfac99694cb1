#pragma once
// The camera library in this process, for the benchmarks' in-process
// baseline and the tools: the camera button source over the real camera
// libraries and the joystick output over the real device, with the Win32
// services behind them. The owner calls the sources' own open, register and
// release steps in its order. Brelkin.exe does not link it.
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
