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

}  // namespace brelkin
