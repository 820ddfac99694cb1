// Interim: the device bindings are not in this tree yet, so the frame runs
// with no camera and no joystick. Replaced by the real composition once they are.
#include "shell/FrameDevices.h"

#include "engine/ButtonPoll.h"
#include "platform/win32/Win32KeyboardInput.h"

namespace brelkin {
namespace {

class NoCameraDevices final : public IFrameDevices, private IJoystickButtonSink {
public:
    void OpenJoystickOutput() override {}
    void CloseJoystickOutput() override {}
    void RegisterCameraArrival(uintptr_t) override {}
    void ChooseDefaultDriverKind() override {}
    DriverKind& Kind() override { return m_kind; }
    void OpenCamera(DriverKind) override {}
    void RescanCamera() override {}
    intptr_t HandleDeviceChange(uintptr_t, intptr_t) override { return 0; }
    void ReleaseCameraSource() override {}
    void PollButton(TriggerState& state) override {
        brelkin::PollButton(state, nullptr, *this, m_keyboard, m_keyboard);
    }

private:
    void SendJoystickButton(bool) override {}
    DriverKind m_kind = DriverWdm;
    Win32KeyboardInput m_keyboard;
};

}  // namespace

std::unique_ptr<IFrameDevices> MakeWin32FrameDevices(SequenceStep&) {
    return std::make_unique<NoCameraDevices>();
}

}  // namespace brelkin
