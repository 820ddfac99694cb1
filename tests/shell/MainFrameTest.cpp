// The main frame's creation order, tray menu, mode commands, update rule and
// teardown, with the devices, dialogs and shell calls recorded and the
// settings in a private registry key.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/WinApp.h"
#include "platform/win32/RegistryProfile.h"
#include "resources/resource.h"
#include "shell/MainFrame.h"
#include "tests/shell/RecordingNotifyIcon.h"
#include "tests/support/RecordingSupport.h"

extern CWinApp g_shellTestApp;

namespace brelkin {
namespace {

using test::RecordingNotifyIcon;

class FakeDevices final : public IFrameDevices {
public:
    FakeDevices(std::vector<std::string>& log, SequenceStep& step, PollOutcome& outcome, unsigned long& unsent)
        : m_log(log), m_step(step), m_outcome(outcome), m_unsent(unsent) {}
    void AttachSupport(ISupportLog&, INotifier&) override {}
    void OpenJoystickOutput() override { m_log.push_back("OpenJoystickOutput"); }
    void ReleaseJoystickButton() override { m_log.push_back("ReleaseJoystickButton"); }
    void CloseJoystickOutput(bool joystickMode) override {
        m_log.push_back(joystickMode ? "CloseJoystickOutput in joystick mode" : "CloseJoystickOutput");
    }
    JoystickStatus JoystickOutputStatus() override { return {JoystickBackEnd::PPJoy, JoystickRefusal::None}; }
    void RegisterCameraArrival(uintptr_t window) override {
        m_log.push_back(window ? "RegisterCameraArrival" : "RegisterCameraArrival(null)");
    }
    void ChooseDefaultDriverKind() override {
        m_log.push_back("ChooseDefaultDriverKind");
        m_kind = DriverBda;
    }
    DriverKind& Kind() override { return m_kind; }
    void OpenCamera(DriverKind kind, CameraOpenCause) override {
        m_log.push_back("OpenCamera " + std::to_string(kind));
        m_step = 0;
    }
    void RescanCamera(CameraOpenCause) override { m_log.push_back("RescanCamera " + std::to_string(m_kind)); }
    intptr_t HandleDeviceChange(uintptr_t event, intptr_t) override {
        m_log.push_back("HandleDeviceChange " + std::to_string(event));
        return 0;
    }
    void ReleaseCameraSource() override { m_log.push_back("ReleaseCameraSource"); }
    void SetPollPeriod(uint32_t basePeriod) override {
        m_log.push_back("SetPollPeriod " + std::to_string(basePeriod));
    }
    PollOutcome PollButton(TriggerState& state) override {
        m_log.push_back("PollButton mode " + std::to_string(state.triggerMode));
        return m_outcome;
    }
    unsigned long StopSending() override {
        m_log.push_back("StopSending");
        return m_unsent;
    }

private:
    std::vector<std::string>& m_log;
    SequenceStep& m_step;
    PollOutcome& m_outcome;
    unsigned long& m_unsent;
    DriverKind m_kind = DriverWdm;
};

class FakeDialogs final : public IDialogRunner {
public:
    bool answerOk = false;
    ActionPreset customResult{};
    DriverKind driverResult = DriverWdm;
    int customCalls = 0;
    std::function<void()> whileOpen;  // what happens while the user looks at the dialog
    bool EditCustomRow(ActionPreset& row, const CustomRowLocks&) override {
        ++customCalls;
        if (whileOpen) whileOpen();
        if (!answerOk) return false;
        std::copy(std::begin(customResult.Keys), std::end(customResult.Keys), row.Keys);
        std::copy(std::begin(customResult.Modifiers), std::end(customResult.Modifiers), row.Modifiers);
        row.OneByOne = customResult.OneByOne;
        row.DelayTime = customResult.DelayTime;
        return true;
    }
    bool ChooseDriverKind(DriverKind, DriverKind& chosen, bool) override {
        if (!answerOk) return false;
        chosen = driverResult;
        return true;
    }
    void ShowAbout() override {}
    ProgramRuleSet programsResult;
    TriggerMode programsCurrent = -1;
    bool EditProgramRules(ProgramRuleSet& rules, const PresetTable&, TriggerMode current) override {
        programsCurrent = current;
        if (!answerOk) return false;
        rules = programsResult;
        return true;
    }
};

const wchar_t TestRegistryKey[] = L"BrelkinShellTest";

struct MainFrameTest : ::testing::Test {
    std::vector<std::string> log;
    RecordingNotifyIcon shell;
    FakeDialogs dialogs;
    ShellServices services;
    test::RecordingSupportLog supportLog;
    test::FakeProcessIntegrity integrity;
    PollOutcome pollOutcome;
    unsigned long unsent = 0;  // what the sender reports at exit as never sent
    CMainFrame* frame = nullptr;
    RegistryProfile profile{u"BrelkinShellTest", u"Tolvacore"};

    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\BrelkinShellTest");
        g_shellTestApp.SetRegistryKey(TestRegistryKey);
        shell.log = &log;
        services.notifyIcon = &shell;
        services.dialogs = &dialogs;
        services.trayAddRetry = {200, 20};
        services.makeDevices = [this](SequenceStep& step) {
            return std::make_unique<FakeDevices>(log, step, pollOutcome, unsent);
        };
        services.supportLog = &supportLog;
        services.integrity = &integrity;
        integrity.levels = {{0, 0x2000}, {7, 0x3000}};
        frame = new CMainFrame(services);
        g_shellTestApp.m_pMainWnd = frame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, 0x00CF8000));
    }
    void TearDown() override {
        if (g_shellTestApp.m_pMainWnd) frame->DestroyWindow();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\BrelkinShellTest");
    }
    void Command(UINT id) { frame->SendMessage(WM_COMMAND, id, 0); }
    HMENU Popup() { return frame->Tray().Popup(); }
    std::u16string StoredDefaultKey() {
        return profile.GetProfileString(u"Settings", u"DefaultKey", u"<none>");
    }
    UINT StateAfterUpdate(UINT id) {
        frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Popup()), 0);
        return GetMenuState(Popup(), id, MF_BYCOMMAND);
    }
};

