// The frame's devices with the camera library inside Brelkin's own process, as
// before the camera host: the camera button source and joystick output over the
// real Win32 bindings, polled on the frame's timer. Only the benchmarks'
// in-process baseline (BrelkinInProcess.exe) links it; Brelkin.exe never does.
#include "shell/FrameDevices.h"

#include "device/CameraArrival.h"
#include "device/win32/DeviceAccess.h"
#include "engine/PacedPoll.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32ForegroundProgram.h"
#include "platform/win32/Win32KeyboardInput.h"
#include "shell/ChordSenderThread.h"

namespace brelkin {
namespace {

class InProcessFrameDevices final : public IFrameDevices {
public:
    explicit InProcessFrameDevices(SequenceStep& sequenceStep)
        : m_access(CreateDeviceAccess(sequenceStep)) {}

    void AttachSupport(ISupportLog& log, INotifier& notifier) override {
        m_access->Camera().AttachSupport(log, notifier);
        m_sender.AttachLog(log);
    }
    void OpenJoystickOutput() override { m_access->Joystick().OpenJoystickOutput(); }
    void ReleaseJoystickButton() override { m_access->Joystick().ReleaseJoystickButton(); }
    void CloseJoystickOutput(bool joystickMode) override {
        m_access->Joystick().CloseJoystickOutput(joystickMode);
    }
    JoystickStatus JoystickOutputStatus() override { return m_access->Joystick().Status(); }
    void RegisterCameraArrival(uintptr_t window) override {
        m_access->Camera().RegisterCameraArrival(window);
    }
    void ChooseDefaultDriverKind() override { m_access->Camera().ChooseDefaultDriverKind(); }
    DriverKind& Kind() override { return m_access->Camera().Kind(); }
    void OpenCamera(DriverKind kind, CameraOpenCause cause) override {
        m_access->Camera().OpenCamera(kind, cause);
    }
    // Every path that closes the camera first releases a joystick button it left down.
    void RescanCamera(CameraOpenCause cause) override {
        m_access->Joystick().ReleaseIfHeld();
        m_access->Camera().RescanCamera(cause);
    }
    intptr_t HandleDeviceChange(uintptr_t event, intptr_t data) override {
        if (event == DeviceArrivalEvent) m_access->Joystick().ReleaseIfHeld();
        return m_access->Camera().HandleDeviceChange(event, data);
    }
    void ReleaseCameraSource() override {
        m_access->Joystick().ReleaseIfHeld();
        m_access->Camera().ReleaseCameraSource();
    }
    void SetPollPeriod(uint32_t basePeriod) override { m_poll.SetBasePeriod(basePeriod); }
    PollOutcome PollButton(TriggerState& state) override {
        CameraButtonSource& camera = m_access->Camera();
        return m_poll.Tick(state, camera.Selected(), camera.Press(), m_access->Joystick(), m_sender);
    }
    unsigned long StopSending() override { return m_sender.Stop(); }

private:
    std::unique_ptr<DeviceAccess> m_access;
    Win32KeyboardInput m_keyboard;
    Win32ForegroundProgram m_foreground;
    // Declared after what it uses: its thread ends before they go.
    ChordSenderThread m_sender{m_keyboard, m_keyboard, m_foreground};
    Win32Clock m_clock;
    PacedPoll m_poll{m_clock};
};

}  // namespace

std::unique_ptr<IFrameDevices> MakeInProcessFrameDevices(SequenceStep& sequenceStep) {
    return std::make_unique<InProcessFrameDevices>(sequenceStep);
}

}  // namespace brelkin
