#pragma once
// Where the poll reports the button in joystick mode.
namespace brelkin {

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
