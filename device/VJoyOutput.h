#pragma once
// Button 1 of vJoy device 1, through vJoy's feeder library: the device is
// acquired once at start-up and handed back at the end.
#include <memory>

#include "device/JoystickStatus.h"
#include "platform/VJoyFeeder.h"

namespace brelkin {

constexpr uint32_t VJoyDevice = 1;
constexpr uint8_t VJoyButton = 1;

class VJoyOutput {
public:
    explicit VJoyOutput(IVJoyLibrary& library) : m_library(library) {}
    ~VJoyOutput();  // relinquishes the device if still held
    VJoyOutput(const VJoyOutput&) = delete;
    VJoyOutput& operator=(const VJoyOutput&) = delete;

    // Loads the library and acquires the device; None when it is ours.
    JoystickRefusal Open();
    void Send(bool pressed);
    // Relinquishes the device and unloads the library.
    void Close();

private:
    IVJoyLibrary& m_library;
    std::unique_ptr<IVJoyFeeder> m_feeder;  // held only while the device is ours
};

}  // namespace brelkin