TEST_F(MainFrameTest, CreationBringsTheSystemUpInOrder) {
    const std::vector<std::string> expected = {
        "NIM_ADD", "OpenJoystickOutput", "RegisterCameraArrival", "ChooseDefaultDriverKind",
        "NIM_MODIFY",  // the settings load sets the tooltip
        "OpenCamera 1", "SetPollPeriod 50"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(shell.calls.back().tip, L"Brelkin - Alt+F,Alt+T");
    EXPECT_EQ(frame->Trigger().triggerMode, 1);
    EXPECT_FALSE(frame->IsWindowVisible());
    EXPECT_EQ(GetWindowLongW(frame->m_hWnd, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(StoredDefaultKey(), u"<none>");  // nothing is saved at start-up
}

TEST_F(MainFrameTest, TheTimerPollsOnlyOnTimerOne) {
    log.clear();
    frame->SendMessage(WM_TIMER, 2, 0);
    frame->SendMessage(WM_TIMER, 1, 0);
    EXPECT_EQ(log, std::vector<std::string>{"PollButton mode 1"});
}

TEST_F(MainFrameTest, KeyPressesIntoAnElevatedWindowAreNotifiedOnceAndCountedAtExit) {
    integrity.focus = 7;
    pollOutcome = {true, 2};
    for (int tick = 0; tick < 3; ++tick) frame->SendMessage(WM_TIMER, 1, 0);
    pollOutcome = {false, 0};
    frame->SendMessage(WM_TIMER, 1, 0);
    size_t notices = 0;
    for (const auto& line : supportLog.lines)
        notices += line.rfind("Notification: C:\\Imaging\\Viewer.exe runs as administrator", 0) == 0;
    EXPECT_EQ(notices, 1u);
    Command(ID_APP_EXIT);
    EXPECT_EQ(supportLog.lines.back(), "Exit: 3 presses, 0 long presses, 0 double presses, 6 chords sent, 0 presses not "
                                         "answered while chords went out");
}

TEST_F(MainFrameTest, PressesDuringARowAndChordsNeverSentShowInTheExitCount) {
    pollOutcome = {true, 3};
    frame->SendMessage(WM_TIMER, 1, 0);
    pollOutcome = {true, 0};
    pollOutcome.unanswered = true;
    for (int tick = 0; tick < 2; ++tick) frame->SendMessage(WM_TIMER, 1, 0);
    unsent = 2;  // the focus moved before chord 2, or Exit came during the row
    Command(ID_APP_EXIT);
    EXPECT_EQ(supportLog.lines.back(), "Exit: 3 presses, 0 long presses, 0 double presses, 1 chords sent, 2 presses not "
                                         "answered while chords went out");
}

TEST_F(MainFrameTest, ModeCommandsSaveTheModeAndMoveTheCheck) {
    struct Row { const char* label; UINT id; const char16_t* stored; const wchar_t* tip; int mode; };
    const Row rows[] = {
        {"Kodak", PresetCommandId(2), u"Kodak (F5)", L"Brelkin - F5", 3},
        {"joystick", ID_JOYSTICK_BUTTON1, u"Joystick Button 1", L"Brelkin - Joystick Button 1", 0},
        {"XDR", PresetCommandId(4), u"XDR (Ctrl+I)", L"Brelkin - Ctrl+I", 5},
        {"Enter, the last preset", PresetCommandId(CustomRow - 1), u"Enter", L"Brelkin - Enter", CustomRow},
        {"Schick, the first preset", ID_PRESET_FIRST, u"Schick (Alt+F,Alt+T)", L"Brelkin - Alt+F,Alt+T", 1},
        // A command in the range with no row yet: nothing changes.
        {"past the table", ID_PRESET_FIRST + CustomRow, u"Schick (Alt+F,Alt+T)", L"Brelkin - Alt+F,Alt+T", 1},
    };
    std::vector<UINT> modeIds{ID_JOYSTICK_BUTTON1};
    for (int row = 0; row < CustomRow; ++row) modeIds.push_back(PresetCommandId(row));
    for (const Row& r : rows) {
        Command(r.id);
        EXPECT_EQ(frame->Trigger().triggerMode, r.mode) << r.label;
        EXPECT_EQ(StoredDefaultKey(), r.stored) << r.label;
        EXPECT_EQ(shell.calls.back().tip, r.tip) << r.label;
        for (UINT id : modeIds) {
            const UINT state = StateAfterUpdate(id);
            const bool current = id == (r.mode == 0 ? ID_JOYSTICK_BUTTON1 : PresetCommandId(r.mode - 1));
            EXPECT_EQ((state & MF_CHECKED) != 0, current) << r.label << ", item " << id;
            EXPECT_EQ((state & MF_GRAYED) != 0, current) << r.label << ", item " << id;
        }
        const UINT custom = StateAfterUpdate(ID_CUSTOM_SETTING);
        EXPECT_FALSE(custom & (MF_CHECKED | MF_GRAYED)) << r.label;
    }
    // Items without an update request are enabled by their handlers (About
    // belongs to the program's application class, not to this test's).
    for (UINT id : {32775u, 32794u, 32795u, 57665u}) {
        EXPECT_FALSE(StateAfterUpdate(id) & MF_GRAYED) << "item " << id;
    }
}

TEST_F(MainFrameTest, CustomSettingOkSelectsTheCustomRowCancelChangesNothing) {
    Command(32782);  // Kodak
    dialogs.answerOk = false;
    Command(ID_CUSTOM_SETTING);
    EXPECT_EQ(frame->Trigger().triggerMode, 3);
    EXPECT_EQ(StoredDefaultKey(), u"Kodak (F5)");

    dialogs.answerOk = true;
    dialogs.customResult.Keys[0] = 'A';
    dialogs.customResult.Keys[1] = 'B';
    dialogs.customResult.Modifiers[0] = ModCtrl;
    dialogs.customResult.OneByOne = 0;
    dialogs.customResult.DelayTime = 250;
    Command(ID_CUSTOM_SETTING);
    const ActionPreset& row = frame->Trigger().presets[CustomRow];
    EXPECT_EQ(row.Keys[0], 'A');
    EXPECT_EQ(row.Keys[1], 'B');
    EXPECT_EQ(row.Keys[2], 0);
    EXPECT_EQ(row.Modifiers[0], ModCtrl);
    EXPECT_EQ(row.OneByOne, 0);
    EXPECT_EQ(row.DelayTime, 250);
    EXPECT_EQ(frame->Trigger().triggerMode, CustomRow + 1);
    EXPECT_EQ(StoredDefaultKey(), u"Custom Setting");
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"Key2", 0), static_cast<uint32_t>('B'));
    EXPECT_EQ(shell.calls.back().tip, L"Brelkin - Custom Setting");

    // Current and checked, yet still enabled: choosing it again edits the row.
    const UINT state = StateAfterUpdate(ID_CUSTOM_SETTING);
    EXPECT_TRUE(state & MF_CHECKED);
    EXPECT_FALSE(state & MF_GRAYED);
    // A refresh while the dialog is open: OK leaves the value the user did not touch as it is now.
    dialogs.whileOpen = [this] {
        profile.WriteProfileInt(u"Settings", u"Key3", 'C');
        frame->SendMessage(WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"));
    };
    Command(ID_CUSTOM_SETTING);
    EXPECT_EQ(dialogs.customCalls, 3);
    EXPECT_EQ(row.Keys[2], 'C');
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"Key3", 0), static_cast<uint32_t>('C'));
}

