#include "device/JoystickOutput.h"

namespace brelkin {

JoystickOutput::~JoystickOutput()
{
    CloseJoystickOutput(false);
}

void JoystickOutput::OpenJoystickOutput()
{
    m_status = {};
    if (m_ppjoy.Open()) {
        m_status.backEnd = JoystickBackEnd::PPJoy;
        return;
    }
    m_status.refusal = m_vjoy.Open();
    if (m_status.refusal == JoystickRefusal::None)
        m_status.backEnd = JoystickBackEnd::VJoy;
}

void JoystickOutput::Send(bool pressed)
{
    m_lastToldPressed = pressed;
    if (m_status.backEnd == JoystickBackEnd::VJoy)
        m_vjoy.Send(pressed);
    else
        m_ppjoy.Send(pressed);  // without a driver only the record changes
}

void JoystickOutput::SendJoystickButton(bool pressed)
{
    Send(pressed);
}

void JoystickOutput::ReleaseIfHeld()
{
    if (m_lastToldPressed)
        Send(false);
}

void JoystickOutput::ReleaseJoystickButton()
{
    ReleaseIfHeld();
}

void JoystickOutput::CloseJoystickOutput(bool joystickMode)
{
    if (joystickMode || m_lastToldPressed)
        Send(false);
    // Both are safe to close when never opened or already closed.
    m_ppjoy.Close();
    m_vjoy.Close();
}

}  // namespace brelkin
