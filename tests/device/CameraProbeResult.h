#pragma once
// The exit-code bits of CameraProbe.exe.

namespace brelkin::test {

constexpr int ProbeHeld = 0x01;             // the slot holds an object after the open
constexpr int ProbeValid = 0x02;            // IsInterfaceValid non-zero
constexpr int ProbePortClear = 0x04;        // GetPIO succeeded with bit 0 clear
constexpr int ProbePressed = 0x08;          // IsButtonPressed non-zero
constexpr int ProbeJoystickPressed = 0x10;  // PollButton in mode 0 reported the press
constexpr int ProbeKeysSent = 0x20;         // PollButton in a key mode sent a chord
constexpr int ProbeStepReset = 0x40;        // the open set the sequence step to 0

}  // namespace brelkin::test
