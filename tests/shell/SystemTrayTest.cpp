// The tray icon's record, tooltip, retry and restart behaviour and its mouse
// callbacks, with the shell calls recorded.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "shell/SystemTray.h"
#include "tests/shell/RecordingNotifyIcon.h"

extern CWinApp g_shellTestApp;

namespace brelkin {
namespace {

using test::RecordingNotifyIcon;

std::vector<UINT> g_commands;

class CommandFrame : public CFrameWnd {
public:
    void OnCommandAny(UINT id) { g_commands.push_back(id); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CommandFrame, CFrameWnd)
    ON_COMMAND_RANGE(1, 0xFFFF, OnCommandAny)
END_MESSAGE_MAP()


CWinApp& g_app = g_shellTestApp;

constexpr TrayAddRetry QuickRetry{300, 20};

HICON TrayIcon() {
    return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY));
}

TEST(SystemTray, CreateAddsTheRecordOnceWithTheStartTooltip) {
    RecordingNotifyIcon shell;
    {
        CSystemTray tray(shell, QuickRetry);
        ASSERT_TRUE(tray.Create(TrayIcon()));
        ASSERT_EQ(shell.calls.size(), 1u);
        const auto& add = shell.calls[0];
        EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(add.window, tray.m_hWnd);
        EXPECT_EQ(add.id, 130u);
        EXPECT_EQ(add.flags, 7u);
        EXPECT_EQ(add.callback, 1034u);
        EXPECT_NE(add.icon, nullptr);
        EXPECT_EQ(add.tip, L"Brelkin - Space");
        EXPECT_TRUE(tray.IsIconPresent());
        EXPECT_FALSE(IsWindowVisible(tray.m_hWnd));
        EXPECT_EQ(GetWindowLongW(tray.m_hWnd, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
        ASSERT_NE(tray.Popup(), nullptr);
        EXPECT_EQ(GetMenuItemCount(tray.Popup()), 10);
    }
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell.calls[1].flags, 0u);
}

TEST(SystemTray, TooltipIsCutAfter127Characters) {
    struct Row { const char* label; size_t length; size_t stored; };
    const Row rows[] = {{"short", 20, 20}, {"exactly the limit", 127, 127},
                        {"one over", 128, 127}, {"far over", 400, 127}};
    for (const Row& r : rows) {
        RecordingNotifyIcon shell;
        CSystemTray tray(shell, QuickRetry);
        ASSERT_TRUE(tray.Create(TrayIcon()));
        std::u16string text(r.length, u'x');
        text[0] = u'A';
        tray.SetTooltipText(text);
        const auto& modify = shell.calls.back();
        EXPECT_EQ(modify.message, static_cast<DWORD>(NIM_MODIFY)) << r.label;
        EXPECT_EQ(modify.flags, static_cast<UINT>(NIF_TIP)) << r.label;
        EXPECT_EQ(modify.tip.size(), r.stored) << r.label;
        EXPECT_EQ(modify.tip[0], L'A') << r.label;
    }
}

TEST(SystemTray, ARefusedAddIsRetriedUntilTheShellTakesIt) {
    RecordingNotifyIcon shell;
    shell.refuseAdds = 3;
    CSystemTray tray(shell, TrayAddRetry{5000, 10});
    EXPECT_TRUE(tray.Create(TrayIcon()));
    EXPECT_EQ(shell.calls.size(), 4u);
    EXPECT_TRUE(tray.IsIconPresent());
}

TEST(SystemTray, AddRefusedForTheWholeRetryTimeFailsAndDeletesNothing) {
    RecordingNotifyIcon shell;
    shell.refuseAdds = 1000000;
    {
        CSystemTray tray(shell, QuickRetry);
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(tray.Create(TrayIcon()));
        EXPECT_GE(GetTickCount64() - start, 250u);  // the retry time is a lower bound
        EXPECT_GT(shell.calls.size(), 2u);
        EXPECT_FALSE(tray.IsIconPresent());
        tray.SetTooltipText(u"Brelkin - F5");  // absent icon: no call
    }
    for (const auto& c : shell.calls) EXPECT_EQ(c.message, static_cast<DWORD>(NIM_ADD));
}

TEST(SystemTray, ShellRestartAddsTheIconAgainWithTheCurrentTooltip) {
    RecordingNotifyIcon shell;
    CSystemTray tray(shell, QuickRetry);
    ASSERT_TRUE(tray.Create(TrayIcon()));
    tray.SetTooltipText(u"Brelkin - F5");
    SendMessageW(tray.m_hWnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    const auto& add = shell.calls.back();
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.flags, 7u);
    EXPECT_EQ(add.tip, L"Brelkin - F5");
    EXPECT_TRUE(tray.IsIconPresent());

    // A shell that still holds the icon refuses the add; the icon stays present.
    shell.refuseAdds = 1;
    SendMessageW(tray.m_hWnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(tray.IsIconPresent());
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
}

struct TrayWithFrame : ::testing::Test {
    RecordingNotifyIcon shell;
    CSystemTray tray{shell, QuickRetry};
    CommandFrame* frame = new CommandFrame;
    void SetUp() override {
        g_commands.clear();
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        g_app.m_pMainWnd = frame;
        ASSERT_TRUE(tray.Create(TrayIcon()));
    }
    void TearDown() override {
        frame->DestroyWindow();  // deletes it
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
    LRESULT Callback(WPARAM id, UINT mouse) {
        return SendMessageW(tray.m_hWnd, 1034, id, mouse);
    }
};

TEST_F(TrayWithFrame, DoubleClickSendsTheDefaultItemsCommandAtOnce) {
    EXPECT_TRUE(tray.SetMenuDefaultItem(5, true));  // "&Rescan Camera" in the stored menu
    EXPECT_EQ(Callback(130, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(g_commands, std::vector<UINT>{ID_RESCAN_CAMERA});
    EXPECT_TRUE(tray.SetMenuDefaultItem(ID_APP_ABOUT, false));
    EXPECT_EQ(Callback(130, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(g_commands, (std::vector<UINT>{ID_RESCAN_CAMERA, ID_APP_ABOUT}));
}

TEST_F(TrayWithFrame, OtherIconsAndOtherMouseMessagesDoNothing) {
    struct Row { const char* label; WPARAM id; UINT mouse; LRESULT result; };
    const Row rows[] = {{"double click on another icon", 131, WM_LBUTTONDBLCLK, 0},
                        {"right up on another icon", 131, WM_RBUTTONUP, 0},
                        {"right button down", 130, WM_RBUTTONDOWN, 1},
                        {"left button up", 130, WM_LBUTTONUP, 1},
                        {"mouse move", 130, WM_MOUSEMOVE, 1}};
    for (const Row& r : rows) EXPECT_EQ(Callback(r.id, r.mouse), r.result) << r.label;
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(shell.calls.size(), 1u);  // only the add
}

TEST_F(TrayWithFrame, ABalloonIsAWarningThatWaitsForTheIconAndAClickOpensTheLog) {
    tray.ShowBalloon(u"First.");
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell.calls[1].flags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(tray.Record().dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_STREQ(tray.Record().szInfoTitle, L"Brelkin");

    // The shell restarts without its notification area: the balloon waits.
    shell.refuseAdds = 1;
    shell.refuseModify = true;
    SendMessageW(tray.m_hWnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_FALSE(tray.IsIconPresent());
    tray.ShowBalloon(u"Second.");
    EXPECT_EQ(tray.WaitingBalloons(), 1u);
    shell.refuseModify = false;
    SendMessageW(tray.m_hWnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(tray.WaitingBalloons(), 0u);
    EXPECT_EQ(shell.calls.back().flags, static_cast<UINT>(NIF_INFO));
    // The tooltip that follows does not show the balloon again.
    tray.SetTooltipText(u"Brelkin - F5");
    EXPECT_EQ(shell.calls.back().flags, static_cast<UINT>(NIF_TIP));
    EXPECT_EQ(tray.Record().szInfo[0], L'\0');

    EXPECT_EQ(Callback(130, NIN_BALLOONUSERCLICK), 1);
    EXPECT_EQ(g_commands, std::vector<UINT>{ID_SHOW_SUPPORT_LOG});
}

// One step of a balloon's life: a text to show, or a message to the tray
// window (the shell's callback, a timer, 0 for TaskbarCreated). Timers are
// sent here, not waited for; the real ones have their own case.
struct BalloonStep {
    const char16_t* text;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool kept = true;  // what ShowBalloon answers
};
BalloonStep ShellCallback(UINT mouse) { return {nullptr, 1034, 130, static_cast<LPARAM>(mouse)}; }
const BalloonStep Timeout = ShellCallback(NIN_BALLOONTIMEOUT), Hide = ShellCallback(NIN_BALLOONHIDE),
                  UserClick = ShellCallback(NIN_BALLOONUSERCLICK), MouseMove = ShellCallback(WM_MOUSEMOVE),
                  Retry{nullptr, WM_TIMER, BalloonRetryTimerId}, HoldOver{nullptr, WM_TIMER, BalloonHoldTimerId},
                  Restart{nullptr, 0};

TEST_F(TrayWithFrame, BalloonsShowOneAtATimeAndNoneIsLost) {
    std::vector<BalloonStep> nine{{u"On screen."}};
    std::vector<std::wstring> nineShown{L"On screen."};
    for (const char16_t* text : {u"W1.", u"W2.", u"W3.", u"W4.", u"W5.", u"W6.", u"W7.", u"W8."}) {
        nine.push_back({text});
        nineShown.emplace_back(text, text + 3);
    }
    nine.push_back({u"Ninth.", 0, 0, 0, false});
    nine.insert(nine.end(), 8, Timeout);
    struct Row {
        const char* label;
        int refuseModifies;
        std::vector<BalloonStep> steps;
        std::vector<std::wstring> shown;
        size_t waiting;
        bool onScreen;
    };
    const Row rows[] = {
        {"three in a row, each after the shell closed the one before", 0,
         {{u"A."}, {u"B."}, {u"C."}, Timeout, Hide, UserClick}, {L"A.", L"B.", L"C."}, 0, false},
        {"the second waits; other callbacks close nothing", 0,
         {{u"A."}, {u"B."}, MouseMove, ShellCallback(NIN_BALLOONSHOW)}, {L"A."}, 1, true},
        {"a failed modify is tried again on the next icon event", 1,
         {{u"A."}, {u"B."}, MouseMove, Timeout}, {L"A.", L"B."}, 0, true},
        {"a failed modify is tried again by the retry timer", 2,
         {{u"A."}, {u"B."}, Retry, Retry, Timeout}, {L"A.", L"B."}, 0, true},
        {"a modify failing for long keeps everything", 1000,
         {{u"A."}, {u"B."}, {u"C."}, Retry, MouseMove, Retry}, {}, 3, false},
        {"the hold time ends one the shell never closes", 0,
         {{u"A."}, {u"B."}, HoldOver, HoldOver}, {L"A.", L"B."}, 0, false},
        {"repeats of the text waiting or on screen fold into one", 0,
         {{u"A."}, {u"B."}, {u"B."}, {u"A."}, Timeout, Timeout, {u"A."}}, {L"A.", L"B.", L"A."}, 0, true},
        {"at most 8 wait; the ninth is refused and the 8 all show", 0, nine, nineShown, 0, true},
        {"a restarted shell lost the one on screen: the next shows", 0,
         {{u"A."}, {u"B."}, Restart}, {L"A.", L"B."}, 0, true},
    };
    for (const Row& r : rows) {
        RecordingNotifyIcon rowShell;
        CSystemTray rowTray(rowShell, QuickRetry);
        ASSERT_TRUE(rowTray.Create(TrayIcon())) << r.label;
        rowShell.refuseModifies = r.refuseModifies;
        for (const BalloonStep& step : r.steps) {
            if (step.text) {
                EXPECT_EQ(rowTray.ShowBalloon(step.text), step.kept) << r.label;
            }
            if (!step.text) {
                const UINT message = step.message ? step.message : RegisterWindowMessageW(L"TaskbarCreated");
                SendMessageW(rowTray.m_hWnd, message, step.wParam, step.lParam);
            }
        }
        EXPECT_EQ(rowShell.Balloons(), r.shown) << r.label;
        EXPECT_EQ(rowTray.WaitingBalloons(), r.waiting) << r.label;
        EXPECT_EQ(rowTray.IsBalloonOnScreen(), r.onScreen) << r.label;
    }
    EXPECT_EQ(g_commands, std::vector<UINT>{ID_SHOW_SUPPORT_LOG}) << "the one user click";
}

TEST_F(TrayWithFrame, TheRetryAndHoldTimersRunByThemselves) {
    CSystemTray timedTray(shell, QuickRetry, BalloonTiming{40, 120});
    ASSERT_TRUE(timedTray.Create(TrayIcon()));
    shell.refuseModifies = 1;
    timedTray.ShowBalloon(u"A.");
    timedTray.ShowBalloon(u"B.");
    for (const ULONGLONG start = GetTickCount64(); shell.Balloons().size() < 2 && GetTickCount64() - start < 5000;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
    EXPECT_EQ(shell.Balloons(), (std::vector<std::wstring>{L"A.", L"B."}));
}

TEST_F(TrayWithFrame, SettingTheStoredDefaultAgainSucceedsWithoutAMenu) {
    EXPECT_TRUE(tray.SetMenuDefaultItem(0, true));  // the initial value
}

}  // namespace
}  // namespace brelkin
