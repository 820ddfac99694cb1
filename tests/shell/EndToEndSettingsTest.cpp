// What a user's choices leave in their registry key, the deployed defaults
// that still reach them at the next start, and the policies that lock a value,
// also after a refresh; the Programs dialog in the running program. Each start
// in its own process, with a clean user key, machine key and policy keys.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "engine/ActionPreset.h"
#include "resources/dialogs/DialogIds.h"
#include "resources/resource.h"
#include "tests/shell/EndToEndHarness.h"

namespace {

using namespace e2e;

const wchar_t* const SettingsKey = L"Software\\Morvane\\Tolvacore\\Settings";
const wchar_t* const PolicyKey = L"Software\\Policies\\Morvane\\Tolvacore";

class EndToEndSettings : public EndToEnd {
protected:
    void SetUp() override {
        DeleteMachineKey();
        DeletePolicies();
        EndToEnd::SetUp();
    }
    void TearDown() override {
        EndToEnd::TearDown();
        DeleteMachineKey();
        DeletePolicies();
    }
    static void DeletePolicies() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Policies", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) ==
            ERROR_SUCCESS) {
            RegDeleteTreeW(key, L"Morvane");
            RegCloseKey(key);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Policies\\Morvane");
    }
    // What Group Policy broadcasts after a refresh; the string is carried across processes.
    static void BroadcastPolicyChange(HWND frame) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(frame, WM_SETTINGCHANGE, 1, reinterpret_cast<LPARAM>(L"Policy"), SMTO_ABORTIFHUNG, 5000,
                            &result);
    }
    // The checked and greyed modes of the open popup, and its administrator's line.
    std::string ModeStates() const {
        std::string states;
        for (LONG i = 0; i < block->menuCount; ++i) {
            const auto& item = block->menu[i];
            const bool mode = item.id == ID_JOYSTICK_BUTTON1 || item.id == ID_CUSTOM_SETTING ||
                              (item.id >= ID_PRESET_FIRST && item.id < ID_PRESET_FIRST + UINT(brelkin::CustomRow));
            if (item.id == 32810) states += std::string("admin") + (item.state & MFS_GRAYED ? "(grey) " : " ");
            if (!mode) continue;
            states += item.state & MFS_CHECKED ? "x" : item.state & MFS_GRAYED ? "-" : "o";
        }
        return states;
    }
    // Where the installer and reg.exe on 64-bit Windows put the defaults.
    static void DeleteMachineKey() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Morvane", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key))
            return;
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Morvane", KEY_WOW64_64KEY, 0);
    }
    // The machine-wide defaults, or a policy as the templates write an enforced value: in the policy key itself.
    static void Deploy(const wchar_t* name, DWORD type, const void* data, DWORD size, HKEY hive = HKEY_LOCAL_MACHINE,
                       const wchar_t* path = SettingsKey) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(hive, path, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // The user's Language "de", then the program's start.
    HWND StartInGerman(Process& p, const wchar_t* exe) {
        const wchar_t german[] = L"de";
        EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, L"Language", REG_SZ, german, sizeof german),
                  ERROR_SUCCESS);
        return StartAndWaitForFrame(p, Install(exe));
    }
    static std::wstring UserValueNames(const wchar_t* path = SettingsKey) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<no key>";
        std::wstring names;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names += std::wstring(name) + L";";
        }
        RegCloseKey(key);
        return names;
    }
};