TEST_F(MainFrameTest, DriverSettingSavesAndRescansOnlyOnAChange) {
    log.clear();
    dialogs.answerOk = true;
    dialogs.driverResult = DriverBda;  // the kind already chosen at creation
    Command(ID_DRIVER_SETTING);
    // OK reads the settings again: the driver kind's default first, the tooltip with the mode.
    EXPECT_EQ(log, (std::vector<std::string>{"ChooseDefaultDriverKind", "NIM_MODIFY"}));
    log.clear();
    dialogs.driverResult = DriverWdm;
    Command(ID_DRIVER_SETTING);
    EXPECT_EQ(log, (std::vector<std::string>{"ChooseDefaultDriverKind", "NIM_MODIFY", "RescanCamera 0"}));
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"UseBDA", 9), 0u);
}

TEST_F(MainFrameTest, RescanDeviceChangeAndDoubleClickReachTheCameraSource) {
    log.clear();
    Command(ID_RESCAN_CAMERA);
    frame->SendMessage(WM_DEVICECHANGE, 0x8000, 0);
    // The default item, position 18, is "&Rescan Camera".
    SendMessageW(frame->Tray().m_hWnd, 1034, 130, WM_LBUTTONDBLCLK);
    EXPECT_EQ(log, (std::vector<std::string>{"RescanCamera 1", "HandleDeviceChange 32768",
                                             "RescanCamera 1"}));
}

