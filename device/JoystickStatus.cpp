#include "device/JoystickStatus.h"

namespace brelkin {

const char* DescribeJoystickRefusal(JoystickRefusal refusal)
{
    switch (refusal) {
    case JoystickRefusal::None:
        return "the joystick driver is ready";
    case JoystickRefusal::VJoyNotInstalled:
        return "neither PPJoy nor vJoy is installed: install vJoy and restart Brelkin";
    case JoystickRefusal::VJoyLibraryUnusable:
        return "vJoy's vJoyInterface.dll is missing or does not load: repair or reinstall vJoy";
    case JoystickRefusal::VJoyFunctionMissing:
        return "vJoy's vJoyInterface.dll lacks a function Brelkin needs: install vJoy 2.1.9 or later";
    case JoystickRefusal::VJoyDriverDisabled:
        return "the vJoy driver is disabled: enable it in Configure vJoy and restart Brelkin";
    case JoystickRefusal::VJoyDeviceMissing:
        return "vJoy device 1 does not exist: add it in Configure vJoy and restart Brelkin";
    case JoystickRefusal::VJoyDeviceBusy:
        return "vJoy device 1 is in use by another program: close it and restart Brelkin";
    case JoystickRefusal::VJoyDeviceWithoutButton:
        return "vJoy device 1 has no buttons: give it at least one in Configure vJoy";
    case JoystickRefusal::VJoyAcquireFailed:
        return "vJoy device 1 could not be taken over: restart Brelkin";
    }
    return "unknown joystick state";
}

}  // namespace brelkin
