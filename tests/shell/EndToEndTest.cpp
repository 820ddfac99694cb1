// Brelkin.exe (and its test build, which reports from inside the process)
// started for real, each start in its own process and folder with the camera
// stand-ins beside it and a clean registry key.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/shell/probe/ProbeBlock.h"

namespace {

using brelkin::probe::Block;

std::wstring WinPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

template <typename Pred>
bool WaitFor(Pred pred, DWORD milliseconds = 15000) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (!pred()) {
        if (GetTickCount64() > end) return false;
        Sleep(20);
    }
    return true;
}

struct Process {
    PROCESS_INFORMATION pi{};
    ~Process() {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD WaitExit(DWORD ms = 15000) {
        if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return 0xDEAD;
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
};

struct FindFrame {
    DWORD pid;
    HWND found = nullptr;
};
BOOL CALLBACK FindFrameProc(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<FindFrame*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (pid == f->pid && std::wstring(cls) == L"BrelkinFrame128") {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
HWND FrameOf(const Process& p) {
    FindFrame f{p.pi.dwProcessId};
    EnumWindows(FindFrameProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

std::wstring StoredDefaultKey() {
    wchar_t text[128] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", L"DefaultKey",
                     RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return L"<none>";
    return text;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Morvane");
        mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Block),
                                     brelkin::probe::BlockName);
        ASSERT_NE(mapping, nullptr);
        block = static_cast<Block*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_NE(block, nullptr);
        ZeroMemory(block, sizeof(Block));
    }
    void TearDown() override {
        UnmapViewOfFile(block);
        CloseHandle(mapping);
    }

    // A folder of its own for this test, with the program and the stand-ins.
    std::wstring Install(const wchar_t* exe) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::wstring dir = WinPath(BRELKIN_E2E_DIR) + L"\\" + std::wstring(info->name(), info->name() + strlen(info->name()));
        CreateDirectoryW(WinPath(BRELKIN_E2E_DIR).c_str(), nullptr);
        CreateDirectoryW(dir.c_str(), nullptr);
        const std::wstring exeName = exe;
        CopyFileW((WinPath(BRELKIN_BIN_DIR) + L"\\" + exeName).c_str(), (dir + L"\\" + exeName).c_str(), FALSE);
        for (const wchar_t* dll : {L"emDLL.dll", L"BDADLL.dll"}) {
            CopyFileW((WinPath(BRELKIN_STANDIN_DIR) + L"\\" + dll).c_str(), (dir + L"\\" + dll).c_str(), FALSE);
        }
        return dir + L"\\" + exeName;
    }

    void Start(Process& p, const std::wstring& exe) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe + L"\"";
        ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &si, &p.pi)) << "cannot start " << std::string(exe.begin(), exe.end());
    }
    HWND StartAndWaitForFrame(Process& p, const std::wstring& exe) {
        Start(p, exe);
        HWND frame = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (frame = FrameOf(p)) != nullptr; })) << "no frame window";
        // The frame exists before its creation has finished; the settings
        // load creates the registry key.
        WaitFor([&] {
            HKEY key;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", 0, KEY_READ, &key))
                return false;
            RegCloseKey(key);
            return true;
        });
        return frame;
    }
    DWORD Exit(Process& p, HWND frame) {
        PostMessageW(frame, WM_COMMAND, 57665, 0);
        return p.WaitExit();
    }

    HWND TrayWindow() { return reinterpret_cast<HWND>(block->trayWindow); }

    // Opens the tray popup as a right click does and waits for its items.
    bool OpenPopup() {
        const LONG before = block->menuSerial;
        PostMessageW(TrayWindow(), WM_USER + 10, 130, WM_RBUTTONUP);
        return WaitFor([&] { return block->menuSerial > before; });
    }
    void ClosePopup() {
        HWND probe = FindWindowW(brelkin::probe::WindowClass, nullptr);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(probe, brelkin::probe::EndMenuMessage, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }

    HANDLE mapping = nullptr;
    Block* block = nullptr;
};

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

TEST_F(EndToEnd, ARightClickOpensTheTwentyItemPopup) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    ASSERT_TRUE(OpenPopup());
    EXPECT_TRUE(WaitFor([] { return FindWindowW(L"#32768", nullptr) != nullptr; }, 5000));
    const struct { const wchar_t* text; UINT id; } items[20] = {
        {L"&About Brelkin", 57664}, {L"", 0}, {L"&Joystick Button 1", 32777},
        {L"Schick (Alt+F,Alt+T)", 32780}, {L"Schick (C,U)", 32781}, {L"Kodak (F5)", 32782},
        {L"SIDEXIS (Ctrl+Shift+V)", 32783}, {L"XDR (Ctrl+I)", 32784},
        {L"Dentrix image (Alt+C,Alt+S)", 32785}, {L"DEXIS (Space,T)", 32786}, {L"CADI (G)", 32787},
        {L"Vixwin (Alt+G,Space)", 32788}, {L"Alt+F,Alt+S", 32789}, {L"Space", 32790},
        {L"Enter", 32791}, {L"Custom Setting", 32779}, {L"", 0}, {L"&Rescan Camera", 32775},
        {L"WDM/BDA &Setting", 32794}, {L"E&xit", 57665}};
    ASSERT_EQ(block->menuCount, 20);
    for (int i = 0; i < 20; ++i) {
        const auto& item = block->menu[i];
        EXPECT_STREQ(item.text, items[i].text) << "position " << i;
        EXPECT_EQ(item.id, items[i].id) << "position " << i;
        EXPECT_EQ((item.type & MFT_SEPARATOR) != 0, items[i].id == 0) << "position " << i;
        EXPECT_EQ((item.state & MFS_DEFAULT) != 0, i == 17) << "position " << i;
        const bool current = i == 3;  // mode 1 after a first start
        EXPECT_EQ((item.state & MFS_CHECKED) != 0, current) << "position " << i;
        if (items[i].id) EXPECT_EQ((item.state & MFS_GRAYED) != 0, current) << "position " << i;
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
        {32782, L"Kodak (F5)", 5, L"Brelkin - F5"},
        {32777, L"Joystick Button 1", 2, L"Brelkin - Joystick Button 1"},
        {32790, L"Space", 13, L"Brelkin - Space"},
    };
    for (const auto& r : rows) {
        PostMessageW(frame, WM_COMMAND, r.id, 0);
        EXPECT_TRUE(WaitFor([&] { return StoredDefaultKey() == r.stored; }, 5000)) << r.id;
        EXPECT_STREQ(block->notify[block->notifyCount - 1].tip, r.tip) << r.id;
        ASSERT_TRUE(OpenPopup());
        for (int i : {2, 3, 5, 13}) {
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

}  // namespace