TEST_F(EndToEndSettings, AfterOneMenuChoiceTheUsersKeyHoldsOnlyDefaultKeyAndALaterMachineValueIsUsed) {
    const std::wstring exe = Install(L"Brelkin.exe");
    {
        Process p;
        HWND frame = StartAndWaitForFrame(p, exe);
        ASSERT_NE(frame, nullptr);
        PostMessageW(frame, WM_COMMAND, 32782, 0);  // Kodak (F5)
        ASSERT_TRUE(WaitFor([] { return StoredDefaultKey() == L"Kodak (F5)"; }, 5000));
        EXPECT_EQ(Exit(p, frame), 0u);
    }
    EXPECT_EQ(UserValueNames(), L"DefaultKey;");

    // The administrator deploys the BDA driver, a poll period and another preset.
    const DWORD bda = 1, poll = 100;
    const wchar_t space[] = L"Space";
    Deploy(L"UseBDA", REG_DWORD, &bda, sizeof bda);
    Deploy(L"PollPeriod", REG_DWORD, &poll, sizeof poll);
    Deploy(L"DefaultKey", REG_SZ, space, sizeof space);

    Process p;
    HWND frame = StartAndWaitForFrame(p, exe);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(WaitForLog("Settings: mode \"Kodak (F5)\", driver BDA, poll period 100 ms")) << SupportLog();
    EXPECT_TRUE(WaitForLog("Settings from the user: DefaultKey; from the machine: UseBDA, PollPeriod"))
        << SupportLog();
    EXPECT_EQ(Exit(p, frame), 0u);
    EXPECT_EQ(UserValueNames(), L"DefaultKey;") << "a start writes nothing";
}

