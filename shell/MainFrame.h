#pragma once
// The hidden main frame: it owns the tray icon, the trigger state, the devices
// and the settings store, brings them up in a fixed order when it is created,
// polls the camera button on its timer and handles the tray menu's commands.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/ActionPreset.h"
#include "engine/ProgramRowResolver.h"
#include "framework/CmdUI.h"
#include "framework/FrameWnd.h"
#include "settings/AppSettings.h"
#include "settings/GestureSettings.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsReport.h"
#include "device/CameraHostProcess.h"
#include "device/CameraStatusLines.h"
#include "shell/FrameDevices.h"
#include "shell/FrameTexts.h"
#include "shell/ShellServices.h"
#include "shell/SystemTray.h"
#include "support/ElevatedTargetCheck.h"
#include "support/LockedSupportLog.h"
#include "support/Notifications.h"

namespace brelkin {

constexpr UINT_PTR PollTimerId = 1;

// The tray menu's command of a row of the preset table, and the row of a
// command (-1: none).
UINT PresetCommandId(int row);
int PresetRowOfCommand(UINT id);

class CMainFrame : public CFrameWnd {
public:
    explicit CMainFrame(ShellServices& services);
    // As TearDown, unless the end of the session did it; the tray icon goes
    // last, with the members.
    ~CMainFrame() override;

    void SelectPreset(int row);
    void SelectJoystickMode();

    CSystemTray& Tray() { return m_tray; }
    const TriggerState& Trigger() const { return m_trigger; }
    const ProgramRuleSet& Programs() const { return m_programs; }

protected:
    int OnCreate(CREATESTRUCTW* createStruct);
    void OnTimer(UINT_PTR id);
    LRESULT OnDeviceChange(WPARAM event, LPARAM data);
    LRESULT OnCameraReport(WPARAM, LPARAM);
    // lParam "Policy": Group Policy has applied a refresh.
    LRESULT OnSettingChange(WPARAM, LPARAM text);
    void OnEndSession(bool ending, UINT flags);
    void OnPreset(UINT id);
    void OnUpdatePreset(CCmdUI* cmdUI);
    void OnCustomSetting();
    void OnUpdateCustomSetting(CCmdUI* cmdUI);
    void OnJoystick();
    void OnUpdateJoystick(CCmdUI* cmdUI);
    void OnRescanCamera();
    void OnDriverSetting();
    void OnPrograms();
    void OnGestures();
    void OnShowSupportLog();
    void OnCameraStatus();

    DECLARE_MESSAGE_MAP()

private:
    // Stops the chords going out, then releases the joystick, the camera
    // objects and the arrival registration, and writes the exit line. Once.
    void TearDown(ProgramEnd end);
    void CompleteTrayMenu();
    // The driver kind's default, the settings, the program rules, the
    // balloons' switch and the poll period: at start-up and at each policy refresh.
    void ReadAllSettings();
    // The settings, the rules, the poll period and the balloons' switch read
    // again, and what changed put to work at once; an announced refresh is logged.
    void ReadPoliciesAgain(bool announced);
    // A dialog's OK, over the policies read again: what the user changed
    // between `opened` and `edited`, where no policy enforces it now.
    void ApplyCustomRowEdits(const ActionPreset& opened, const ActionPreset& edited);
    // True when the kind changed (and is now `chosen`).
    bool ApplyDriverChoice(DriverKind opened, DriverKind chosen);
    void ApplyProgramEdits(const ProgramRuleSet& opened, const ProgramRuleSet& edited);
    bool ModeEnforced() const;
    // The custom row's fields that a policy enforces.
    CustomRowLocks CustomLocks() const;
    // The greyed "Set by your administrator" line, there while the mode is enforced.
    void ShowAdministratorLine();
    void LogSettings();
    void PollCamera();
    void ApplyProgramRules();
    // modeChosen: a mode chosen in the menu, whose name is stored in any case.
    void SaveSettings(bool modeChosen);
    void ReportSaveFailure();
    void NotifyUnlistedProgram(std::u16string_view program);
    void NotifyIfJoystickMissing();
    void LogMode();
    // The last press, as the Camera Status window shows it.
    void RecordPress(const PollOutcome& outcome, bool trial, bool refused, std::u16string_view refusedProgram);
    // Sets the Camera Status window's values; nothing while it is closed.
    void RefreshStatus();
    std::u16string StatusDetails(std::u16string_view lines);

    ShellServices& m_services;
    UniqueIcon m_trayIcon;  // outlives the icon's record in the shell
    CSystemTray m_tray;     // declared first: destroyed last
    TriggerState m_trigger;
    std::unique_ptr<IFrameDevices> m_devices;
    AppSettings m_settings;
    UINT m_pollPeriod = 0;      // what timer 1 runs at now
    UINT m_basePollPeriod = 0;  // the PollPeriod setting
    PolicyDamageLog m_policyDamage;
    ProgramSettings m_programSettings;
    ProgramRuleSet m_programs;
    GestureSettings m_gestures;  // as last read or saved
    ProgramRowResolver m_pressRows;
    NullSupportLog m_noLog;
    // The chord sender writes from its own thread, so every line goes through the lock.
    LockedSupportLog m_lockedLog;
    ISupportLog& m_log;
    Notifications m_notifications;
    std::unique_ptr<ElevatedTargetCheck> m_keyTarget;
    bool m_saveFailureShown = false;
    bool m_tornDown = false;
    PressCounts m_presses;
    unsigned long m_chordsSent = 0;  // handed to the sender
    unsigned long m_unanswered = 0;  // presses while the chords of the one before went out
    std::vector<std::u16string> m_unlistedNotified;
    bool m_trial = false;  // the Camera Status window was the active one at the last poll
    // The last press for the Camera Status window, recorded whether it is
    // open or not, and put into words only while it is open.
    struct LastPress {
        SYSTEMTIME time{};
        TriggerMode mode = 0;
        Gesture gesture = Gesture::Press;
        std::u16string ruleProgram;
        PressChords chords;
        PressNotSent notSent = PressNotSent::None;
        std::u16string refusedProgram;
        unsigned long droppedBefore = 0;  // rows the sender had dropped before this one
    } m_lastPress;
};

}  // namespace brelkin
