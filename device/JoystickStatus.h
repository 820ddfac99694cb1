#pragma once
// Which driver carries joystick mode, and when none does, why vJoy was not
// used (PPJoy has only one way to fail: its device is not there).
namespace brelkin {

enum class JoystickBackEnd {
    None,
    PPJoy,
    VJoy,
};

enum class JoystickRefusal {
    None,
    VJoyNotInstalled,
    VJoyLibraryUnusable,
    VJoyFunctionMissing,
    VJoyDriverDisabled,
    VJoyDeviceMissing,
    VJoyDeviceBusy,
    VJoyDeviceWithoutButton,
    VJoyAcquireFailed,
};

struct JoystickStatus {
    JoystickBackEnd backEnd = JoystickBackEnd::None;
    JoystickRefusal refusal = JoystickRefusal::None;  // set only when backEnd is None
};

// Plain words for the cause and the next step, for the support log.
const char* DescribeJoystickRefusal(JoystickRefusal refusal);
// The same words for the user: the id of their text (engine/Texts.h).
unsigned JoystickRefusalTextId(JoystickRefusal refusal);

}  // namespace brelkin
