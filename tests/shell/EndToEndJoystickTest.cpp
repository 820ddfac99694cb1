// Joystick mode with the vJoy stand-in and without any joystick driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/shell/EndToEndJoystickFixture.h"

namespace {

using namespace e2e;

TEST_F(EndToEndJoystick, WithoutPPJoyVJoyButtonOneFollowsTheCameraAndIsNeverLeftHeld) {
    VJoyStandIn stand;
    standin::VJoyStandInState* vjoy = stand.block;
    ASSERT_NE(vjoy, nullptr);
    ASSERT_TRUE(stand.registered);

    Process p;
    HWND frame = nullptr;
    ASSERT_TRUE(StartHoldingButtonOne(p, frame, vjoy));
    InterlockedExchange(&Bda().buttonPressed, 0);
    EXPECT_TRUE(WaitFor([&] { return vjoy->button1 == 0; }, 5000)) << "the release did not reach vJoy";

    // Held while the camera stops answering, then while a rescan finds none:
    // released each time, though the button stays down.
    InterlockedExchange(&Bda().buttonPressed, 1);
    ASSERT_TRUE(WaitFor([&] { return vjoy->button1 == 1; }, 5000));
    InterlockedExchange(&Bda().interfaceValid, 0);
    EXPECT_TRUE(WaitFor([&] { return vjoy->button1 == 0; }, 5000)) << "left held with the interface not valid";
    InterlockedExchange(&Bda().interfaceValid, 1);
    ASSERT_TRUE(WaitFor([&] { return vjoy->button1 == 1; }, 5000));
    InterlockedExchange(&Bda().openResult, 0);
    PostMessageW(frame, WM_COMMAND, 32775, 0);  // Rescan Camera
    EXPECT_TRUE(WaitFor([&] { return vjoy->button1 == 0; }, 5000)) << "left held after a rescan without a camera";
    InterlockedExchange(&Bda().openResult, 1);
    const LONG opened = Bda().calls.opened;
    PostMessageW(frame, WM_COMMAND, 32775, 0);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened > opened; }, 5000));
    InterlockedExchange(&Bda().buttonPressed, 0);

    // Held while a preset is chosen: released at once, though no tick writes it.
    InterlockedExchange(&Bda().buttonPressed, 1);
    ASSERT_TRUE(WaitFor([&] { return vjoy->button1 == 1; }, 5000));
    PostMessageW(frame, WM_COMMAND, 32782, 0);
    EXPECT_TRUE(WaitFor([&] { return vjoy->button1 == 0; }, 5000)) << "left held on leaving joystick mode";

    // Held at exit: released, then relinquished.
    PostMessageW(frame, WM_COMMAND, 32777, 0);
    ASSERT_TRUE(WaitFor([&] { return vjoy->button1 == 1; }, 5000));
    EXPECT_EQ(Exit(p, frame), 0u);
    InterlockedExchange(&Bda().buttonPressed, 0);
    EXPECT_EQ(vjoy->button1, 0);
    EXPECT_EQ(vjoy->ownerProcess, 0);
    EXPECT_EQ(vjoy->misuse, 0);
    const LONG last = std::min(LONG{vjoy->callCount}, standin::VJoyCallCapacity);
    ASSERT_GE(last, 2);
    EXPECT_EQ(vjoy->calls[last - 2], standin::CallSetBtnReleased);
    EXPECT_EQ(vjoy->calls[last - 1], standin::CallRelinquishVJD);
}

// Windows may end the process as soon as WM_ENDSESSION returns: by then the
// button is released, vJoy handed back and the exit line written.
TEST_F(EndToEndJoystick, AtLogoffTheHeldVJoyButtonIsReleasedBeforeTheProcessIsEnded) {
    VJoyStandIn stand;
    standin::VJoyStandInState* vjoy = stand.block;
    ASSERT_NE(vjoy, nullptr);
    ASSERT_TRUE(stand.registered);

    Process p;
    HWND frame = nullptr;
    ASSERT_TRUE(StartHoldingButtonOne(p, frame, vjoy));
    // A library hung in its call at logoff: its host cannot quit, and the
    // logoff does not wait for it.
    InterlockedExchange(&state->faultPressed, standin::FaultHangOnce);
    ASSERT_TRUE(WaitFor([&] { return state->faultsFired == 1; }, 3000));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    const ULONGLONG sent = GetTickCount64();
    ASSERT_TRUE(SendMessageTimeoutW(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    const ULONGLONG took = GetTickCount64() - sent;
    RecordProperty("end_session_ms", static_cast<int>(took));
    // The host gets 2 s to quit, in the background.
    EXPECT_LT(took, 1000u) << "the logoff waited on the camera host";
    // As the system does after the last WM_ENDSESSION has returned.
    TerminateProcess(p.pi.hProcess, 1);
    EXPECT_EQ(p.WaitExit(), 1u);
    EXPECT_EQ(vjoy->button1, 0) << "left held at logoff";
    EXPECT_EQ(vjoy->ownerProcess, 0) << "vJoy device 1 not handed back";
    const std::string log = SupportLog();
    EXPECT_NE(log.find("presses not answered while chords went out, at logoff"), std::string::npos) << log;
    InterlockedExchange(&Bda().buttonPressed, 0);
    standin::ReleaseHangs(*state);
}

TEST_F(EndToEndDevice, JoystickModeWithoutTheDeviceIsNotifiedAndBalloonsCanBeTurnedOff) {
    for (DWORD show : {1u, 0u}) {
        SCOPED_TRACE(show ? "balloons on" : "balloons off");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Morvane");
        StoreDword(L"ShowNotifications", show);
        Process p;
        HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitForLog("Joystick device \\\\.\\PPJoyIOCTL1: could not be opened")) << SupportLog();
        PostMessageW(frame, WM_COMMAND, 32777, 0);
        EXPECT_TRUE(WaitForLog(show ? "Notification: Joystick mode needs the PPJoy joystick driver"
                                    : "Notification (balloons off): Joystick mode needs")) << SupportLog();
        EXPECT_TRUE(WaitForLog("Mode: Joystick Button 1"));
        EXPECT_EQ(Exit(p, frame), 0u);
        EXPECT_EQ(StoredDword(L"ShowNotifications", 99), show) << "the setting was written";
    }
}

}  // namespace
