// Hours of the camera's life in a few seconds: ticks of the poll through the
// real library binding and the stand-in libraries while the camera comes and
// goes, fails and recovers, with arrival storms and driver switches. Nothing
// may be left behind: handles, window objects, library objects, open
// interfaces, COM initialisations.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "device/CameraButtonSource.h"
#include "device/win32/DeviceAccess.h"
#include "engine/ButtonPoll.h"
#include "tests/soak/HandleCount.h"
#include "tools/CameraStandInState.h"

namespace {

using namespace brelkin;
using standin::ClassState;
using standin::StandInState;

// Counts chords instead of injecting them: the soak is about the device
// side, and a key storm would disturb whatever has the focus.
class CountingInput final : public IKeyboardInput, public ISleeper {
public:
    uintptr_t GetMessageExtraInfo() override { return 0; }
    uint16_t ScanCode(uint16_t) override { return 0; }
    unsigned SendKeyEvent(const KeyEvent& event) override {
        if (!(event.flags & KeyEventKeyUp)) ++keyDowns;
        return 1;
    }
    void Sleep(uint32_t) override {}
    long keyDowns = 0;
};

enum Phase { Normal, Absent, InvalidInterface, PortBusy, OpenFails, Pressed, PhaseCount };
const char* const PhaseNames[] = {"normal", "absent", "invalid interface", "port bit 0", "open fails", "pressed"};

void ApplyPhase(ClassState& s, Phase phase) {
    s.cameraPresent = phase != Absent;
    s.openResult = phase == OpenFails ? 0 : 1;
    s.interfaceValid = phase != InvalidInterface;
    s.portValue = phase == PortBusy ? 0x81 : 0x80;  // other bits must not matter
    s.buttonPressed = phase == Pressed || phase == PortBusy || phase == InvalidInterface;
}

bool g_handlesFromList = false;

struct Counts {
    DWORD handles = 0;
    DWORD userObjects = 0;
    DWORD gdiObjects = 0;
};

Counts ProcessCounts() {
    // Wine's own short-lived worker threads come and go; let them end first.
    Sleep(300);
    Counts c;
    c.handles = soak::ProcessHandleCount(&g_handlesFromList);
    c.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    c.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return c;
}

// The test's model of the two slots: which opens must have failed, so that
// the stand-in's counters can be checked exactly.
struct SlotModel {
    bool held = false;
    long opens = 0;
    long failedOpens = 0;
};

class Soak {
public:
    Soak(StandInState& block, HWND window) : m_block(block), m_window(window) {}

    // Runs `ticks` ticks and returns a failure description, or "" when every
    // tick matched the model.
    std::string Run(long ticks) {
        TriggerState trigger;
        CountingInput input;
        ImmediatePressSender sender{input, input};
        std::unique_ptr<DeviceAccess> access = CreateDeviceAccess(trigger.sequenceStep);
        CameraButtonSource& camera = access->Camera();
        m_camera = &camera;
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&camera));
        access->Joystick().OpenJoystickOutput();
        camera.RegisterCameraArrival(reinterpret_cast<uintptr_t>(m_window));
        camera.Kind() = DriverWdm;
        Phase phase = Normal;
        Apply(phase);
        Open([&] { camera.OpenCamera(camera.Kind()); });

        trigger.triggerMode = 3;  // row 2, F5 on every press
        long expectedChords = 0;
        std::string fault;
        for (long i = 0; i < ticks && fault.empty(); ++i) {
            phase = static_cast<Phase>((i / 37) % PhaseCount);
            Apply(phase);
            if (i % 1000 == 500) trigger.triggerMode = trigger.triggerMode == 0 ? 3 : 0;
            if (i % 50 == 0) {
                // An arrival: half straight to the handler, half as the message.
                if ((i / 50) % 2 == 0) {
                    Open([&] { camera.HandleDeviceChange(DeviceArrivalEvent, 0); });
                } else {
                    Open([&] { SendMessageW(m_window, WM_DEVICECHANGE, DeviceArrivalEvent, 0); });
                }
                ++arrivals;
            }
            if (i % 50 == 25) {
                const long before = Opened(camera.Kind());
                SendMessageW(m_window, WM_DEVICECHANGE, 0x8004, 0);  // removal: ignored
                if (Opened(camera.Kind()) != before) fault = "a removal event re-opened the camera";
            }
            if (i % 500 == 499) {
                camera.Kind() = IsBda(camera.Kind()) ? DriverWdm : DriverBda;
                Open([&] { camera.RescanCamera(); });
                ++switches;
            }
            const SlotModel& model = Model(camera.Kind());
            if ((camera.Selected() != nullptr) != model.held) {
                fault = "tick " + std::to_string(i) + " (" + PhaseNames[phase] + "): the selected slot is " +
                        (model.held ? "empty but should be held" : "held but should be empty");
                break;
            }
            if (model.held && phase == Pressed && trigger.triggerMode != 0) ++expectedChords;
            // 400 ms a tick: every tick that finds the button down is a press.
            PollButton(trigger, camera.Selected(), uint64_t(i) * 400000, camera.Press(), access->Joystick(), sender);
            ++this->ticks;
        }
        if (fault.empty() && input.keyDowns != expectedChords)
            fault = "chords sent: " + std::to_string(input.keyDowns) + ", expected " + std::to_string(expectedChords);

