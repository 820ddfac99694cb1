#pragma once
// Button 1 of the PPJoy virtual joystick: the whole controller state goes to
// its control device in one request per send.
#include <cstdint>

#include "platform/DeviceIo.h"

namespace brelkin {

constexpr char16_t JoystickDeviceName[] = u"\\\\.\\PPJoyIOCTL1";
constexpr uint32_t JoystickSetStateCode = 0x220000;  // FILE_DEVICE_UNKNOWN, function 0, buffered
constexpr uint32_t JoystickSignature = 0x53544143;   // "CATS" in memory

#pragma pack(push, 1)
struct JoystickState {
    uint32_t signature;
    uint8_t analogCount;
    int32_t analog[8];
    uint8_t digitalCount;
    uint8_t digital[16];
};
#pragma pack(pop)
static_assert(sizeof(JoystickState) == 54, "the driver takes exactly 54 bytes");

class PPJoyOutput {
public:
    explicit PPJoyOutput(IDeviceIo& deviceIo) : m_deviceIo(deviceIo) {}
    ~PPJoyOutput();  // closes the device if still open
    PPJoyOutput(const PPJoyOutput&) = delete;
    PPJoyOutput& operator=(const PPJoyOutput&) = delete;

    // True when the control device opened: the driver is there.
    bool Open();
    void Send(bool pressed);
    void Close();

    const JoystickState& State() const { return m_state; }
    DeviceHandle Handle() const { return m_handle; }

private:
    IDeviceIo& m_deviceIo;
    JoystickState m_state{};
    DeviceHandle m_handle = NoDeviceHandle;
};

}  // namespace brelkin
