// The frame's devices in the program: the camera through the camera host
// process and the joystick output over the real Win32 bindings, and the
// answer to each reading over real input injection.
#include "shell/FrameDevices.h"

#include <string>
#include <vector>

#include "device/CameraHostSource.h"
#include "device/win32/Win32CameraHostProcess.h"
#include "device/win32/Win32DevicePlatform.h"
#include "device/win32/Win32JoystickOutput.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32ForegroundProgram.h"
#include "platform/win32/Win32KeyboardInput.h"
#include "shell/ChordSenderThread.h"

namespace brelkin {
namespace {

// Between the poll and the sender: keeps the last press's chords for the
// Camera Status window, and on trial keeps them from going out at all.
class TrialSender final : public IPressSender {
public:
    explicit TrialSender(IPressSender& sender) : m_sender(sender) {}
    bool trial = false;
    PressChords last;

    bool Sending() override { return !trial && m_sender.Sending(); }
    void Send(const PressChords& press) override {
        last = press;
        if (!trial) m_sender.Send(press);
    }

private:
    IPressSender& m_sender;
};

std::u16string FileVersion(const std::u16string& path) {
    const auto* name = reinterpret_cast<const wchar_t*>(path.c_str());
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(name, &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoW(name, 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
        length < sizeof *fixed || fixed->dwSignature != 0xFEEF04BD)
        return {};
    const std::string text = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                             std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                             std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                             std::to_string(LOWORD(fixed->dwFileVersionLS));
    return std::u16string(text.begin(), text.end());
}

// The host's readings turned into input, as the in-process poll did on its
// tick, with what the ticks did added up for the frame. A press's chords go
// to the sender; the reading's time is when the frame takes it.
class ReadingAnswer final : public IReadingAnswer {
public:
    ReadingAnswer(PressFilter& press, JoystickOutput& joystick, IPressSender& sender)
        : m_press(press), m_joystick(joystick), m_sender(sender) {}

    TrialSender& Trial() { return m_sender; }
    void SetTrial(bool trial) {
        // A button held down for the imaging program is let go before the
        // presses stop reaching it.
        if (trial && !m_sender.trial) m_joystick.ReleaseIfHeld();
        m_sender.trial = trial;
    }

    void Begin(TriggerState& state) {
        m_state = &state;
        m_outcome = PollOutcome{};
    }
    PollOutcome Outcome() const { return m_outcome; }

    void Answer(ButtonReading reading, uint32_t period) override {
        if (m_state == nullptr) return;
        m_press.SetPeriod(period);
        const uint64_t now = m_clock.NowMicroseconds();
        const PollOutcome one = m_sender.trial ? AnswerTriedReading(*m_state, reading, now, m_press, m_sender)
                                               : AnswerReading(*m_state, reading, now, m_press, m_joystick, m_sender);
        m_outcome.pressed = m_outcome.pressed || one.pressed;
        m_outcome.chordsSent += one.chordsSent;
        m_outcome.unanswered = m_outcome.unanswered || one.unanswered;
        if (one.gesture != Gesture::None) m_outcome.gesture = one.gesture;
    }
    // A host fault, a host that cannot start, a close, a rescan, a driver
    // switch and the exit all come here: a joystick button last reported
    // down for the camera that went away is released, once.
    void CameraGone() override {
        if (m_state != nullptr)
            ForgetCamera(*m_state, m_press);
        else
            m_press.Forget();
        m_joystick.ReleaseIfHeld();
    }

private:
    PressFilter& m_press;
    JoystickOutput& m_joystick;
    TrialSender m_sender;
    Win32Clock m_clock;
    TriggerState* m_state = nullptr;
    PollOutcome m_outcome;
};

class Win32FrameDevices final : public IFrameDevices {
public:
    explicit Win32FrameDevices(SequenceStep& sequenceStep)
        : m_camera(m_process, m_osVersion, m_notification, sequenceStep),
          m_answer(m_camera.Press(), m_joystick.Output(), m_sender) {
        m_camera.AttachAnswer(m_answer);
    }
    ~Win32FrameDevices() override { m_camera.ReleaseCameraSource(); }

    void AttachSupport(ISupportLog& log, INotifier& notifier) override {
        m_camera.AttachSupport(log, notifier);
        m_sender.AttachLog(log);
    }
    void OpenJoystickOutput() override { m_joystick.Output().OpenJoystickOutput(); }
    void ReleaseJoystickButton() override { m_joystick.Output().ReleaseJoystickButton(); }
    void CloseJoystickOutput(bool joystickMode) override { m_joystick.Output().CloseJoystickOutput(joystickMode); }
    JoystickStatus JoystickOutputStatus() override { return m_joystick.Output().Status(); }
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
    // The host's readings wake the frame; the timer watches for faults and
    // restarts, which go by seconds.
    uint32_t TimerPeriod(uint32_t) override { return 250; }
    PollOutcome PollButton(TriggerState& state) override {
        // A press being judged needs the ticks that find the button up: the
        // wait for a second press ends on one of them. Asked again after the
        // readings, which may have started or ended one.
        m_camera.SetEveryTick(state.triggerMode == 0 || state.gestures.Judging());
        m_answer.Begin(state);
        m_camera.Pump();
        m_camera.SetEveryTick(state.triggerMode == 0 || state.gestures.Judging());
        PollOutcome outcome = m_answer.Outcome();
        outcome.nextPeriod = m_camera.Period();
        return outcome;
    }
    unsigned long StopSending() override { return m_sender.Stop(); }

    void SetTrial(bool trial) override { m_answer.SetTrial(trial); }
    PressChords LastPressChords() override { return m_answer.Trial().last; }
    unsigned long DroppedPresses() override { return m_sender.Dropped(); }
    CameraStatus CameraStatusNow() override { return m_camera.Status(); }
    std::u16string LibraryVersion(const std::u16string& path) override {
        // Read once per library, not on every update of the window.
        if (path != m_versionPath) {
            m_versionPath = path;
            m_version = path.empty() ? std::u16string() : FileVersion(path);
        }
        return m_version;
    }

private:
    Win32JoystickOutput m_joystick;
    Win32OsVersion m_osVersion;
    Win32DeviceNotification m_notification;
    Win32CameraHostProcess m_process;
    Win32KeyboardInput m_keyboard;
    Win32ForegroundProgram m_foreground;
    // Declared after what it uses: its thread ends before they go.
    ChordSenderThread m_sender{m_keyboard, m_keyboard, m_foreground};
    CameraHostSource m_camera;
    ReadingAnswer m_answer;
    std::u16string m_versionPath;
    std::u16string m_version;
};

}  // namespace

std::unique_ptr<IFrameDevices> MakeWin32FrameDevices(SequenceStep& sequenceStep) {
    return std::make_unique<Win32FrameDevices>(sequenceStep);
}

}  // namespace brelkin
