// The program with the camera stand-ins: rescans and teardown seen in the
// stand-ins' call counters, and a simulated button press turned into key
// chords in a focused window of this test.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/shell/EndToEndHarness.h"
#include "tools/CameraStandInState.h"

namespace {

using namespace e2e;
namespace standin = brelkin::standin;

std::vector<WPARAM> g_keyDowns;

LRESULT CALLBACK KeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        g_keyDowns.push_back(wParam);
        return 0;
    }
    if (message == WM_KEYUP || message == WM_SYSKEYUP) return 0;  // no menu loop for Alt
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < end);
}

class EndToEndDevice : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        state = standin::OpenStandInState(&standInMapping);
        ASSERT_NE(state, nullptr);
        standin::ResetStandInState(*state);
    }
    void TearDown() override {
        standin::CloseStandInState(state, standInMapping);
        EndToEnd::TearDown();
    }
    // Wine reports a version after 5.1, so the BDA library is the default.
    standin::ClassState& Bda() { return state->bda; }

    HANDLE standInMapping = nullptr;
    standin::StandInState* state = nullptr;
};

TEST_F(EndToEndDevice, DoubleClickRescansAndExitReleasesEverything) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; })) << "camera not opened";
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    PostMessageW(TrayWindow(), WM_USER + 10, 130, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 2; }, 5000));
    EXPECT_EQ(Bda().calls.closed, 1);
    EXPECT_EQ(Bda().calls.constructed, 2);
    EXPECT_EQ(Bda().calls.destroyed, 1);

    EXPECT_EQ(Exit(p, frame), 0u);
    EXPECT_EQ(Bda().calls.closed, 2);
    EXPECT_EQ(Bda().calls.destroyed, 2);
    EXPECT_EQ(state->wdm.calls.constructed, 0);
    EXPECT_EQ(Bda().calls.misuse + state->wdm.calls.misuse, 0);
    EXPECT_EQ(block->notify[block->notifyCount - 1].message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(EndToEndDevice, APressSendsTheCurrentPresetsChordsAndModeZeroStaysSilent) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = KeyWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BrelkinEndToEndKeys";
    RegisterClassW(&wc);
    HWND target = CreateWindowExW(0, wc.lpszClassName, L"Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                  300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(target, nullptr);

    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; }));

    const ULONGLONG end = GetTickCount64() + 5000;
    while ((GetForegroundWindow() != target || GetFocus() != target) && GetTickCount64() < end) {
        SetForegroundWindow(target);
        SetFocus(target);
        Pump(100);
    }
    ASSERT_EQ(GetFocus(), target) << "the test window did not get the focus";
    g_keyDowns.clear();

    // Row 0, one chord per tick while held: Alt+F, Alt+T, Alt+F, ...
    InterlockedExchange(&Bda().buttonPressed, 1);
    const ULONGLONG until = GetTickCount64() + 8000;
    while (g_keyDowns.size() < 4 && GetTickCount64() < until) Pump(50);
    InterlockedExchange(&Bda().buttonPressed, 0);
    Pump(600);
    ASSERT_GE(g_keyDowns.size(), 4u);
    EXPECT_EQ(std::vector<WPARAM>(g_keyDowns.begin(), g_keyDowns.begin() + 4),
              (std::vector<WPARAM>{VK_MENU, 'F', VK_MENU, 'T'}));

    PostMessageW(frame, WM_COMMAND, 32777, 0);  // joystick mode
    ASSERT_TRUE(WaitFor([] { return StoredDefaultKey() == L"Joystick Button 1"; }, 5000));
    g_keyDowns.clear();
    const LONG pressedBefore = Bda().calls.pressed;
    InterlockedExchange(&Bda().buttonPressed, 1);
    Pump(1500);
    InterlockedExchange(&Bda().buttonPressed, 0);
    EXPECT_GE(Bda().calls.pressed - pressedBefore, 2) << "the poll did not read the button";
    EXPECT_TRUE(g_keyDowns.empty());

    EXPECT_EQ(Exit(p, frame), 0u);
    DestroyWindow(target);
}

}  // namespace