TEST_F(MainFrameTest, LeavingJoystickModeAndExitingInItReleaseTheButton) {
    dialogs.answerOk = true;
    Command(32782);  // preset to preset: the joystick is not told anything
    Command(32777);
    Command(32784);  // leaves joystick mode
    Command(32777);
    Command(ID_CUSTOM_SETTING);  // so does an accepted custom row
    Command(32777);
    Command(ID_APP_EXIT);
    std::vector<std::string> joystickCalls;
    for (const std::string& entry : log)
        if (entry.find("Joystick") != std::string::npos) joystickCalls.push_back(entry);
    EXPECT_EQ(joystickCalls, (std::vector<std::string>{"OpenJoystickOutput", "ReleaseJoystickButton",
                                                       "ReleaseJoystickButton",
                                                       "CloseJoystickOutput in joystick mode"}));
}

TEST_F(MainFrameTest, ExitTearsDownInOrderAndEndsTheLoop) {
    log.clear();
    Command(ID_APP_EXIT);
    EXPECT_EQ(g_shellTestApp.m_pMainWnd, nullptr);
    // The chords stop first: nothing is left down when the rest goes.
    EXPECT_EQ(log, (std::vector<std::string>{"StopSending", "CloseJoystickOutput", "ReleaseCameraSource",
                                             "NIM_DELETE"}));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(StoredDefaultKey(), u"<none>");  // nothing is saved at exit
}

