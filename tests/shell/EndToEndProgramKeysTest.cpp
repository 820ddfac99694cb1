// The program's chords in the program in front: each listed program gets its
// rule's chord, each window of one program the chord of the rule its title
// matches, and an unlisted one nothing; a row of chords goes out beside the
// frame and stops when the focus moves; and every key message carries its
// key's scan code and extended bit.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/shell/EndToEndDeviceFixture.h"
#include "tests/shell/probe/KeyTargetBlock.h"

namespace {

using namespace e2e;

// The key target copied under a program file name, started, and in front. Its
// window's title is the name of its block, which `tag` ends.
struct KeyTarget {
    HANDLE mapping = nullptr;
    brelkin::probe::KeyTargetBlock* block = nullptr;
    Process process;

    bool Start(const std::wstring& folder, const wchar_t* fileName, const wchar_t* tag = L"") {
        const std::wstring name = std::wstring(L"BrelkinKeyTarget-") + fileName + tag;
        mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof(brelkin::probe::KeyTargetBlock), name.c_str());
        if (!mapping) return false;
        block = static_cast<brelkin::probe::KeyTargetBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        ZeroMemory(block, sizeof *block);
        const std::wstring exe = folder + L"\\" + fileName;
        CopyFileW((WinPath(BRELKIN_BIN_DIR) + std::wstring(L"\\BrelkinKeyTarget.exe")).c_str(), exe.c_str(), FALSE);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe + L"\" " + name;
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process.pi))
            return false;
        return WaitFor([&] { return block->focused != 0; }, 10000);
    }
    ~KeyTarget() {
        if (block) {
            InterlockedExchange(&block->quit, 1);
            process.WaitExit(5000);
            UnmapViewOfFile(block);
        }
        if (mapping) CloseHandle(mapping);
    }
};

void StoreRule(const wchar_t* program, const wchar_t* mode) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings\\Programs", program, REG_SZ, mode,
                    static_cast<DWORD>((wcslen(mode) + 1) * sizeof(wchar_t)));
}

TEST_F(EndToEndDevice, EachProgramGetsItsRulesChordAndAnUnlistedOneNothing) {
    StoreRule(L"imaging-one.exe", L"Kodak (F5)");
    StoreRule(L"IMAGING-TWO.EXE", L"CADI (G)");
    StoreRule(L"browser.exe|*imaging*", L"Kodak (F5)");
    StoreRule(L"browser.exe|* - Chart", L"CADI (G)");
    const DWORD on = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", L"OnlyListedPrograms", REG_DWORD,
                    &on, sizeof on);

    const std::wstring exe = Install(L"BrelkinProbe.exe");
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; }));

    const struct { const wchar_t* program; const wchar_t* title; LONG key; } rows[] = {
        {L"imaging-one.exe", L"", VK_F5}, {L"imaging-two.exe", L"", 'G'}, {L"chart.exe", L"", 0},
        {L"browser.exe", L" - Imaging", VK_F5}, {L"browser.exe", L" - Chart", 'G'}, {L"browser.exe", L" - Mail", 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.program, r.program + wcslen(r.program)) +
                     std::string(r.title, r.title + wcslen(r.title)));
        KeyTarget target;
        ASSERT_TRUE(target.Start(folder, r.program, r.title)) << "the key target did not start or get the focus";
        const LONG pressedBefore = Bda().calls.pressed;
        InterlockedExchange(&Bda().buttonPressed, 1);
        if (r.key) {
            EXPECT_TRUE(WaitFor([&] { return target.block->count >= 2; }, 8000));
        } else {
            WaitFor([&] { return Bda().calls.pressed - pressedBefore >= 3; }, 8000);
        }
        InterlockedExchange(&Bda().buttonPressed, 0);
        Sleep(600);
        EXPECT_GE(Bda().calls.pressed - pressedBefore, 2) << "the poll did not read the button";
        const std::vector<LONG> keys(target.block->keys, target.block->keys + target.block->count);
        if (r.key) {
            ASSERT_GE(keys.size(), 2u);
            EXPECT_EQ(keys, std::vector<LONG>(keys.size(), r.key));
        } else {
            EXPECT_TRUE(keys.empty()) << "an unlisted program got " << keys.size() << " keys";
        }
    }
    EXPECT_EQ(Exit(p, frame), 0u);
}


