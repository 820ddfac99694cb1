#pragma once
// The three calls that the button poll makes on the camera object of the
// selected driver kind.
#include <cstdint>

namespace brelkin {

class ICameraButton {
public:
    virtual ~ICameraButton() = default;
    virtual int32_t IsInterfaceValid() = 0;          // non-zero: usable now
    virtual int32_t GetPIO(uint32_t* pioValue) = 0;  // 0: success, value filled
    virtual int32_t IsButtonPressed() = 0;           // non-zero: pressed
};

// Where the poll reports the button in joystick mode.
class IJoystickButtonSink {
public:
    virtual ~IJoystickButtonSink() = default;
    virtual void SendJoystickButton(bool pressed) = 0;
    // The camera went away (closed, no object, interface not valid, host
    // failed): one released state if the button was last reported down,
    // nothing otherwise.
    virtual void ReleaseIfHeld() = 0;
};

}  // namespace brelkin