        camera.ReleaseCameraSource();
        access->Joystick().CloseJoystickOutput(trigger.triggerMode == 0);
        if (fault.empty() && (camera.IsHeld(DriverWdm) || camera.IsHeld(DriverBda)))
            fault = "an object is still held after the release";
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        m_camera = nullptr;
        access.reset();
        return fault;
    }

    SlotModel wdm, bda;
    long ticks = 0, arrivals = 0, switches = 0;

private:
    SlotModel& Model(DriverKind kind) { return IsBda(kind) ? bda : wdm; }
    ClassState& Block(DriverKind kind) { return IsBda(kind) ? m_block.bda : m_block.wdm; }
    long Opened(DriverKind kind) { return Block(kind).calls.opened; }

    void Apply(Phase phase) {
        ApplyPhase(m_block.wdm, phase);
        ApplyPhase(m_block.bda, phase);
    }

    // Every way of opening goes through here, so that the model knows whether
    // this open must succeed.
    template <typename F>
    void Open(F&& action) {
        const DriverKind kind = m_camera->Kind();
        ClassState& s = Block(kind);
        const bool succeeds = s.cameraPresent && s.openResult != 0;
        action();
        SlotModel& model = Model(kind);
        ++model.opens;
        if (!succeeds) ++model.failedOpens;
        model.held = succeeds;
    }

    StandInState& m_block;
    HWND m_window;
    CameraButtonSource* m_camera = nullptr;
};

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE) {
        auto* camera = reinterpret_cast<CameraButtonSource*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (camera != nullptr) return camera->HandleDeviceChange(wParam, lParam);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeFrameWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BrelkinSoakFrame";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

void ExpectBalanced(const char* name, const ClassState& s, const SlotModel& model) {
    SCOPED_TRACE(name);
    EXPECT_EQ(s.calls.misuse, 0) << "calls on memory that the constructor did not set up";
    EXPECT_EQ(s.calls.opened, model.opens);
    EXPECT_EQ(s.calls.constructed, model.opens) << "one object per open";
    EXPECT_EQ(s.calls.destroyed, s.calls.constructed);
    // A failed open is destroyed without a close; every other one is closed.
    EXPECT_EQ(s.calls.closed, s.calls.opened - model.failedOpens);
}

TEST(Soak, TicksFaultsArrivalsAndSwitchesLeaveNothingBehind) {
    // The binding loads the libraries from this program's folder, where the
    // build copied the stand-ins.
    HANDLE mapping = nullptr;
    StandInState* block = standin::OpenStandInState(&mapping);
    ASSERT_NE(block, nullptr) << "cannot map the stand-in state block";
    HWND window = MakeFrameWindow();
    ASSERT_NE(window, nullptr);

    // One short round first: loading the libraries, COM's and the window
    // system's lazy set-up and the joystick open path allocate once per
    // process, which is not a leak.
    {
        Soak warmUp(*block, window);
        const std::string fault = warmUp.Run(10000);
        ASSERT_EQ(fault, "") << "in the warm-up round";
        ASSERT_GT(warmUp.wdm.opens - warmUp.wdm.failedOpens, 0)
            << "no open succeeded: are the stand-in libraries next to the test?";
    }
    {
        // GoogleTest's first trace on a thread starts a watcher thread for its
        // thread-local storage on Windows: a handle of the test's, made once.
        SCOPED_TRACE("warm-up");
    }
    const Counts before = ProcessCounts();
    standin::ResetStandInState(*block);

    Soak soak(*block, window);
    const std::string fault = soak.Run(10000);
    EXPECT_EQ(fault, "");
    EXPECT_EQ(soak.ticks, 10000);
    EXPECT_EQ(soak.arrivals, 200);
    EXPECT_EQ(soak.switches, 20);
    ExpectBalanced("CEM2800Prop", block->wdm, soak.wdm);
    ExpectBalanced("CBDA2800", block->bda, soak.bda);
    EXPECT_GT(block->wdm.calls.valid, 0);
    EXPECT_GT(block->bda.calls.valid, 0);

    const Counts after = ProcessCounts();
    ASSERT_GT(after.handles, 0u) << "no way to count this process's handles";
    if (g_handlesFromList)
        std::printf("GetProcessHandleCount reports 0 here (Wine): handles counted in the system handle list\n");
    std::printf("handles %lu -> %lu, USER objects %lu -> %lu, GDI objects %lu -> %lu\n", before.handles,
                after.handles, before.userObjects, after.userObjects, before.gdiObjects, after.gdiObjects);
    EXPECT_EQ(after.handles, before.handles);
    if (before.userObjects == 0 && after.userObjects == 0 && before.gdiObjects == 0 && after.gdiObjects == 0) {
        std::printf("GetGuiResources reports 0 USER and 0 GDI objects here (Wine); only handles are compared\n");
    } else {
        EXPECT_EQ(after.userObjects, before.userObjects);
        EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    }

    // Every CoInitialize of an open was matched: this thread holds no COM
    // initialisation any more, so a new one is the first (S_OK, not S_FALSE).
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(com, S_OK) << "COM is still initialised on this thread: an open was not balanced";
    if (SUCCEEDED(com)) CoUninitialize();

    DestroyWindow(window);
    standin::CloseStandInState(block, mapping);
}

}  // namespace
