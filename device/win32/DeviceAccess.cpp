#include "device/win32/DeviceAccess.h"

#include "device/win32/VendorCameraLibrary.h"
#include "device/win32/Win32DevicePlatform.h"
#include "device/win32/Win32JoystickOutput.h"

namespace brelkin {

namespace {

class Win32DeviceAccess final : public DeviceAccess {
public:
    explicit Win32DeviceAccess(SequenceStep& sequenceStep)
        : m_camera(m_library, m_com, m_osVersion, m_notification, sequenceStep)
    {
    }
    CameraButtonSource& Camera() override { return m_camera; }
    JoystickOutput& Joystick() override { return m_joystick.Output(); }

private:
    // Declared so that the sources go first and the services and loaded
    // libraries they release through go last.
    Win32Com m_com;
    Win32OsVersion m_osVersion;
    Win32DeviceNotification m_notification;
    VendorCameraLibrary m_library;
    CameraButtonSource m_camera;
    Win32JoystickOutput m_joystick;
};

}  // namespace

std::unique_ptr<DeviceAccess> CreateDeviceAccess(SequenceStep& sequenceStep)
{
    return std::make_unique<Win32DeviceAccess>(sequenceStep);
}

}  // namespace brelkin
