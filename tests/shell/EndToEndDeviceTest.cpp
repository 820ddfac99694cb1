// The program with the camera stand-ins: rescans and teardown seen in the
// stand-ins' call counters, and a simulated button press turned into key
// chords in a focused window of this test.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/shell/EndToEndHarness.h"
#include "tests/shell/KeyTarget.h"
#include "tests/shell/probe/KeyTargetBlock.h"
#include "tools/CameraStandInState.h"
#include "tools/VJoyStandInState.h"

namespace {

using namespace e2e;
namespace standin = brelkin::standin;

class EndToEndDevice : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        state = standin::OpenStandInState(&standInMapping);
        ASSERT_NE(state, nullptr);
        standin::ResetStandInState(*state);
    }
    void TearDown() override {
        if (target) DestroyWindow(target);
        standin::CloseStandInState(state, standInMapping);
        EndToEnd::TearDown();
    }
    // Wine reports a version after 5.1, so the BDA library is the default.
    standin::ClassState& Bda() { return state->bda; }

    // The probe build with the BDA camera open, and a window of this test
    // that has the focus and records the key downs it is sent.
    HWND StartWithAFocusedKeyWindow(Process& p) {
        target = CreateKeyWindow();
        if (target == nullptr) {
            ADD_FAILURE() << "no key window";
            return nullptr;
        }
        HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
        if (frame == nullptr) return nullptr;
        if (!WaitFor([&] { return Bda().calls.opened == 1; })) {
            ADD_FAILURE() << "camera not opened";
            return nullptr;
        }
        if (!Focus(target)) {
            ADD_FAILURE() << "the test window did not get the focus";
            return nullptr;
        }
        return frame;
    }
    HWND target = nullptr;

    static HWND CreateKeyWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = KeyWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrelkinEndToEndKeys";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
    }
    static bool Focus(HWND target) {
        const ULONGLONG end = GetTickCount64() + 5000;
        while ((GetForegroundWindow() != target || GetFocus() != target) && GetTickCount64() < end) {
            SetForegroundWindow(target);
            SetFocus(target);
            Pump(100);
        }
        return GetFocus() == target;
    }

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

TEST_F(EndToEndDevice, WithoutPPJoyVJoyButtonOneFollowsTheCameraAndIsNeverLeftHeld) {
    HANDLE vjoyMapping = nullptr;
    standin::VJoyStandInState* vjoy = standin::OpenVJoyStandInState(&vjoyMapping);
    ASSERT_NE(vjoy, nullptr);
    struct Cleanup {
        standin::VJoyStandInState* block;
        HANDLE mapping;
        ~Cleanup() {  // also after a failed assertion: the other tests run without vJoy
            standin::UnregisterVJoyStandIn();
            standin::CloseSharedStateBlock(block, mapping);
        }
    } cleanup{vjoy, vjoyMapping};
    standin::ResetVJoyStandInState(*vjoy);
    ASSERT_TRUE(standin::RegisterVJoyStandIn(WinPath(BRELKIN_STANDIN_DIR) + L"\\vjoy"));

    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"Brelkin.exe"));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(WaitFor([&] { return vjoy->ownerProcess == static_cast<LONG>(p.pi.dwProcessId); }))
        << "vJoy device 1 not acquired";
    PostMessageW(frame, WM_COMMAND, 32777, 0);  // joystick mode
    InterlockedExchange(&Bda().buttonPressed, 1);
    EXPECT_TRUE(WaitFor([&] { return vjoy->button1 == 1; }, 5000)) << "the press did not reach vJoy";
    InterlockedExchange(&Bda().buttonPressed, 0);
    EXPECT_TRUE(WaitFor([&] { return vjoy->button1 == 0; }, 5000)) << "the release did not reach vJoy";

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

// The settings dialogs of the real program, driven from outside its process.
DWORD StoredDword(const wchar_t* name, DWORD missing) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", name, RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

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
    EXPECT_EQ(StoredValueCount(), 10u);
    EXPECT_EQ(state->wdm.calls.closed, 0);
    EXPECT_EQ(state->wdm.calls.destroyed, 0);

    // Custom Settings confirmed unchanged: the custom row becomes the mode and is saved.
    dialog = OpenDialog(frame, 32779, L"Custom Settings");
    ASSERT_NE(dialog, nullptr) << "the Custom Settings dialog did not open";
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitFor([] { return StoredDefaultKey() == L"Custom Setting"; }, 5000));
    EXPECT_EQ(StoredDword(L"Key1", 0), 32u);
    EXPECT_EQ(StoredDword(L"DelayTime", 0), 5000u);

    EXPECT_EQ(Exit(p, frame), 0u);
    EXPECT_EQ(state->wdm.calls.closed, 1);
    EXPECT_EQ(Bda().calls.closed, 1);
    EXPECT_EQ(state->wdm.calls.destroyed + Bda().calls.destroyed, 2);
}

