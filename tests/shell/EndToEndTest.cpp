// Brelkin.exe (and its test build, which reports from inside the process)
// started for real, each start in its own process and folder with the camera
// stand-ins beside it and a clean registry key.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/ActionPreset.h"
#include "resources/resource.h"
#include "tests/shell/EndToEndHarness.h"

namespace {

using namespace e2e;

TEST_F(EndToEnd, ASecondStartEndsAtOnceWithZeroAndTheFirstKeepsRunning) {
    const std::wstring exe = Install(L"Brelkin.exe");
    Process first;
    HWND frame = StartAndWaitForFrame(first, exe);
    ASSERT_NE(frame, nullptr);
    {
        Process second;
        Start(second, exe);
        EXPECT_EQ(second.WaitExit(), 0u);
        EXPECT_EQ(FrameOf(second), nullptr);
    }
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(Exit(first, frame), 0u);

    Process third;
    HWND again = StartAndWaitForFrame(third, exe);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(third.Running());
    EXPECT_EQ(Exit(third, again), 0u);
}

TEST_F(EndToEnd, HiddenFrameAndTheTooltipOfRowZeroAfterAFirstStart) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(GetWindowLongW(frame, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(block->notify[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(block->notify[0].result);
    EXPECT_STREQ(block->notify[0].tip, L"Brelkin - Space");
    const auto& last = block->notify[block->notifyCount - 1];
    EXPECT_EQ(last.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_STREQ(last.tip, L"Brelkin - Alt+F,Alt+T");
    EXPECT_EQ(Exit(p, frame), 0u);
}

// The popup as a first start shows it: the modes, one a row of the preset table, after Joystick Button 1.
std::vector<std::pair<std::wstring, UINT>> ExpectedPopup() {
    std::vector<std::pair<std::wstring, UINT>> items{
        {L"&About Brelkin", ID_APP_ABOUT}, {L"", 0}, {L"&Joystick Button 1", ID_JOYSTICK_BUTTON1}};
    for (int row = 0; row < brelkin::CustomRow; ++row) {
        const char16_t* name = brelkin::preset_rows::Named[row].Name;
        items.emplace_back(std::wstring(name, name + std::char_traits<char16_t>::length(name)),
                           ID_PRESET_FIRST + row);
    }
    items.insert(items.end(), {{L"Custom Setting", ID_CUSTOM_SETTING}, {L"", 0},
                               {L"Camera S&tatus...", ID_CAMERA_STATUS}, {L"&Rescan Camera", ID_RESCAN_CAMERA},
                               {L"WDM/BDA &Setting", ID_DRIVER_SETTING}, {L"&Programs...", ID_PROGRAMS},
                               {L"Long and &Double Press...", ID_GESTURES},
                               {L"E&xit", ID_APP_EXIT}});
    return items;
}

// Where a mode's item is: after About, the separator and Joystick Button 1.
int ModePosition(int row) { return 3 + row; }

TEST_F(EndToEnd, ARightClickOpensThePopupWithAModeItemARow) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    ASSERT_TRUE(OpenPopup());
    EXPECT_TRUE(WaitFor([] { return FindWindowW(L"#32768", nullptr) != nullptr; }, 5000));
    const auto items = ExpectedPopup();
    const int count = static_cast<int>(items.size());
    ASSERT_EQ(block->menuCount, count);
    for (int i = 0; i < count; ++i) {
        const auto& item = block->menu[i];
        EXPECT_EQ(std::wstring(item.text), items[i].first) << "position " << i;
        EXPECT_EQ(item.id, items[i].second) << "position " << i;
        EXPECT_EQ((item.type & MFT_SEPARATOR) != 0, items[i].second == 0) << "position " << i;
        EXPECT_EQ((item.state & MFS_DEFAULT) != 0, items[i].second == ID_RESCAN_CAMERA) << "position " << i;
        const bool current = i == ModePosition(0);  // mode 1 after a first start
        EXPECT_EQ((item.state & MFS_CHECKED) != 0, current) << "position " << i;
        if (items[i].second) {
            EXPECT_EQ((item.state & MFS_GRAYED) != 0, current) << "position " << i;
        }
    }
    ClosePopup();
    EXPECT_TRUE(WaitFor([] { return FindWindowW(L"#32768", nullptr) == nullptr ||
                                    !IsWindowVisible(FindWindowW(L"#32768", nullptr)); }, 5000));
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEnd, ModeCommandsAreSavedAndMoveTheCheckMark) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    const struct { UINT id; const wchar_t* stored; int position; const wchar_t* tip; } rows[] = {
        {ID_PRESET_FIRST + 2, L"Kodak (F5)", ModePosition(2), L"Brelkin - F5"},
        {ID_JOYSTICK_BUTTON1, L"Joystick Button 1", 2, L"Brelkin - Joystick Button 1"},
        {ID_PRESET_FIRST + 10, L"Space", ModePosition(10), L"Brelkin - Space"},
    };
    for (const auto& r : rows) {
        PostMessageW(frame, WM_COMMAND, r.id, 0);
        EXPECT_TRUE(WaitFor([&] { return StoredDefaultKey() == r.stored; }, 5000)) << r.id;
        EXPECT_STREQ(block->notify[block->notifyCount - 1].tip, r.tip) << r.id;
        ASSERT_TRUE(OpenPopup());
        for (int i : {2, ModePosition(0), ModePosition(2), ModePosition(10)}) {
            const bool current = i == r.position;
            EXPECT_EQ((block->menu[i].state & MFS_CHECKED) != 0, current) << r.id << " position " << i;
            EXPECT_EQ((block->menu[i].state & MFS_GRAYED) != 0, current) << r.id << " position " << i;
        }
        ClosePopup();
    }
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEnd, ExitRemovesTheIconAndEndsWithZero) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    EXPECT_EQ(Exit(p, frame), 0u);
    const auto& last = block->notify[block->notifyCount - 1];
    EXPECT_EQ(last.message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(EndToEnd, AShellRestartBroadcastAddsTheIconAgain) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    // Wine's tray still holds the icon, so take it away as a shell restart would.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof gone;
    gone.hWnd = TrayWindow();
    gone.uID = 130;
    Shell_NotifyIconW(NIM_DELETE, &gone);
    const LONG before = block->notifyCount;
    DWORD_PTR result;
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &result);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount > before; }, 5000));
    const auto& add = block->notify[before];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(add.result);
    EXPECT_EQ(add.flags, 7u);
    EXPECT_STREQ(add.tip, L"Brelkin - Alt+F,Alt+T");
    EXPECT_EQ(Exit(p, frame), 0u);
}