// A custom row of three chords with 2 s after each goes out beside the frame,
// which keeps answering; when another program comes to the front after the
// first chord, it gets none of the rest.
TEST_F(EndToEndDevice, ARowGoesOutWhileTheFrameAnswersAndStopsWhenTheFocusMoves) {
    const struct { const wchar_t* name; DWORD value; } values[] = {
        {L"Key1", 'A'}, {L"Key2", 'B'}, {L"Key3", 'C'}, {L"KeyEx1", 0}, {L"KeyEx2", 0}, {L"KeyEx3", 0},
        {L"OneByOne", 0}, {L"DelayTime", 2000}};
    for (const auto& v : values) StoreDword(v.name, v.value);
    const wchar_t custom[] = L"Custom Setting";
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", L"DefaultKey", REG_SZ, custom,
                    sizeof custom);

    const std::wstring exe = Install(L"BrelkinProbe.exe");
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; }));
    KeyTarget imaging;
    ASSERT_TRUE(imaging.Start(folder, L"imaging-one.exe")) << "the key target did not start or get the focus";

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    standin::SetTimedPress(*state, 10, 150);
    ASSERT_TRUE(WaitFor([&] { return imaging.block->count >= 1; }, 5000)) << "no chord arrived";
    // The row takes 6 s; the frame is asked every 50 ms meanwhile.
    double slowestMs = 0;
    const ULONGLONG until = GetTickCount64() + 9000;
    while (imaging.block->count < 3 && GetTickCount64() < until) {
        LARGE_INTEGER t0, t1;
        DWORD_PTR result = 0;
        QueryPerformanceCounter(&t0);
        const LRESULT answered = SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
        QueryPerformanceCounter(&t1);
        EXPECT_NE(answered, 0) << "the frame did not answer within 1 s";
        slowestMs = std::max(slowestMs, double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(frequency.QuadPart));
        Sleep(50);
    }
    EXPECT_LT(slowestMs, 200.0) << "the frame stopped answering while the row went out";
    EXPECT_EQ(std::vector<LONG>(imaging.block->keys, imaging.block->keys + imaging.block->count),
              (std::vector<LONG>{'A', 'B', 'C'}));

    // The delay after the last chord, then the second press.
    Sleep(2500);
    InterlockedExchange(&imaging.block->count, 0);
    standin::SetTimedPress(*state, 10, 150);
    ASSERT_TRUE(WaitFor([&] { return imaging.block->count >= 1; }, 5000)) << "the second press sent nothing";
    InterlockedExchange(&imaging.block->yield, 1);
    target = CreateKeyWindow();
    ASSERT_TRUE(Focus(target)) << "the test window did not get the focus";
    g_keyDowns.clear();
    Pump(5000);  // chords 2 and 3 would have come 2 and 4 s after the first
    EXPECT_TRUE(g_keyDowns.empty()) << g_keyDowns.size() << " key downs reached the window now in front";
    EXPECT_EQ(imaging.block->count, 1);

    // Exit during a row: after its first chord, without waiting out the delays.
    standin::SetTimedPress(*state, 10, 150);
    const ULONGLONG keyUntil = GetTickCount64() + 5000;
    while (g_keyDowns.empty() && GetTickCount64() < keyUntil) Pump(20);
    ASSERT_EQ(g_keyDowns, std::vector<WPARAM>{'A'});
    EXPECT_EQ(Exit(p, frame), 0u);
    Pump(3000);
    EXPECT_EQ(g_keyDowns, std::vector<WPARAM>{'A'}) << "a chord went out after Exit";
    EXPECT_EQ(GetAsyncKeyState('A') & 0x8000, 0) << "the chord's key was left down";
    const std::string log = SupportLog();
    EXPECT_NE(log.find(" came to the front after the press in imaging-one.exe; the rest of the press (2 chords) "
                       "is not sent"), std::string::npos) << log;
    EXPECT_NE(log.find("Exit: 3 presses, 0 long presses, 0 double presses, 5 chords sent, 0 presses not answered"),
              std::string::npos)
        << log;
}

