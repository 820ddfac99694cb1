#include "device/VJoyOutput.h"

namespace brelkin {

namespace {

JoystickRefusal RefusalOf(VJoyLoadFailure failure)
{
    switch (failure) {
    case VJoyLoadFailure::None:
        return JoystickRefusal::None;
    case VJoyLoadFailure::NotInstalled:
        return JoystickRefusal::VJoyNotInstalled;
    case VJoyLoadFailure::NoLibrary:
        return JoystickRefusal::VJoyLibraryUnusable;
    case VJoyLoadFailure::MissingFunction:
        return JoystickRefusal::VJoyFunctionMissing;
    }
    return JoystickRefusal::VJoyLibraryUnusable;
}

// Checks the driver and the device and acquires it unless it is ours already.
JoystickRefusal Acquire(IVJoyFeeder& feeder)
{
    if (!feeder.VJoyEnabled())
        return JoystickRefusal::VJoyDriverDisabled;
    const VJoyDeviceStatus status = feeder.GetVJDStatus(VJoyDevice);
    if (status == VJoyDeviceStatus::Busy)
        return JoystickRefusal::VJoyDeviceBusy;
    if (status != VJoyDeviceStatus::Own && status != VJoyDeviceStatus::Free)
        return JoystickRefusal::VJoyDeviceMissing;
    // Asked before acquiring, so that a device we cannot use is not kept
    // from another program.
    if (feeder.GetVJDButtonNumber(VJoyDevice) < VJoyButton)
        return JoystickRefusal::VJoyDeviceWithoutButton;
    if (status == VJoyDeviceStatus::Free && !feeder.AcquireVJD(VJoyDevice))
        return JoystickRefusal::VJoyAcquireFailed;
    return JoystickRefusal::None;
}

}  // namespace

VJoyOutput::~VJoyOutput()
{
    Close();
}

JoystickRefusal VJoyOutput::Open()
{
    VJoyLoadResult loaded = m_library.LoadFeeder();
    if (!loaded.feeder)
        return RefusalOf(loaded.failure == VJoyLoadFailure::None ? VJoyLoadFailure::NoLibrary
                                                                 : loaded.failure);
    const JoystickRefusal refusal = Acquire(*loaded.feeder);
    // A refused library is unloaded at once: nothing of it is called again.
    if (refusal == JoystickRefusal::None)
        m_feeder = std::move(loaded.feeder);
    return refusal;
}

void VJoyOutput::Send(bool pressed)
{
    // Like the PPJoy request, a failed one is simply sent again next tick.
    if (m_feeder)
        m_feeder->SetBtn(pressed, VJoyDevice, VJoyButton);
}

void VJoyOutput::Close()
{
    if (!m_feeder)
        return;
    m_feeder->RelinquishVJD(VJoyDevice);
    m_feeder.reset();
}

}  // namespace brelkin