// The menu and the balloons speak the Language chosen; the mode stored and the
// support log stay English.
TEST_F(EndToEndSettings, LanguageDeShowsGermanWhileWhatIsStoredAndLoggedStaysEnglish) {
    Process p;
    HWND frame = StartInGerman(p, L"BrelkinProbe.exe");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(WaitForLog("Language: de-DE, from the Language setting")) << SupportLog();

    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    ASSERT_TRUE(OpenPopup());
    std::wstring items;
    for (LONG i = 0; i < block->menuCount; ++i) items += std::wstring(block->menu[i].text) + L"|";
    ClosePopup();
    for (const wchar_t* item : {L"|&Joystick-Taste 1|", L"|Kodak (F5)|", L"|Eigene Einstellung|", L"|&Kamerastatus...|",
                                L"|Kamera erneut &suchen|", L"|WDM/BDA-&Einstellung|", L"|&Beenden|"}) {
        EXPECT_NE((L"|" + items).find(item), std::wstring::npos)
            << std::string(item, item + wcslen(item)) << " not in " << std::string(items.begin(), items.end());
    }

    PostMessageW(frame, WM_COMMAND, 32782, 0);  // Kodak (F5), from the German menu
    EXPECT_TRUE(WaitFor([] { return StoredDefaultKey() == L"Kodak (F5)"; }, 5000));
    // Joystick mode without a joystick driver: a balloon.
    PostMessageW(frame, WM_COMMAND, 32777, 0);
    EXPECT_TRUE(WaitForLog("Notification: Joystick mode needs the PPJoy joystick driver or vJoy")) << SupportLog();
    auto recorded = [&](const std::wstring& text, bool tip) {
        for (LONG i = 0; i < block->notifyCount; ++i)
            if (std::wstring(tip ? block->notify[i].tip : block->notify[i].info).rfind(text, 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(WaitFor([&] { return recorded(L"Der Joystick-Modus braucht den Joystick-Treiber PPJoy oder vJoy", false); },
                        5000)) << "no German balloon";
    EXPECT_TRUE(recorded(L"Brelkin - Joystick-Taste 1", true)) << "no German tooltip";
    EXPECT_TRUE(WaitFor([] { return StoredDefaultKey() == L"Joystick Button 1"; }, 5000));
    EXPECT_EQ(Exit(p, frame), 0u);
}

// The modeless Camera Status window speaks the Language too: its template (the
// caption) and its values.
TEST_F(EndToEndSettings, LanguageDeShowsTheCameraStatusWindowInGerman) {
    Process p;
    HWND frame = StartInGerman(p, L"Brelkin.exe");
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, 32801, 0);
    HWND status = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (status = FindWindowW(L"#32770", L"Brelkin-Kamerastatus")) != nullptr; }, 5000))
        << "no German Camera Status window";
    // The values are set just after the window appears.
    wchar_t presses[64] = {};
    EXPECT_TRUE(WaitFor([&] {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(GetDlgItem(status, 1106), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(presses),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
        return std::wstring(presses) == L"noch keine";
    }, 5000)) << "Presses: " << std::string(presses, presses + wcslen(presses));
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndSettings, EnterInTheProgramsDialogAddsTheProgram) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"Brelkin.exe"));
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, 32795, 0);  // Programs...
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindWindowW(L"#32770", L"Programs")) != nullptr && IsWindowVisible(dialog); },
                        10000));
    HWND field = GetDlgItem(dialog, IDC_PROGRAM_NEW);
    HWND list = GetDlgItem(dialog, IDC_PROGRAM_LIST);
    SetWindowTextW(field, L"cdr");
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    ASSERT_TRUE(WaitFor([&] {
        SetForegroundWindow(dialog);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == dialog && GetGUIThreadInfo(thread, &info) &&
               (info.hwndFocus == field || IsChild(field, info.hwndFocus));
    }, 5000)) << "the program field did not get the focus";

    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof keys[0]), 2u);
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }, 5000))
        << "Enter added nothing";
    Sleep(300);
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "Enter closed the dialog";
    wchar_t text[16] = L"?";
    GetWindowTextW(field, text, 16);
    EXPECT_STREQ(text, L"");

    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    const wchar_t* const programs = L"Software\\Morvane\\Tolvacore\\Settings\\Programs";
    EXPECT_TRUE(WaitFor([&] { return UserValueNames(programs) == L"cdr.exe;"; }, 5000));
    const std::wstring stored = UserValueNames(programs);
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "cdr.exe;");
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndSettings, APolicyRefreshTakesEffectWithoutARestart) {
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return block->notifyCount >= 2; }));
    ASSERT_TRUE(WaitForLog("driver BDA, poll period 50 ms")) << SupportLog();

    // The machine's policy enforces another mode, the user's the other driver kind and a poll period.
    const wchar_t space[] = L"Space";
    const DWORD wdm = 0, poll = 200;
    Deploy(L"DefaultKey", REG_SZ, space, sizeof space, HKEY_LOCAL_MACHINE, PolicyKey);
    Deploy(L"UseBDA", REG_DWORD, &wdm, sizeof wdm, HKEY_CURRENT_USER, PolicyKey);
    Deploy(L"PollPeriod", REG_DWORD, &poll, sizeof poll, HKEY_CURRENT_USER, PolicyKey);
    BroadcastPolicyChange(frame);
    EXPECT_TRUE(WaitForLog("Settings: mode \"Space\", driver WDM, poll period 200 ms")) << SupportLog();
    EXPECT_TRUE(WaitForLog("Settings enforced by policy: UseBDA, DefaultKey, PollPeriod; recommended by policy: none"))
        << SupportLog();
    EXPECT_TRUE(WaitForLog("Mode: Space")) << SupportLog();
    EXPECT_TRUE(WaitForLog("driver kind set by policy")) << SupportLog();
    EXPECT_STREQ(block->notify[block->notifyCount - 1].tip, L"Brelkin - Space");
    ASSERT_TRUE(OpenPopup());
    EXPECT_EQ(ModeStates(), "admin(grey) -----------x--");
    ClosePopup();
    // A choice of another mode changes and writes nothing (sent, so it has been handled on return).
    DWORD_PTR result = 0;
    SendMessageTimeoutW(frame, WM_COMMAND, 32777, 0, SMTO_ABORTIFHUNG, 5000, &result);  // Joystick Button 1
    EXPECT_STREQ(block->notify[block->notifyCount - 1].tip, L"Brelkin - Space");
    EXPECT_EQ(SupportLog().find("Mode: Joystick"), std::string::npos) << SupportLog();

    // The policy goes away: the first preset (no value of the user's) and the menu come back.
    DeletePolicies();
    BroadcastPolicyChange(frame);
    EXPECT_TRUE(WaitForLog("Settings: mode \"Schick (Alt+F,Alt+T)\", driver BDA, poll period 50 ms")) << SupportLog();
    EXPECT_STREQ(block->notify[block->notifyCount - 1].tip, L"Brelkin - Alt+F,Alt+T");
    ASSERT_TRUE(OpenPopup());
    EXPECT_EQ(ModeStates(), "oxoooooooooooo");
    ClosePopup();
    EXPECT_EQ(Exit(p, frame), 0u);
    EXPECT_EQ(UserValueNames(), L"") << "a refresh writes nothing";
}

}  // namespace
