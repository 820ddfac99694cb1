#include "device/JoystickStatus.h"

#include "engine/Texts.h"

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

unsigned JoystickRefusalTextId(JoystickRefusal refusal) {
    switch (refusal) {
    case JoystickRefusal::None: return IDS_JOYSTICK_READY;
    case JoystickRefusal::VJoyNotInstalled: return IDS_JOYSTICK_NOT_INSTALLED;
    case JoystickRefusal::VJoyLibraryUnusable: return IDS_JOYSTICK_LIBRARY_UNUSABLE;
    case JoystickRefusal::VJoyFunctionMissing: return IDS_JOYSTICK_FUNCTION_MISSING;
    case JoystickRefusal::VJoyDriverDisabled: return IDS_JOYSTICK_DRIVER_DISABLED;
    case JoystickRefusal::VJoyDeviceMissing: return IDS_JOYSTICK_DEVICE_MISSING;
    case JoystickRefusal::VJoyDeviceBusy: return IDS_JOYSTICK_DEVICE_BUSY;
    case JoystickRefusal::VJoyDeviceWithoutButton: return IDS_JOYSTICK_NO_BUTTON;
    case JoystickRefusal::VJoyAcquireFailed: return IDS_JOYSTICK_ACQUIRE_FAILED;
    }
    return IDS_JOYSTICK_UNKNOWN_STATE;
}

}  // namespace brelkin