// A remote-desktop client forwards the scan code, not the virtual key: each
// key message of a preset with modifiers and of a custom row of extended keys
// carries the scan code of the layout in front in lParam bits 16-23, and bit
// 24 exactly for the keys a real keyboard sends with the E0 prefix.
TEST_F(EndToEndDevice, EveryKeyMessageCarriesTheLayoutsScanCodeAndTheExtendedBitOfItsKey) {
    struct Key {
        UINT message;
        WPARAM vk;
        bool extended;
    };
    const struct {
        const wchar_t* mode;
        DWORD keys[3];
        std::vector<Key> messages;
    } rows[] = {
        {L"SIDEXIS (Ctrl+Shift+V)", {},
         {{WM_KEYDOWN, VK_SHIFT, false}, {WM_KEYDOWN, VK_CONTROL, false}, {WM_KEYDOWN, 'V', false},
          {WM_KEYUP, 'V', false}, {WM_KEYUP, VK_SHIFT, false}, {WM_KEYUP, VK_CONTROL, false}}},
        {L"Custom Setting", {VK_RIGHT, VK_DELETE, VK_HOME},
         {{WM_KEYDOWN, VK_RIGHT, true}, {WM_KEYUP, VK_RIGHT, true}, {WM_KEYDOWN, VK_DELETE, true},
          {WM_KEYUP, VK_DELETE, true}, {WM_KEYDOWN, VK_HOME, true}, {WM_KEYUP, VK_HOME, true}}},
    };
    const HKL layout = GetKeyboardLayout(0);
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.mode, r.mode + wcslen(r.mode)));
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", L"DefaultKey", REG_SZ, r.mode,
                        static_cast<DWORD>((wcslen(r.mode) + 1) * sizeof(wchar_t)));
        const struct { const wchar_t* name; DWORD value; } values[] = {
            {L"Key1", r.keys[0]}, {L"Key2", r.keys[1]}, {L"Key3", r.keys[2]}, {L"KeyEx1", 0}, {L"KeyEx2", 0},
            {L"KeyEx3", 0}, {L"OneByOne", 0}, {L"DelayTime", 100}};
        for (const auto& v : values) StoreDword(v.name, v.value);
        standin::ResetStandInState(*state);  // each run waits for its own open
        Process p;
        HWND frame = StartWithAFocusedKeyWindow(p);
        ASSERT_NE(frame, nullptr);
        g_keyMessages.clear();
        standin::SetTimedPress(*state, 10, 150);
        const ULONGLONG until = GetTickCount64() + 8000;
        while (g_keyMessages.size() < r.messages.size() && GetTickCount64() < until) Pump(50);
        Pump(500);  // a message too many still shows
        EXPECT_EQ(Exit(p, frame), 0u);
        DestroyWindow(target);
        target = nullptr;

        ASSERT_EQ(g_keyMessages.size(), r.messages.size());
        for (std::size_t i = 0; i < r.messages.size(); ++i) {
            const Key& want = r.messages[i];
            const KeyMessage& got = g_keyMessages[i];
            SCOPED_TRACE("message " + std::to_string(i) + ", vk " + std::to_string(want.vk));
            const UINT scan = MapVirtualKeyExW(static_cast<UINT>(want.vk), MAPVK_VK_TO_VSC, layout);
            ASSERT_NE(scan, 0u) << "the layout has no scan code for the key: nothing to check";
            EXPECT_EQ(got.message, want.message);
            EXPECT_EQ(got.vk, want.vk);
            EXPECT_EQ((got.lParam >> 16) & 0xFF, static_cast<LPARAM>(scan));
            EXPECT_EQ(((got.lParam >> 24) & 1) != 0, want.extended);
        }
    }
}

}  // namespace
