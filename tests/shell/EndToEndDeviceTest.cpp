// The program with the camera stand-ins: rescans and teardown seen in the
// stand-ins' call counters, a simulated button press turned into key chords
// in a focused window of this test, the driver choice, and what the program
// tells the user about the camera, read back from its support log.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/shell/EndToEndDeviceFixture.h"

namespace {

using namespace e2e;

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
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
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
}

TEST_F(EndToEndDevice, AShortPressIsAnsweredOnceAtTheDefaultPeriod) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);

    // Shorter than the old 400 ms poll, which missed such a press more often
    // than not; the 50 ms poll reads it down on two or three ticks and
    // answers it once.
    for (int press = 0; press < 3; ++press) {
        g_keyDowns.clear();
        standin::SetTimedPress(*state, 10, 150);
        Pump(900);
        EXPECT_EQ(g_keyDowns, (press % 2 == 0 ? std::vector<WPARAM>{VK_MENU, 'F'}
                                              : std::vector<WPARAM>{VK_MENU, 'T'}))
            << "press " << press + 1;
    }
    EXPECT_EQ(Exit(p, frame), 0u);
}

// Held past the long-press time: the long press's chord once, no repeat while
// held, nothing at the release. Two short presses close together: the double
// press's chord once, and no single press after them. A program's own
// long-press rule wins over the long press's mode.
TEST_F(EndToEndDevice, ALongAndADoublePressEachSendTheirModesChordOnce) {
    for (const auto& [name, mode] : {std::pair{L"LongPressKey", L"Kodak (F5)"}, std::pair{L"DoublePressKey", L"Enter"}})
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", name, REG_SZ, mode,
                        static_cast<DWORD>((wcslen(mode) + 1) * sizeof(wchar_t)));
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);

    g_keyDowns.clear();
    standin::SetTimedPress(*state, 10, 1300);
    Pump(2300);
    EXPECT_EQ(g_keyDowns, std::vector<WPARAM>{VK_F5});

    g_keyDowns.clear();
    standin::SetTimedPress(*state, 10, 120);
    Pump(250);
    standin::SetTimedPress(*state, 10, 120);
    Pump(1300);
    EXPECT_EQ(g_keyDowns, std::vector<WPARAM>{VK_RETURN});

    // This program's own long-press rule, read again at a policy refresh, wins over the long press's mode.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const wchar_t* name = wcsrchr(self, L'\\') ? wcsrchr(self, L'\\') + 1 : self;
    const wchar_t rule[] = L"XDR (Ctrl+I)";
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings\\Programs\\LongPress", name,
                    REG_SZ, rule, sizeof rule);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(frame, WM_SETTINGCHANGE, 1, reinterpret_cast<LPARAM>(L"Policy"), SMTO_ABORTIFHUNG, 5000,
                        &result);
    g_keyDowns.clear();
    standin::SetTimedPress(*state, 10, 1300);
    Pump(2300);
    EXPECT_EQ(g_keyDowns, (std::vector<WPARAM>{VK_CONTROL, 'I'}));

    EXPECT_EQ(Exit(p, frame), 0u);
    EXPECT_TRUE(SupportLog().find("Exit: 0 presses, 2 long presses, 1 double presses") != std::string::npos)
        << SupportLog();
}

// The settings dialogs of the real program, driven from outside its process.
DWORD StoredValueCount() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", 0, KEY_READ, &key))
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return count;
}

HWND OpenDialog(HWND frame, WPARAM command, const wchar_t* caption) {
    PostMessageW(frame, WM_COMMAND, command, 0);
    HWND dialog = nullptr;
    // The dialog exists, and FindWindow finds it, before WM_INITDIALOG has set
    // its controls; the dialog manager shows it only after that.
    WaitFor([&] { return (dialog = FindWindowW(L"#32770", caption)) != nullptr && IsWindowVisible(dialog); },
            10000);
    return dialog;
}