TEST_F(MainFrameTest, TheEndOfTheSessionTearsDownAtOnceAndOnlyOnce) {
    struct Row { const char* label; LPARAM flags; const char* exitLine; };
    const Row rows[] = {
        {"logoff", static_cast<LPARAM>(ENDSESSION_LOGOFF), ", at logoff"},
        {"shutdown", 0, ", at shutdown"},
        {"Restart Manager", ENDSESSION_CLOSEAPP, ", at shutdown"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.label);
        if (g_shellTestApp.m_pMainWnd == nullptr) SetUp();
        Command(32777);  // joystick mode
        log.clear();
        supportLog.lines.clear();
        EXPECT_EQ(frame->SendMessage(WM_QUERYENDSESSION, 0, r.flags), TRUE);
        frame->SendMessage(WM_ENDSESSION, FALSE, r.flags);  // another program refused
        EXPECT_TRUE(log.empty());
        frame->SendMessage(WM_ENDSESSION, TRUE, r.flags);
        std::vector<std::string> teardown = {"StopSending", "CloseJoystickOutput in joystick mode",
                                             "ReleaseCameraSource"};
        EXPECT_EQ(log, teardown);
        ASSERT_FALSE(supportLog.lines.empty());
        EXPECT_EQ(supportLog.lines.back(),
                  std::string("Exit: 0 presses, 0 long presses, 0 double presses, 0 chords sent, 0 presses not "
                              "answered while chords went out") +
                      r.exitLine);
        // A report and a tick after it find nothing to poll; the close the
        // frame posted itself destroys it without a second teardown.
        frame->SendMessage(CameraHostReportMessage);
        frame->SendMessage(WM_TIMER, PollTimerId);
        MSG msg;
        while (PeekMessageW(&msg, frame->m_hWnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        EXPECT_EQ(g_shellTestApp.m_pMainWnd, nullptr);
        teardown.push_back("NIM_DELETE");
        EXPECT_EQ(log, teardown);
        EXPECT_EQ(std::count_if(supportLog.lines.begin(), supportLog.lines.end(),
                                [](const std::string& line) { return line.rfind("Exit:", 0) == 0; }),
                  1);
        PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
}

TEST_F(MainFrameTest, ProgramsOkSavesTheRulesAtOnceCancelChangesNothing) {
    dialogs.answerOk = true;
    dialogs.programsResult = {{{u"dexis.exe", u"DEXIS (Space,T)"}, {u"chart.exe", u"Kodak (F5)"}}, true};
    Command(ID_PROGRAMS);
    EXPECT_EQ(dialogs.programsCurrent, 1);
    EXPECT_EQ(frame->Programs(), dialogs.programsResult);
    EXPECT_EQ(profile.GetProfileString(u"Settings\\Programs", u"dexis.exe", u"<none>"), u"DEXIS (Space,T)");
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"OnlyListedPrograms", 9), 1u);

    // A removal deletes the value; Cancel afterwards leaves everything as saved.
    dialogs.programsResult = {{{u"chart.exe", u"Kodak (F5)"}}, true};
    Command(ID_PROGRAMS);
    EXPECT_EQ(profile.GetProfileEntries(u"Settings\\Programs", 10), std::vector<std::u16string>{u"chart.exe"});
    dialogs.answerOk = false;
    dialogs.programsResult = {};
    Command(ID_PROGRAMS);
    EXPECT_EQ(frame->Programs().rules.size(), 1u);
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"OnlyListedPrograms", 9), 1u);
    EXPECT_EQ(StoredDefaultKey(), u"<none>") << "the rules are saved apart from the mode";
}

}  // namespace
}  // namespace brelkin