struct FindBox {
    DWORD pid;
    HWND found = nullptr;
};
BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<FindBox*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (pid == f->pid && std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct EnvironmentVariable {
    const wchar_t* name;
    EnvironmentVariable(const wchar_t* n, const wchar_t* value) : name(n) { SetEnvironmentVariableW(n, value); }
    ~EnvironmentVariable() { SetEnvironmentVariableW(name, nullptr); }
};

TEST_F(EndToEnd, AShellThatComesLateGetsTheIconWithoutAnError) {
    EnvironmentVariable refuse(L"BRELKIN_PROBE_REFUSE_ADDS", L"5");
    EnvironmentVariable retry(L"BRELKIN_PROBE_TRAY_RETRY_MS", L"10000");
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 7; }));
    EXPECT_TRUE(block->notify[5].result);
    EXPECT_EQ(block->notify[6].message, static_cast<DWORD>(NIM_MODIFY));
    FindBox box{p.pi.dwProcessId};
    EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&box));
    EXPECT_EQ(box.found, nullptr);
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEnd, AnIconThatNeverGetsInShowsTrayIconErrorAndEnds) {
    EnvironmentVariable refuse(L"BRELKIN_PROBE_REFUSE_ADDS", L"1000000");
    EnvironmentVariable retry(L"BRELKIN_PROBE_TRAY_RETRY_MS", L"500");
    Process p;
    Start(p, Install(L"BrelkinProbe.exe"));
    FindBox box{p.pi.dwProcessId};
    ASSERT_TRUE(WaitFor([&] {
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&box));
        return box.found != nullptr;
    })) << "no message box";
    wchar_t caption[64] = {};
    GetWindowTextW(box.found, caption, 64);
    EXPECT_STREQ(caption, L"Brelkin");
    wchar_t text[64] = {};
    GetDlgItemTextW(box.found, 0xFFFF, text, 64);  // the message box's static text
    EXPECT_STREQ(text, L"Tray Icon Error");
    PostMessageW(box.found, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.WaitExit(), 0u);
    // Nothing after the tray step ran: only the language, which the box speaks,
    // was read, and no settings.
    EXPECT_TRUE(WaitForLog("Language: ")) << SupportLog();
    EXPECT_EQ(SupportLog().find("Settings:"), std::string::npos) << SupportLog();
    for (LONG i = 0; i < block->notifyCount; ++i) {
        EXPECT_EQ(block->notify[i].message, static_cast<DWORD>(NIM_ADD)) << "call " << i;
    }
}

}  // namespace