void Click(HWND dialog, int id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

bool Checked(HWND dialog, int id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return result == BST_CHECKED;
}

TEST_F(EndToEndDevice, DriverSettingSwitchSavesAndOpensTheNewKindWhileTheOldStaysHeld) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD wdm = 0;
    RegSetValueExW(key, L"UseBDA", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&wdm), sizeof wdm);
    RegCloseKey(key);

    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"Brelkin.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return state->wdm.calls.opened == 1; })) << "WDM camera not opened";

    // OK without a change neither saves nor rescans.
    HWND dialog = OpenDialog(frame, 32794, L"WDM / BDA Setting");
    ASSERT_NE(dialog, nullptr) << "the driver dialog did not open";
    EXPECT_TRUE(Checked(dialog, 1008));
    EXPECT_FALSE(Checked(dialog, 1009));
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    Sleep(500);
    EXPECT_EQ(StoredValueCount(), 1u) << "an unchanged OK saved the settings";
    EXPECT_EQ(state->wdm.calls.opened, 1);
    EXPECT_EQ(Bda().calls.constructed, 0);

    // WDM -> BDA: saved as 1, the BDA library opened, the WDM object still held.
    dialog = OpenDialog(frame, 32794, L"WDM / BDA Setting");
    ASSERT_NE(dialog, nullptr);
    Click(dialog, 1009);
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; }, 5000)) << "BDA camera not opened";
    EXPECT_EQ(StoredDword(L"UseBDA", 99), 1u);
    EXPECT_EQ(StoredValueCount(), 1u) << "only the value the dialog changed is stored";
    EXPECT_EQ(state->wdm.calls.closed, 0);
    EXPECT_EQ(state->wdm.calls.destroyed, 0);

    // Custom Settings confirmed unchanged: the custom row becomes the mode; its
    // values, unchanged, keep following the defaults.
    dialog = OpenDialog(frame, 32779, L"Custom Settings");
    ASSERT_NE(dialog, nullptr) << "the Custom Settings dialog did not open";
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitFor([] { return StoredDefaultKey() == L"Custom Setting"; }, 5000));
    EXPECT_EQ(StoredDword(L"Key1", 0), 0u) << "Key1 was stored";
    EXPECT_EQ(StoredValueCount(), 2u);

    EXPECT_EQ(Exit(p, frame), 0u);
    EXPECT_EQ(state->wdm.calls.closed, 1);
    EXPECT_EQ(Bda().calls.closed, 1);
    EXPECT_EQ(state->wdm.calls.destroyed + Bda().calls.destroyed, 2);
}

// --- what the program tells the user, read back from its support log --------

TEST_F(EndToEndDevice, ConfigurationProblemsNameTheCauseInABalloonAtStartUp) {
    struct Row {
        const char* label;
        std::wstring library;  // the one library next to the program, or none
        DWORD useBda;
        const char* notification;
    };
#ifdef BRELKIN_X86_LIBRARY_DIR
    const std::wstring x86Library = WinPath(BRELKIN_X86_LIBRARY_DIR) + L"\\BDADLL.dll";
#else
    const std::wstring x86Library;
#endif
    const Row rows[] = {
        {"missing", L"", 1, "Notification: BDADLL.dll is neither in Brelkin's folder ("},
        {"other bitness", x86Library, 1,
         "BDADLL.dll is a 32-bit library; this Brelkin is 64-bit: install BrelkinSetup-x86.exe"},
        {"member missing", WinPath(BRELKIN_LACKING_MEMBER_DIR) + L"\\emDLL.dll", 0,
         "emDLL.dll lacks IsButtonPressed, which Brelkin needs"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        if (std::string(row.label) == "other bitness" && row.library.empty()) {
            // The x86 build has no library of the other bitness to offer.
            if (sizeof(void*) == 4) {
                RecordProperty("skipped", "other bitness: only the x64 build has a 32-bit library to try");
                continue;
            }
            ADD_FAILURE() << "cannot run: no 32-bit cross compiler built a 32-bit library";
            continue;
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Morvane");
        StoreDword(L"UseBDA", row.useBda);
        ZeroMemory(block, sizeof(Block));
        Process p;
        HWND frame = row.library.empty() ? StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe", {}))
                                         : StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe", {row.library}));
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(WaitForLog(row.notification)) << SupportLog();
        // The balloon reached the shell as a warning.
        EXPECT_TRUE(WaitFor([&] {
            for (LONG i = 0; i < block->notifyCount; ++i)
                if (block->notify[i].flags & NIF_INFO) return true;
            return false;
        }, 5000));
        EXPECT_EQ(Exit(p, frame), 0u);
        const std::string log = SupportLog();
        const std::string start = sizeof(void*) == 8 ? "Start: Brelkin 2.0, x64, Windows " : "Start: Brelkin 2.0, x86, Windows ";
        EXPECT_NE(log.find(start), std::string::npos) << log;
        EXPECT_NE(log.find("Exit: 0 presses, 0 long presses, 0 double presses, 0 chords sent"), std::string::npos)
            << log;
    }
}

TEST_F(EndToEndDevice, ASilentCameraIsNotifiedOnARescanTheUserAskedForOnly) {
    InterlockedExchange(&Bda().openResult, 0);
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), start-up: the camera did not answer")) << SupportLog();
    EXPECT_TRUE(WaitForLog("Settings: mode \"Schick (Alt+F,Alt+T)\", driver BDA, poll period 50 ms"));

    // Sent, not posted: an arrival's parameter is a pointer, which posting refuses.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(frame, WM_DEVICECHANGE, 0x8000, 0, SMTO_ABORTIFHUNG, 5000, &result);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), device arrival: the camera did not answer")) << SupportLog();
    EXPECT_EQ(SupportLog().find("Notification:"), std::string::npos) << SupportLog();

    PostMessageW(TrayWindow(), WM_USER + 10, 130, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitForLog("Notification: The camera does not answer through the BDA driver")) << SupportLog();
    EXPECT_EQ(Exit(p, frame), 0u);
}

}  // namespace