// The key target copied under a program file name, started, and in front.
struct KeyTarget {
    HANDLE mapping = nullptr;
    brelkin::probe::KeyTargetBlock* block = nullptr;
    Process process;

    bool Start(const std::wstring& folder, const wchar_t* fileName) {
        const std::wstring name = std::wstring(L"BrelkinKeyTarget-") + fileName;
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
    const DWORD on = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", L"OnlyListedPrograms", REG_DWORD,
                    &on, sizeof on);

    const std::wstring exe = Install(L"BrelkinProbe.exe");
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; }));

    const struct { const wchar_t* program; LONG key; } rows[] = {
        {L"imaging-one.exe", VK_F5}, {L"imaging-two.exe", 'G'}, {L"chart.exe", 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.program, r.program + wcslen(r.program)));
        KeyTarget target;
        ASSERT_TRUE(target.Start(folder, r.program)) << "the key target did not start or get the focus";
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

// --- what the program tells the user, read back from its support log --------

void StoreDword(const wchar_t* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

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
        EXPECT_NE(log.find("Exit: 0 presses, 0 chords sent"), std::string::npos) << log;
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

// The camera library in the camera host: its faults never end Brelkin.
namespace {

// The camera hosts that the given Brelkin started and that still run.
std::vector<DWORD> HostsOf(DWORD brelkin) {
    std::vector<DWORD> hosts;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return hosts;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == brelkin && _wcsicmp(entry.szExeFile, L"BrelkinCameraHost.exe") == 0)
            hosts.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return hosts;
}

// Key downs reach the test's window within `ms` of a held button.
bool PressAnsweredWithin(standin::ClassState& camera, DWORD ms) {
    g_keyDowns.clear();
    InterlockedExchange(&camera.buttonPressed, 1);
    const ULONGLONG until = GetTickCount64() + ms;
    while (g_keyDowns.empty() && GetTickCount64() < until) Pump(10);
    InterlockedExchange(&camera.buttonPressed, 0);
    Pump(300);
    return !g_keyDowns.empty();
}

}  // namespace

TEST_F(EndToEndDevice, ACrashInIsButtonPressedIsLoggedAndPressesAreAnsweredAgain) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(PressAnsweredWithin(Bda(), 3000));
    InterlockedExchange(&state->faultPressed, standin::FaultCrashOnce);
    ASSERT_TRUE(WaitForLog("Camera library crashed: BDADLL.dll, exception 0xC0000005 at BDADLL.dll+0x", 5000))
        << SupportLog();
    const ULONGLONG crashed = GetTickCount64();
    EXPECT_NE(SupportLog().find(" in IsButtonPressed"), std::string::npos);
    EXPECT_TRUE(WaitForLog("Camera open (BDA), restart after a camera library fault: the camera answered", 2000));
    // Within 3 s of the crash.
    const ULONGLONG spent = std::min<ULONGLONG>(GetTickCount64() - crashed, 2500);
    EXPECT_TRUE(PressAnsweredWithin(Bda(), static_cast<DWORD>(3000 - spent)));
    EXPECT_NE(SupportLog().find("Notification: The camera library BDADLL.dll crashed in IsButtonPressed."),
              std::string::npos);
    EXPECT_TRUE(p.Running());
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, AHangingCallEndsTheHostWhileTheFrameKeepsAnswering) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    InterlockedExchange(&state->faultPressed, standin::FaultHangOnce);
    ASSERT_TRUE(WaitFor([&] { return state->faultsFired == 1; }, 3000));
    // While the host hangs, the frame answers at once.
    for (int i = 0; i < 10; ++i) {
        const ULONGLONG sent = GetTickCount64();
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result), 0);
        EXPECT_LE(GetTickCount64() - sent, 200u);
        Sleep(100);
    }
    ASSERT_TRUE(WaitForLog("Camera library hung: BDADLL.dll, IsButtonPressed had not returned after ", 6000))
        << SupportLog();
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 2; }, 3000)) << "the host was not replaced";
    standin::ReleaseHangs(*state);
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, AHostKilledFromOutsideIsRestartedAndKillingBrelkinLeavesNoHost) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    std::vector<DWORD> hosts = HostsOf(p.pi.dwProcessId);
    ASSERT_EQ(hosts.size(), 1u);
    HANDLE host = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, hosts[0]);
    ASSERT_NE(host, nullptr);
    TerminateProcess(host, 7);
    WaitForSingleObject(host, 5000);
    CloseHandle(host);
    ASSERT_TRUE(WaitForLog("Camera host for BDADLL.dll ended unexpectedly, exit code 0x7", 5000)) << SupportLog();
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 2; }, 3000));
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    hosts = HostsOf(p.pi.dwProcessId);
    ASSERT_EQ(hosts.size(), 1u);

    // Killed, Brelkin cannot ask its host to go: the job and the broken pipe end it.
    TerminateProcess(p.pi.hProcess, 9);
    WaitForSingleObject(p.pi.hProcess, 5000);
    EXPECT_TRUE(WaitFor([&] { return HostsOf(p.pi.dwProcessId).empty(); }, 5000)) << "a host outlived Brelkin";
}

