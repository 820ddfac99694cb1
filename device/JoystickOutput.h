#pragma once
// Button 1 of the PPJoy virtual joystick: the whole controller state goes to
// its control device in one request per readable poll tick.
#include <cstdint>

#include "engine/CameraButton.h"
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

class JoystickOutput : public IJoystickButtonSink {
public:
    explicit JoystickOutput(IDeviceIo& deviceIo) : m_deviceIo(deviceIo) {}
    ~JoystickOutput() override;  // closes the device if still open
    JoystickOutput(const JoystickOutput&) = delete;
    JoystickOutput& operator=(const JoystickOutput&) = delete;

    void OpenJoystickOutput();
    void SendJoystickButton(bool pressed) override;
    void CloseJoystickOutput();

    const JoystickState& State() const { return m_state; }
    DeviceHandle Handle() const { return m_handle; }
    bool IsOpen() const;

private:
    IDeviceIo& m_deviceIo;
    JoystickState m_state{};
    DeviceHandle m_handle = NoDeviceHandle;
};

}  // namespace brelkin
