// The main frame's life (creation, the end of the session, teardown), its
// message map and the settings dialogs' commands. The tray menu's modes are
// in MainFrameMenu.cpp, the poll and the Camera Status window in
// MainFrameStatus.cpp, the policies in MainFramePolicy.cpp.
#include "shell/MainFrame.h"

#include <mmsystem.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "framework/Dpi.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "settings/SettingsReport.h"
#include "engine/ProgramRules.h"
#include "shell/FrameTexts.h"

namespace brelkin {

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
    ON_MESSAGE(CameraHostReportMessage, OnCameraReport)
    ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
    ON_WM_ENDSESSION()
    ON_COMMAND_RANGE(ID_PRESET_FIRST, ID_PRESET_LAST, OnPreset)
    ON_UPDATE_COMMAND_UI_RANGE(ID_PRESET_FIRST, ID_PRESET_LAST, OnUpdatePreset)
    ON_COMMAND(ID_CUSTOM_SETTING, OnCustomSetting)
    ON_UPDATE_COMMAND_UI(ID_CUSTOM_SETTING, OnUpdateCustomSetting)
    ON_COMMAND(ID_JOYSTICK_BUTTON1, OnJoystick)
    ON_UPDATE_COMMAND_UI(ID_JOYSTICK_BUTTON1, OnUpdateJoystick)
    ON_COMMAND(ID_RESCAN_CAMERA, OnRescanCamera)
    ON_COMMAND(ID_DRIVER_SETTING, OnDriverSetting)
    ON_COMMAND(ID_PROGRAMS, OnPrograms)
    ON_COMMAND(ID_GESTURES, OnGestures)
    ON_COMMAND(ID_SHOW_SUPPORT_LOG, OnShowSupportLog)
    ON_COMMAND(ID_CAMERA_STATUS, OnCameraStatus)
END_MESSAGE_MAP()

namespace {

class NoForegroundProgram final : public IForegroundProgram {
public:
    std::size_t ForegroundImagePath(char16_t*, std::size_t) override { return 0; }
    std::uintptr_t ForegroundWindow(char16_t*, std::size_t, std::size_t& titleLength) override {
        titleLength = 0;
        return 0;
    }
};

IForegroundProgram& ForegroundOf(ShellServices& services) {
    static NoForegroundProgram none;
    return services.foreground ? *services.foreground : none;
}

}  // namespace

CMainFrame::CMainFrame(ShellServices& services)
    : m_services(services),
      m_tray(*services.notifyIcon, services.trayAddRetry),
      m_devices(services.makeDevices(m_trigger.sequenceStep)),
      m_settings(CWinApp::Get()->Profile(), m_trigger, m_devices->Kind(), m_tray),
      m_programSettings(CWinApp::Get()->Profile()),
      m_pressRows(ForegroundOf(services)),
      m_lockedLog(services.supportLog ? *services.supportLog : m_noLog),
      m_log(m_lockedLog),
      m_notifications(m_log, m_tray) {
    m_trigger.pressRows = &m_pressRows;
    if (services.integrity)
        m_keyTarget = std::make_unique<ElevatedTargetCheck>(*services.integrity, m_log, m_notifications);
}

CMainFrame::~CMainFrame() {
    TearDown(ProgramEnd::Exit);
}

void CMainFrame::TearDown(ProgramEnd end) {
    if (m_tornDown) return;
    m_tornDown = true;
    // First, so that no key or modifier is down when the rest goes.
    const unsigned long unsent = m_devices->StopSending();
    m_devices->CloseJoystickOutput(m_trigger.triggerMode == 0);
    m_devices->ReleaseCameraSource();
    const unsigned long sent = m_chordsSent > unsent ? m_chordsSent - unsent : 0;
    m_log.Write(ExitLine(m_presses, sent, m_unanswered, end));
}

// Logoff and shutdown end the process soon after this returns, without
// destroying the frame: what Exit does happens here, settings untouched.
void CMainFrame::OnEndSession(bool ending, UINT flags) {
    if (!ending) return;
    KillTimer(PollTimerId);
    TearDown((flags & ENDSESSION_LOGOFF) != 0 ? ProgramEnd::Logoff : ProgramEnd::Shutdown);
    CFrameWnd::OnEndSession(ending, flags);
    // Where the process lives on (the Restart Manager waits for it to go),
    // it ends as at Exit, and the frame's destruction tears down nothing more.
    PostMessage(WM_CLOSE);
}

int CMainFrame::OnCreate(CREATESTRUCTW* createStruct) {
    if (CFrameWnd::OnCreate(createStruct) == -1) return -1;

    // At the size the notification area draws it, not the large image scaled down.
    m_trayIcon.reset(LoadIconForMetric(::GetModuleHandleW(nullptr), IDI_TRAY, IconMetric::Small));
    if (!m_tray.Create(m_trayIcon.get())) {
        m_log.Write(TrayIconErrorLine());
        MessageBox(reinterpret_cast<const wchar_t*>(Translate(IDS_TRAY_ICON_ERROR).c_str()), AppTitle, MB_OK);
        return -1;
    }
    m_devices->AttachSupport(m_log, m_notifications);
    CompleteTrayMenu();
    m_devices->OpenJoystickOutput();
    const JoystickStatus joystick = m_devices->JoystickOutputStatus();
    // PPJoy is tried first; only where its device did not open is vJoy asked.
    m_log.Write(PPJoyDeviceLine(joystick.backEnd == JoystickBackEnd::PPJoy));
    if (joystick.backEnd == JoystickBackEnd::VJoy) {
        m_log.Write(VJoyAcquiredLine());
    } else if (joystick.backEnd == JoystickBackEnd::None) {
        m_log.Write(NoJoystickDriverLine(joystick.refusal));
    }
    m_devices->RegisterCameraArrival(reinterpret_cast<uintptr_t>(m_hWnd));
    ReadAllSettings();
    m_pollPeriod = m_basePollPeriod;
    ApplyProgramRules();
    LogSettings();
    ShowAdministratorLine();
    NotifyIfJoystickMissing();
    m_devices->OpenCamera(m_devices->Kind(), CameraOpenCause::StartUp);
    m_devices->SetPollPeriod(m_pollPeriod);
    SetTimer(PollTimerId, m_devices->TimerPeriod(m_pollPeriod));
    // Held for the life of the process: the 25 ms key holds and the row
    // delays of the chord sender need it.
    ::timeBeginPeriod(1);
    return 0;
}

// The rule list changes only between ticks, so a press never sees half of it.
void CMainFrame::ApplyProgramRules() {
    for (std::size_t index : m_pressRows.SetRules(m_programs, m_trigger.presets)) {
        const ProgramRule& rule = m_programs.rules[index];
        m_log.Write(IgnoredProgramRuleLine(rule.program, rule.mode));
    }
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id == PollTimerId) PollCamera();
    Default();
}

