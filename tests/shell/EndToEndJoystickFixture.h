#pragma once
// The program in joystick mode with the vJoy stand-in, for the end-to-end
// tests of the joystick and of what real camera libraries do to it.
#include <windows.h>

#include "tests/shell/EndToEndDeviceFixture.h"
#include "tools/VJoyStandInState.h"

namespace e2e {

// The vJoy stand-in registered as installed, with a cleared state block; taken
// away again also after a failed assertion, so the other tests run without vJoy.
struct VJoyStandIn {
    HANDLE mapping = nullptr;
    standin::VJoyStandInState* block = standin::OpenVJoyStandInState(&mapping);
    bool registered = block != nullptr && (standin::ResetVJoyStandInState(*block),
                                           standin::RegisterVJoyStandIn(WinPath(BRELKIN_STANDIN_DIR) + L"\\vjoy"));
    ~VJoyStandIn() {
        standin::UnregisterVJoyStandIn();
        if (block != nullptr) standin::CloseSharedStateBlock(block, mapping);
    }
};

class EndToEndJoystick : public EndToEndDevice {
protected:
    // Brelkin started with vJoy device 1 acquired, in joystick mode, the
    // camera's button pressed and button 1 down.
    ::testing::AssertionResult StartHoldingButtonOne(Process& p, HWND& frame, standin::VJoyStandInState* vjoy) {
        frame = StartAndWaitForFrame(p, Install(L"Brelkin.exe"));
        if (frame == nullptr) return ::testing::AssertionFailure() << "no frame";
        if (!WaitFor([&] { return vjoy->ownerProcess == static_cast<LONG>(p.pi.dwProcessId); }))
            return ::testing::AssertionFailure() << "vJoy device 1 not acquired";
        PostMessageW(frame, WM_COMMAND, 32777, 0);  // joystick mode
        InterlockedExchange(&Bda().buttonPressed, 1);
        if (!WaitFor([&] { return vjoy->button1 == 1; }, 5000))
            return ::testing::AssertionFailure() << "the press did not reach vJoy";
        return ::testing::AssertionSuccess();
    }
};

}  // namespace e2e
