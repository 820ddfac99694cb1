#include "device/win32/DeviceAccess.h"

#include "device/win32/VJoyFeederLibrary.h"
#include "device/win32/VendorCameraLibrary.h"
#include "device/win32/Win32DevicePlatform.h"

namespace brelkin {

namespace {

class Win32DeviceAccess final : public DeviceAccess {
public:
    explicit Win32DeviceAccess(SequenceStep& sequenceStep)
        : m_camera(m_library, m_com, m_osVersion, m_notification, sequenceStep),
          m_joystick(m_deviceIo, m_vjoyLibrary)
    {
    }
    CameraButtonSource& Camera() override { return m_camera; }
    JoystickOutput& Joystick() override { return m_joystick; }

private:
    // Declared so that the sources go first and the services and loaded
    // libraries they release through go last.
    Win32Com m_com;
    Win32OsVersion m_osVersion;
    Win32DeviceNotification m_notification;
    Win32DeviceIo m_deviceIo;
    VendorCameraLibrary m_library;
    VJoyFeederLibrary m_vjoyLibrary;
    CameraButtonSource m_camera;
    JoystickOutput m_joystick;
};

}  // namespace

std::unique_ptr<DeviceAccess> CreateDeviceAccess(SequenceStep& sequenceStep)
{
    return std::make_unique<Win32DeviceAccess>(sequenceStep);
}

}  // namespace brelkin
