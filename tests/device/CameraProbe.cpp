// Run by CameraBindingTest from a folder of its own: opens one class through
// the real binding, polls it once in joystick mode and once in a key mode,
// and releases it. The result goes out as the exit code, so the test sees
// what this process's application folder and current directory made of it.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "CameraProbeResult.h"
#include "device/win32/DeviceAccess.h"
#include "engine/ButtonPoll.h"

using namespace brelkin;
using namespace brelkin::test;

namespace {

struct RecordingSink : IJoystickButtonSink {
    int calls = 0;
    bool lastPressed = false;
    void SendJoystickButton(bool pressed) override { ++calls; lastPressed = pressed; }
    void ReleaseIfHeld() override {}
};

// Counts the key events instead of injecting them into whatever has the focus.
struct CountingKeyboard : IKeyboardInput, ISleeper {
    int events = 0;
    uintptr_t GetMessageExtraInfo() override { return 0; }
    uint16_t ScanCode(uint16_t) override { return 0; }
    unsigned SendKeyEvent(const KeyEvent&) override { ++events; return 1; }
    void Sleep(uint32_t) override {}
};

}  // namespace

int main(int argc, char** argv)
{
    const bool bda = argc > 1 && std::strcmp(argv[1], "bda") == 0;
    const DriverKind kind = bda ? DriverBda : DriverWdm;
    TriggerState trigger;
    trigger.sequenceStep = 2;
    int result = 0;
    {
        std::unique_ptr<DeviceAccess> access = CreateDeviceAccess(trigger.sequenceStep);
        CameraButtonSource& camera = access->Camera();
        camera.Kind() = kind;
        camera.OpenCamera(kind);
        if (trigger.sequenceStep == 0)
            result |= ProbeStepReset;
        if (ICameraButton* button = camera.Selected()) {
            result |= ProbeHeld;
            uint32_t port = 0xFFFFFFFF;
            if (button->IsInterfaceValid())
                result |= ProbeValid;
            if (button->GetPIO(&port) == 0 && (port & 1) == 0)
                result |= ProbePortClear;
            if (button->IsButtonPressed())
                result |= ProbePressed;

            RecordingSink sink;
            CountingKeyboard keyboard;
            ImmediatePressSender sender{keyboard, keyboard};
            trigger.triggerMode = 0;
            PollButton(trigger, camera.Selected(), 0, camera.Press(), sink, sender);
            if (sink.calls == 1 && sink.lastPressed)
                result |= ProbeJoystickPressed;
            trigger.triggerMode = 1;  // a one-by-one row: one chord per press
            PollButton(trigger, camera.Selected(), 1000000, camera.Press(), sink, sender);
            if (keyboard.events > 0)
                result |= ProbeKeysSent;
        }
        camera.ReleaseCameraSource();
    }
    std::printf("probe %s: 0x%x\n", bda ? "bda" : "wdm", result);
    return result;
}