TEST_F(EndToEndDevice, FiveFaultsStopTheRestartsUntilTheUserRescans) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    InterlockedExchange(&state->faultPressed, standin::FaultCrashAlways);
    // Restarts after 0, 1, 2 and 4 s; the fifth crash stops them.
    ASSERT_TRUE(WaitForLog("Camera host: 5 faults within 10 minutes, not restarted until", 20000)) << SupportLog();
    EXPECT_EQ(state->faultsFired, 5);
    const LONG opened = Bda().calls.opened;
    EXPECT_EQ(opened, 5);
    Sleep(2500);
    EXPECT_EQ(Bda().calls.opened, opened) << "restarted although stopped";
    EXPECT_TRUE(HostsOf(p.pi.dwProcessId).empty());
    InterlockedExchange(&state->faultPressed, standin::FaultNone);
    PostMessageW(TrayWindow(), WM_USER + 10, 130, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == opened + 1; }, 5000));
    // The balloons of the faults may have moved the focus.
    ASSERT_TRUE(Focus(target));
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, LibrariesInTheCurrentFolderAndOnThePathAreNeverLoaded) {
    const std::wstring exe = Install(L"BrelkinProbe.exe", {});
    const std::wstring planted = TestDir() + L"\\planted";
    CreateDirectoryW(planted.c_str(), nullptr);
    const std::wstring standins = WinPath(BRELKIN_STANDIN_DIR);
    for (const wchar_t* dll : {L"\\emDLL.dll", L"\\BDADLL.dll"})
        ASSERT_TRUE(WaitFor([&] { return CopyFileW((standins + dll).c_str(), (planted + dll).c_str(), FALSE) != 0; }));
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe, planted.c_str(), planted.c_str());
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), start-up: no camera library")) << SupportLog();
    EXPECT_NE(SupportLog().find("Library BDADLL.dll: not found in "), std::string::npos) << SupportLog();
    EXPECT_EQ(Bda().calls.constructed, 0);
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, TheX64BrelkinReadsThe32BitLibrariesThroughTheX86Host) {
#if !defined(BRELKIN_X64_BIN_DIR)
    GTEST_SKIP() << "runs in the x86 run, under Wine's WoW64 mode, with the x64 build's program";
#else
    const std::wstring x64 = WinPath(BRELKIN_X64_BIN_DIR);
    if (GetFileAttributesW((x64 + L"\\Brelkin.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no x64 build at " << BRELKIN_X64_BIN_DIR << " (build the win64 preset first)";
    target = CreateKeyWindow();
    ASSERT_NE(target, nullptr);
    const std::wstring standins = WinPath(BRELKIN_STANDIN_DIR);
    // The x64 program with this (x86) build's libraries and host only.
    const std::wstring exe = Install(L"Brelkin.exe", {standins + L"\\emDLL.dll", standins + L"\\BDADLL.dll"}, x64);
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), start-up: the camera answered")) << SupportLog();
    EXPECT_NE(SupportLog().find("x64"), std::string::npos);
    ASSERT_TRUE(Focus(target));
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    EXPECT_EQ(Exit(p, frame), 0u);
#endif
}
