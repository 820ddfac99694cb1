// The framework's message maps, command routing, menu update pass and window
// life cycle, with real windows and menus (run under Wine here).
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/CmdUI.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"

namespace {

std::vector<std::string> g_log;

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp(L"FrameworkTest") {}
    void OnAppCommand() { g_log.push_back("app 200"); }
    int ExitInstance() override {
        g_log.push_back("ExitInstance");
        return CWinApp::ExitInstance();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(200, OnAppCommand)
END_MESSAGE_MAP()

TestApp g_app;

class BaseFrame : public CFrameWnd {
public:
    void OnBase() { g_log.push_back("base 100"); }
    void OnShadowed() { g_log.push_back("base 101"); }
    LRESULT OnUser(WPARAM w, LPARAM) { g_log.push_back("base user"); return 7; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BaseFrame, CFrameWnd)
    ON_COMMAND(100, OnBase)
    ON_COMMAND(101, OnShadowed)
    ON_MESSAGE(WM_USER, OnUser)
END_MESSAGE_MAP()

class DerivedFrame : public BaseFrame {
public:
    bool* deleted = nullptr;
    bool throwOnCreate = false;
    ~DerivedFrame() override {
        if (deleted) *deleted = true;
    }
    int OnCreate(CREATESTRUCTW* cs) {
        if (throwOnCreate) throw std::runtime_error("creation fails");
        return CFrameWnd::OnCreate(cs);
    }
    void OnShadowed() { g_log.push_back("derived 101"); }
    void OnRange(UINT id) { g_log.push_back("range " + std::to_string(id)); }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); ui->Enable(false); }
    void OnUpdateCheckOnly(CCmdUI* ui) { ui->SetCheck(1); }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler fails"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DerivedFrame, BaseFrame)
    ON_WM_CREATE()
    ON_COMMAND(101, OnShadowed)
    ON_COMMAND_RANGE(110, 112, OnRange)
    ON_UPDATE_COMMAND_UI(110, OnUpdateChecked)
    ON_UPDATE_COMMAND_UI(111, OnUpdateCheckOnly)
    ON_MESSAGE(WM_USER + 1, OnThrow)
END_MESSAGE_MAP()

// Frames delete themselves when their window goes; the flag says it happened.
struct FrameFixture : ::testing::Test {
    bool deleted = false;
    DerivedFrame* frame = nullptr;
    void SetUp() override {
        g_log.clear();
        frame = new DerivedFrame;
        frame->deleted = &deleted;
    }
    void TearDown() override {
        if (!deleted) {
            if (frame->m_hWnd) frame->DestroyWindow();
            else delete frame;
        }
        g_app.m_pMainWnd = nullptr;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
};

TEST_F(FrameFixture, CommandsResolveThroughTheChainThenTheApplication) {
    ASSERT_TRUE(frame->LoadFrame(128, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    for (WPARAM id : {100, 101, 111, 200, 300}) frame->SendMessage(WM_COMMAND, id, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"base 100", "derived 101", "range 111", "app 200"}));
    EXPECT_EQ(frame->SendMessage(WM_USER), 7);
    EXPECT_FALSE(frame->IsWindowVisible());
}

TEST_F(FrameFixture, UpdatePassFollowsHandlersAndUpdateRequests) {
    ASSERT_TRUE(frame->LoadFrame(128));
    HMENU popup = CreatePopupMenu();
    struct Row { const char* label; UINT id; bool checked; bool grayed; };
    const Row rows[] = {
        {"update handler: checked and disabled", 110, true, true},
        {"update handler that only checks: enabled by its command", 111, true, false},
        {"command handler, no update handler: enabled", 100, false, false},
        {"application's command: enabled", 200, false, false},
        {"no handler anywhere: disabled", 300, false, true},
    };
    for (const Row& r : rows) AppendMenuW(popup, MF_STRING | MF_GRAYED, r.id, L"item");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    for (UINT i = 0; i < std::size(rows); ++i) {
        const UINT state = GetMenuState(popup, i, MF_BYPOSITION);
        EXPECT_EQ((state & MF_CHECKED) != 0, rows[i].checked) << rows[i].label;
        EXPECT_EQ((state & MF_GRAYED) != 0, rows[i].grayed) << rows[i].label;
    }
    DestroyMenu(popup);
}

TEST_F(FrameFixture, AnExceptionInAHandlerStaysInsideTheWindowProcedure) {
    ASSERT_TRUE(frame->LoadFrame(128));
    EXPECT_EQ(frame->SendMessage(WM_USER + 1), 0);
    EXPECT_NE(frame->m_hWnd, nullptr);
}

TEST_F(FrameFixture, AThrowingCreationFailsAndTheFrameDeletesItself) {
    frame->throwOnCreate = true;
    EXPECT_FALSE(frame->LoadFrame(128));
    EXPECT_TRUE(deleted);
}

TEST_F(FrameFixture, ClosingTheMainFrameDestroysItAndPostsQuit) {
    ASSERT_TRUE(frame->LoadFrame(128));
    g_app.m_pMainWnd = frame;
    frame->SendMessage(WM_COMMAND, IdAppExit, 0);  // the application's exit command
    EXPECT_TRUE(deleted);
    EXPECT_EQ(g_app.m_pMainWnd, nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(FrameFixture, EndOfSessionRunsExitInstanceOnlyForTheMainFrame) {
    ASSERT_TRUE(frame->LoadFrame(128));
    EXPECT_EQ(frame->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    frame->SendMessage(WM_ENDSESSION, FALSE, 0);  // log-off cancelled
    EXPECT_TRUE(g_log.empty());
    frame->SendMessage(WM_ENDSESSION, TRUE, 0);  // not the main window yet
    EXPECT_TRUE(g_log.empty());
    g_app.m_pMainWnd = frame;
    frame->SendMessage(WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(g_log, std::vector<std::string>{"ExitInstance"});
    EXPECT_FALSE(deleted);  // the system ends the process; nothing is destroyed
    // Where the process lives on, the end of its loop does not run it again.
    g_app.EndInstance();
    EXPECT_EQ(g_log, std::vector<std::string>{"ExitInstance"});
}

TEST_F(FrameFixture, ClosingAnotherFrameLeavesTheLoopRunning) {
    ASSERT_TRUE(frame->LoadFrame(128));
    frame->SendMessage(WM_CLOSE);
    EXPECT_TRUE(deleted);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