LRESULT CMainFrame::OnDeviceChange(WPARAM event, LPARAM data) {
    // After the end of the session an arrival would open the camera again.
    if (m_tornDown) return 0;
    return m_devices->HandleDeviceChange(event, data);
}

void CMainFrame::NotifyIfJoystickMissing() {
    const JoystickStatus joystick = m_devices->JoystickOutputStatus();
    if (m_trigger.triggerMode != 0 || joystick.backEnd != JoystickBackEnd::None) return;
    Notify(m_notifications, JoystickMissingText(joystick.refusal));
}

// Only what the user changed reaches their key; the rest keeps following the
// machine's defaults.
void CMainFrame::SaveSettings(bool modeChosen) {
    if (!(modeChosen ? m_settings.SaveModeChoice() : m_settings.SaveSettings())) ReportSaveFailure();
}

// Once per program and session: a user who pressed on purpose learns why
// nothing came, and a chart left in front is not named again at every press.
void CMainFrame::NotifyUnlistedProgram(std::u16string_view program) {
    for (const std::u16string& known : m_unlistedNotified)
        if (known == program) return;
    m_unlistedNotified.emplace_back(program);
    Notify(m_notifications, UnlistedProgramText(program));
}

void CMainFrame::ReportSaveFailure() {
    m_log.Write(SaveFailureLine());
    if (m_saveFailureShown) return;
    m_saveFailureShown = true;
    Notify(m_notifications, SaveFailureText());
}

void CMainFrame::OnCustomSetting() {
    const bool customCurrent = m_trigger.triggerMode == CustomRow + 1;
    if (ModeEnforced() && !customCurrent) return;
    const ActionPreset opened = m_trigger.presets[CustomRow];
    ActionPreset edited = opened;
    if (!m_services.dialogs->EditCustomRow(edited, CustomLocks())) return;
    // The whole row changes between two ticks: the poll never sees half of it.
    ApplyCustomRowEdits(opened, edited);
    if (!ModeEnforced()) {
        SelectPreset(CustomRow);
        return;
    }
    // The enforced Custom Setting stays the mode: only the chords are the user's.
    m_trigger.sequenceStep = 0;
    SaveSettings(false);
}

void CMainFrame::OnRescanCamera() {
    m_devices->RescanCamera(CameraOpenCause::UserRescan);
    RefreshStatus();
}

void CMainFrame::OnShowSupportLog() {
    if (m_services.openSupportLog) m_services.openSupportLog();
}

void CMainFrame::OnDriverSetting() {
    const DriverKind opened = m_devices->Kind();
    DriverKind chosen = opened;
    const bool enforced = m_settings.Enforced().Has(settings_names::UseBDA);
    if (!m_services.dialogs->ChooseDriverKind(opened, chosen, enforced)) return;
    if (!ApplyDriverChoice(opened, chosen)) return;
    SaveSettings(false);
    m_devices->RescanCamera(CameraOpenCause::DriverChoice);
    RefreshStatus();
}

void CMainFrame::OnPrograms() {
    const ProgramRuleSet opened = m_programs;
    ProgramRuleSet edited = opened;
    if (!m_services.dialogs->EditProgramRules(edited, m_trigger.presets, m_trigger.triggerMode)) return;
    ApplyProgramEdits(opened, edited);
    RefreshStatus();
}

}  // namespace brelkin
