#include "device/JoystickOutput.h"

#include <cstring>

namespace brelkin {

namespace {

bool HandleIsOpen(DeviceHandle handle)
{
    return handle != NoDeviceHandle && handle != InvalidDeviceHandle;
}

}  // namespace

bool JoystickOutput::IsOpen() const
{
    return HandleIsOpen(m_handle);
}

JoystickOutput::~JoystickOutput()
{
    CloseJoystickOutput();
}

void JoystickOutput::OpenJoystickOutput()
{
    std::memset(&m_state, 0, sizeof m_state);
    m_state.signature = JoystickSignature;
    m_state.analogCount = 8;
    m_state.digitalCount = 16;
    // No error check: without the driver the handle is invalid, every
    // request is skipped, and the key modes carry on unaffected.
    m_handle = m_deviceIo.OpenDevice(JoystickDeviceName, DeviceGenericWrite, DeviceShareWrite,
                                     DeviceOpenExisting, 0);
}

void JoystickOutput::SendJoystickButton(bool pressed)
{
    m_state.digital[0] = pressed ? 1 : 0;
    // INVALID_HANDLE_VALUE is also the current-process pseudo-handle, so a
    // request on it would go to the wrong object; it could only fail anyway.
    if (!HandleIsOpen(m_handle))
        return;
    uint32_t bytesReturned = 0;
    // A failed request is retried by the next tick's request, so the result
    // is not looked at.
    m_deviceIo.ControlDevice(m_handle, JoystickSetStateCode, &m_state, sizeof m_state, nullptr, 0,
                               &bytesReturned);
}

void JoystickOutput::CloseJoystickOutput()
{
    if (HandleIsOpen(m_handle))
        m_deviceIo.CloseDevice(m_handle);
    m_handle = InvalidDeviceHandle;
}

}  // namespace brelkin
