// What real vendor libraries do, in the camera host as in Brelkin's own
// process: one row for each behaviour the stand-ins can be switched to.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "tests/shell/EndToEndJoystickFixture.h"

namespace {

using namespace e2e;

TEST_F(EndToEndJoystick, WhatRealLibrariesDoIsAnsweredAsInBrelkinsOwnProcess) {
    VJoyStandIn stand;
    standin::VJoyStandInState* vjoy = stand.block;
    ASSERT_NE(vjoy, nullptr);
    ASSERT_TRUE(stand.registered);
    const std::string answered = "Camera open (BDA), start-up: the camera answered";
    struct Row {
        const char* label;
        // The switch, on before the start.
        volatile LONG standin::StandInState::*which;
        LONG on;
        // With the program started and the camera open (or opening).
        std::function<void(Process&, HWND)> check;
        bool joystick = false;
    };
    const Row rows[] = {
        {"a window procedure that blocks inside a message while the joystick button is held",
         &standin::StandInState::buttonByMessage, 1,
         [&](Process&, HWND) {
             // Once the button is held.
             InterlockedExchange(&state->blockInMessage, 1);
             ASSERT_TRUE(WaitFor([&] { return state->faultsFired == 1; }, 3000)) << "the message never blocked";
             EXPECT_TRUE(WaitFor([&] { return vjoy->button1 == 0; }, 5000)) << "the button stayed held";
             EXPECT_TRUE(WaitForLog("Camera library hung: BDADLL.dll, a window message of the camera library", 2000))
                 << SupportLog();
             standin::ReleaseHangs(*state);
             InterlockedExchange(&Bda().buttonPressed, 0);
         },
         true},
        {"a CloseInterface that takes 3 s", &standin::StandInState::closeMs, 3000,
         [&](Process&, HWND frame) {
             PostMessageW(frame, WM_COMMAND, 32775, 0);  // Rescan Camera
             EXPECT_TRUE(WaitForLog("Camera open (BDA), rescan asked by the user: the camera answered", 12000))
                 << SupportLog();
             EXPECT_EQ(Bda().calls.closed, 1);
             EXPECT_EQ(SupportLog().find("hung"), std::string::npos) << SupportLog();
         }},
        {"a message box shown from OpenInterface, answered after 20 s", &standin::StandInState::openMessageBox, 1,
         [&](Process&, HWND) {
             HWND box = nullptr;
             ASSERT_TRUE(WaitFor([&] { return (box = FindWindowW(L"#32770", standin::MessageBoxTitle)) != nullptr; },
                                 10000))
                 << "no message box";
             const ULONGLONG shown = GetTickCount64();
             WaitFor([&] { return SupportLog().find("Camera library hung") != std::string::npos; }, 20000);
             EXPECT_GE(GetTickCount64() - shown, 20000u) << "a fault while the box waited for the user: " << SupportLog();
             PostMessageW(box, WM_COMMAND, IDOK, 0);
             EXPECT_TRUE(WaitForLog(answered, 5000)) << SupportLog();
             EXPECT_EQ(Bda().calls.opened, 1) << "the host was restarted";
         }},
        {"a library that reads a file beside the program", &standin::StandInState::readBesideProgram, 1,
         [&](Process&, HWND) { EXPECT_GE(state->besideProgramFound, 1) << "not found in Brelkin's folder"; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        standin::ResetStandInState(*state);
        standin::ResetVJoyStandInState(*vjoy);
        state->*row.which = row.on;
        Process p;
        HWND frame = nullptr;
        if (row.joystick) {
            ASSERT_TRUE(StartHoldingButtonOne(p, frame, vjoy));
        } else {
            // The library's file beside Brelkin.exe, never beside the host elsewhere.
            const std::wstring exe = Install(L"Brelkin.exe");
            std::ofstream((TestDir() + L"\\" + standin::BesideProgramFile).c_str()) << "[camera]\n";
            frame = StartAndWaitForFrame(p, exe);
            ASSERT_NE(frame, nullptr);
            if (row.which != &standin::StandInState::openMessageBox) {
                ASSERT_TRUE(WaitForLog(answered)) << SupportLog();
            }
        }
        row.check(p, frame);
        standin::ReleaseHangs(*state);
        EXPECT_EQ(Exit(p, frame), 0u);
    }
}

}  // namespace
