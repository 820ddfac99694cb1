#pragma once
// What the main frame drives on the camera, the joystick and the keyboard:
// the camera button source, the joystick output and one poll tick. The frame
// sees them through this seam so that it can be built and tested apart from
// the vendor libraries and drivers.
#include <cstdint>
#include <memory>

#include "device/CameraOpenCause.h"
#include "engine/DriverKind.h"
#include "device/JoystickStatus.h"
#include "engine/ActionPreset.h"
#include "engine/ButtonPoll.h"
#include "platform/Notifier.h"
#include "platform/SupportLog.h"

namespace brelkin {

class IFrameDevices {
public:
    virtual ~IFrameDevices() = default;

    // Where the devices report opens, closes and their problems.
    virtual void AttachSupport(ISupportLog& log, INotifier& notifier) = 0;

    virtual void OpenJoystickOutput() = 0;
    // Called on leaving joystick mode, so that no press stays held.
    virtual void ReleaseJoystickButton() = 0;
    virtual void CloseJoystickOutput(bool joystickMode) = 0;
    // Which driver joystick mode uses, or why there is none.
    virtual JoystickStatus JoystickOutputStatus() = 0;

    virtual void RegisterCameraArrival(uintptr_t window) = 0;
    virtual void ChooseDefaultDriverKind() = 0;
    virtual DriverKind& Kind() = 0;
    virtual void OpenCamera(DriverKind kind, CameraOpenCause cause) = 0;
    virtual void RescanCamera(CameraOpenCause cause) = 0;
    virtual intptr_t HandleDeviceChange(uintptr_t event, intptr_t data) = 0;
    // Closes the WDM object, then the BDA object, then ends the arrival registration.
    virtual void ReleaseCameraSource() = 0;

    // The PollPeriod setting, before the first tick.
    virtual void SetPollPeriod(uint32_t basePeriod) = 0;
    // One tick of the button poll over the selected camera object, with the
    // period the poll timer is to run at from now on in `nextPeriod`: the
    // setting, or longer while the camera's calls are slow. A press's chords
    // go out after it returns.
    virtual PollOutcome PollButton(TriggerState& state) = 0;
    // At exit, before anything is closed: the chord going out now is finished
    // and released, the rest dropped. Returns the number of chords of handed-
    // over presses that were never sent.
    virtual unsigned long StopSending() = 0;
    // What timer 1 runs at for a poll period: the period itself where the
    // timer polls; longer where readings arrive by themselves and the timer
    // only keeps watch.
    virtual uint32_t TimerPeriod(uint32_t pollPeriod) { return pollPeriod; }
};

// The real devices; `sequenceStep` is the frame's, which opening the camera resets.
std::unique_ptr<IFrameDevices> MakeWin32FrameDevices(SequenceStep& sequenceStep);
// The same with the camera library loaded into this process: the benchmarks'
// baseline only.
std::unique_ptr<IFrameDevices> MakeInProcessFrameDevices(SequenceStep& sequenceStep);

}  // namespace brelkin
