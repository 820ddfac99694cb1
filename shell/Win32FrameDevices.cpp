// The frame's devices in the program: the camera through the camera host
// process and the joystick output over the real Win32 bindings, and the
// answer to each reading over real input injection.
#include "shell/FrameDevices.h"

#include "device/CameraHostSource.h"
#include "device/win32/DeviceAccess.h"
#include "device/win32/Win32CameraHostProcess.h"
#include "device/win32/Win32DevicePlatform.h"
#include "platform/win32/Win32KeyboardInput.h"

namespace brelkin {
namespace {

// The host's readings turned into input, as the in-process poll did on its
// tick, with what the ticks did added up for the frame.
class ReadingAnswer final : public IReadingAnswer {
public:
    ReadingAnswer(PressFilter& press, JoystickOutput& joystick, Win32KeyboardInput& keyboard)
        : m_press(press), m_joystick(joystick), m_keyboard(keyboard) {}

    void Begin(TriggerState& state) {
        m_state = &state;
        m_outcome = PollOutcome{};
    }
    PollOutcome Outcome() const { return m_outcome; }

    void Answer(ButtonReading reading, uint32_t period) override {
        if (m_state == nullptr) return;
        m_press.SetPeriod(period);
        const PollOutcome one = AnswerReading(*m_state, reading, m_press, m_joystick, m_keyboard, m_keyboard);
        m_outcome.pressed = m_outcome.pressed || one.pressed;
        m_outcome.chordsSent += one.chordsSent;
    }
    void CameraGone() override {
        m_press.Forget();
        // JOYSTICK RELEASE ON CAMERA LOSS: a host fault, a host that cannot
        // start, a close, a rescan, a driver switch and the exit all come
        // here. Joystick mode must not keep button 1 down for a camera that
        // went away; JoystickOutput's release of a held button belongs here.
        if (m_state != nullptr && m_state->triggerMode == 0) m_joystick.ReleaseJoystickButton();
    }

private:
    PressFilter& m_press;
    JoystickOutput& m_joystick;
    Win32KeyboardInput& m_keyboard;
    TriggerState* m_state = nullptr;
    PollOutcome m_outcome;
};

class Win32FrameDevices final : public IFrameDevices {
public:
    explicit Win32FrameDevices(SequenceStep& sequenceStep)
        : m_access(CreateDeviceAccess(sequenceStep)),
          m_camera(m_process, m_osVersion, m_notification, sequenceStep),
          m_answer(m_camera.Press(), m_access->Joystick(), m_keyboard) {
        m_camera.AttachAnswer(m_answer);
    }
    ~Win32FrameDevices() override { m_camera.ReleaseCameraSource(); }

    void AttachSupport(ISupportLog& log, INotifier& notifier) override { m_camera.AttachSupport(log, notifier); }
    void OpenJoystickOutput() override { m_access->Joystick().OpenJoystickOutput(); }
    void ReleaseJoystickButton() override { m_access->Joystick().ReleaseJoystickButton(); }
    void CloseJoystickOutput(bool joystickMode) override {
        m_access->Joystick().CloseJoystickOutput(joystickMode);
    }
    JoystickStatus JoystickOutputStatus() override { return m_access->Joystick().Status(); }
    void RegisterCameraArrival(uintptr_t window) override { m_camera.RegisterCameraArrival(window); }
    void ChooseDefaultDriverKind() override { m_camera.ChooseDefaultDriverKind(); }
    DriverKind& Kind() override { return m_camera.Kind(); }
    void OpenCamera(DriverKind kind, CameraOpenCause cause) override { m_camera.OpenCamera(kind, cause); }
    void RescanCamera(CameraOpenCause cause) override { m_camera.RescanCamera(cause); }
    intptr_t HandleDeviceChange(uintptr_t event, intptr_t data) override {
        return m_camera.HandleDeviceChange(event, data);
    }
    void ReleaseCameraSource() override { m_camera.ReleaseCameraSource(); }
    void SetPollPeriod(uint32_t basePeriod) override { m_camera.SetBasePeriod(basePeriod); }
    PollOutcome PollButton(TriggerState& state) override {
        m_answer.Begin(state);
        m_camera.Pump();
        PollOutcome outcome = m_answer.Outcome();
        outcome.nextPeriod = m_camera.Period();
        return outcome;
    }

private:
    std::unique_ptr<DeviceAccess> m_access;  // the joystick output; its camera source stays closed
    Win32OsVersion m_osVersion;
    Win32DeviceNotification m_notification;
    Win32CameraHostProcess m_process;
    Win32KeyboardInput m_keyboard;
    CameraHostSource m_camera;
    ReadingAnswer m_answer;
};

}  // namespace

std::unique_ptr<IFrameDevices> MakeWin32FrameDevices(SequenceStep& sequenceStep) {
    return std::make_unique<Win32FrameDevices>(sequenceStep);
}

}  // namespace brelkin
