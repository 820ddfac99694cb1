#include "shell/MainFrame.h"

#include <mmsystem.h>

#include <algorithm>
#include <utility>

#include <string>

#include "framework/Dpi.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "settings/SettingsReport.h"
#include "engine/KeyChordNames.h"
#include "engine/ModeNames.h"
#include "engine/ProgramRules.h"
#include "engine/Utf8.h"
#include "settings/Tooltip.h"
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
    ON_COMMAND(ID_SHOW_SUPPORT_LOG, OnShowSupportLog)
    ON_COMMAND(ID_CAMERA_STATUS, OnCameraStatus)
END_MESSAGE_MAP()

namespace {

class NoForegroundProgram final : public IForegroundProgram {
public:
    std::size_t ForegroundImagePath(char16_t*, std::size_t) override { return 0; }
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

void CMainFrame::CompleteTrayMenu() {
    HMENU popup = m_tray.Popup();
    if (popup) {
        // The built-in names: the menu is completed before the settings load
        // and never rebuilt.
        const PresetTable& rows = BuiltInPresets();
        for (UINT position = 3; position <= 15; ++position) {
            const UINT id = position == 15 ? ID_CUSTOM_SETTING : ID_JOYSTICK_BUTTON1 + position;
            const std::u16string name = MenuModeName(ModeName(rows[position - 3]));
            ::InsertMenuW(popup, position, MF_BYPOSITION | MF_STRING, id,
                          reinterpret_cast<const wchar_t*>(name.c_str()));
        }
    }
    // By command: the administrator's line moves the items below it.
    m_tray.SetMenuDefaultItem(ID_RESCAN_CAMERA, false);
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

// The camera host has sent readings: they are answered now, not on the
// next tick of timer 1.
LRESULT CMainFrame::OnCameraReport(WPARAM, LPARAM) {
    PollCamera();
    return 0;
}

void CMainFrame::PollCamera() {
    // A report that came after the end of the session.
    if (m_tornDown) return;
    {
        ICameraStatusWindow& status = m_services.dialogs->CameraStatus();
        const bool open = status.IsOpen();
        // A press tried in the Camera Status window goes nowhere and moves
        // nothing on (the devices answer it on a copy of the trigger state).
        const bool trial = open && status.IsActive();
        if (trial != m_trial) {
            m_devices->SetTrial(trial);
            m_trial = trial;
        }
        const PollOutcome outcome = m_devices->PollButton(m_trigger);
        if (outcome.unanswered) ++m_unanswered;
        if (outcome.pressed) {
            ++m_presses;
            std::u16string_view refused;
            const bool wasRefused = m_pressRows.TakeRefusedProgram(refused);
            RecordPress(outcome, trial, wasRefused, refused);
            if (!trial) {
                m_chordsSent += static_cast<unsigned long>(outcome.chordsSent);
                if (outcome.chordsSent > 0 && m_keyTarget) m_keyTarget->CheckKeyTarget();
                if (wasRefused) NotifyUnlistedProgram(refused);
            }
        }
        // Setting the same id again replaces the timer's period.
        const UINT period = outcome.nextPeriod;
        if (period != 0 && period != m_pollPeriod && SetTimer(PollTimerId, m_devices->TimerPeriod(period)) != 0) {
            m_log.Write(PollPeriodLine(period, period > m_pollPeriod));
            m_pollPeriod = period;
        }
        if (open) RefreshStatus();
    }
}

void CMainFrame::RecordPress(const PollOutcome& outcome, bool trial, bool refused,
                             std::u16string_view refusedProgram) {
    LastPress& last = m_lastPress;
    ::GetLocalTime(&last.time);
    last.mode = m_trigger.triggerMode;
    last.ruleProgram.clear();
    last.chords = PressChords{};
    last.refusedProgram.clear();
    last.notSent = trial ? PressNotSent::StatusInFront : PressNotSent::None;
    if (m_trigger.triggerMode == 0) {
        if (!trial) last.notSent = PressNotSent::JoystickMode;
    } else if (outcome.unanswered) {
        last.notSent = PressNotSent::WhileChordsWentOut;
    } else if (refused) {
        last.notSent = PressNotSent::OnlyListedPrograms;
        last.refusedProgram.assign(refusedProgram);
    } else if (outcome.chordsSent > 0) {
        last.chords = m_devices->LastPressChords();
        last.droppedBefore = m_devices->DroppedPresses();
        if (!trial) {
            last.mode = m_pressRows.LastMode();
            last.ruleProgram.assign(m_pressRows.LastRuleProgram());
        }
    }
}

void CMainFrame::RefreshStatus() {
    ICameraStatusWindow& window = m_services.dialogs->CameraStatus();
    if (!window.IsOpen()) return;
    CameraStatusView view;
    view.camera = m_devices->CameraStatusNow();
    if (!view.camera.library.path.empty()) view.libraryVersion = m_devices->LibraryVersion(view.camera.library.path);
    view.driver = m_devices->Kind();
    // One clock for the restart's time and now: the awake one.
    view.nowMs = view.camera.nowMs;
    view.lastFaultTime = view.camera.lastFaultTime;
    view.period = m_pollPeriod;
    view.configuredPeriod = m_basePollPeriod;
    view.joystick = m_devices->JoystickOutputStatus();
    PressRecord& press = view.press;
    const LastPress& last = m_lastPress;
    press.count = m_presses;
    press.time = {last.time.wHour, last.time.wMinute, last.time.wSecond};
    if (last.mode == 0)
        press.mode = MenuModeName(JoystickModeName);
    else if (last.mode >= 1 && last.mode <= PresetRowCount)
        press.mode = MenuModeName(ModeName(m_trigger.presets[static_cast<std::size_t>(last.mode - 1)]));
    press.ruleProgram = last.ruleProgram;
    for (int i = 0; i < last.chords.count && i < 3; ++i) {
        if (i > 0) press.chords += u", ";
        press.chords += FormatKeyChord(last.chords.chords[i].key, last.chords.chords[i].modifiers);
    }
    press.notSent = last.notSent;
    // Only one row goes out at a time: a row dropped since this press was
    // handed over is this press's.
    if (last.notSent == PressNotSent::None && last.chords.count > 0 &&
        m_devices->DroppedPresses() > last.droppedBefore)
        press.notSent = PressNotSent::OtherProgramInFront;
    press.refusedProgram = last.refusedProgram;
    const CameraStatusValues values = DescribeCameraStatus(view);
    window.Show(std::vector<std::u16string>(values.begin(), values.end()),
                view.camera.reading == ButtonReading::Down);
}

namespace {

// The settings lines as the support log's start records them.
class LinesLog final : public ISupportLog {
public:
    void Write(std::string_view event) override { text += FromUtf8(event) + u"\r\n"; }
    std::u16string text;
};

}  // namespace

std::u16string CMainFrame::StatusDetails(std::u16string_view lines) {
    LinesLog settings;
    PolicyDamageLog everyDamagedValue;  // the details name each, also those logged before
    LogSettingsRead(CWinApp::Get()->Profile(), m_trigger, m_devices->Kind(), m_basePollPeriod, settings,
                    everyDamagedValue);
    return StatusDetailsTitle(FromUtf8(BRELKIN_VERSION), sizeof(void*) == 8) + u"\r\n" + std::u16string(lines) +
           StatusDetailsSettingsHeading() + u"\r\n" + settings.text;
}

void CMainFrame::OnCameraStatus() {
    m_services.dialogs->CameraStatus().Open(reinterpret_cast<uintptr_t>(m_hWnd),
                                            [this](std::u16string_view lines) { return StatusDetails(lines); });
    RefreshStatus();
}

LRESULT CMainFrame::OnDeviceChange(WPARAM event, LPARAM data) {
    // After the end of the session an arrival would open the camera again.
    if (m_tornDown) return 0;
    return m_devices->HandleDeviceChange(event, data);
}

void CMainFrame::SelectPreset(int row) {
    if (m_trigger.triggerMode == 0) m_devices->ReleaseJoystickButton();
    m_trigger.sequenceStep = 0;
    m_trigger.triggerMode = row + 1;
    if (m_tray.IsIconPresent()) m_tray.SetTooltipText(PresetTooltip(m_trigger.presets[row]));
    LogMode();
    SaveSettings(true);
    RefreshStatus();
}

void CMainFrame::SelectJoystickMode() {
    m_trigger.triggerMode = 0;
    if (m_tray.IsIconPresent()) m_tray.SetTooltipText(JoystickTooltip());
    LogMode();
    NotifyIfJoystickMissing();
    SaveSettings(true);
    RefreshStatus();
}

void CMainFrame::LogMode() {
    const TriggerMode mode = m_trigger.triggerMode;
    m_log.Write(ModeLine(mode == 0 ? JoystickModeName : PresetText(m_trigger.presets[mode - 1].Name)));
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

// A command of a greyed mode can still arrive (an accelerator, another
// program): while the mode is enforced it changes nothing and writes nothing.
void CMainFrame::OnPreset(UINT id) {
    if (ModeEnforced()) return;
    SelectPreset(static_cast<int>(id - ID_PRESET_FIRST));
}

void CMainFrame::OnUpdatePreset(CCmdUI* cmdUI) {
    const bool current = m_trigger.triggerMode == static_cast<int>(cmdUI->m_nID - ID_PRESET_FIRST) + 1;
    cmdUI->SetCheck(current);
    cmdUI->Enable(!current && !ModeEnforced());
}

void CMainFrame::OnCustomSetting() {
    const bool customCurrent = m_trigger.triggerMode == CustomRow + 1;
    if (ModeEnforced() && !customCurrent) return;
    ActionPreset edited = m_trigger.presets[CustomRow];
    if (!m_services.dialogs->EditCustomRow(edited, CustomLocks())) return;
    // The whole row changes between two ticks: the poll never sees half of it.
    ActionPreset& row = m_trigger.presets[CustomRow];
    std::copy(std::begin(edited.Keys), std::end(edited.Keys), row.Keys);
    std::copy(std::begin(edited.Modifiers), std::end(edited.Modifiers), row.Modifiers);
    row.OneByOne = edited.OneByOne ? 1 : 0;
    row.DelayTime = edited.DelayTime;
    if (!ModeEnforced()) {
        SelectPreset(CustomRow);
        return;
    }
    // The enforced Custom Setting stays the mode: only the chords are the user's.
    m_trigger.sequenceStep = 0;
    SaveSettings(false);
}

void CMainFrame::OnUpdateCustomSetting(CCmdUI* cmdUI) {
    // Greyed only while another mode is enforced: choosing it again while it
    // is current edits the row.
    const bool current = m_trigger.triggerMode == CustomRow + 1;
    cmdUI->SetCheck(current);
    cmdUI->Enable(current || !ModeEnforced());
}

void CMainFrame::OnJoystick() {
    if (ModeEnforced()) return;
    SelectJoystickMode();
}

void CMainFrame::OnUpdateJoystick(CCmdUI* cmdUI) {
    const bool current = m_trigger.triggerMode == 0;
    cmdUI->SetCheck(current);
    cmdUI->Enable(!current && !ModeEnforced());
}

void CMainFrame::OnRescanCamera() {
    m_devices->RescanCamera(CameraOpenCause::UserRescan);
    RefreshStatus();
}

void CMainFrame::OnShowSupportLog() {
    if (m_services.openSupportLog) m_services.openSupportLog();
}

void CMainFrame::OnDriverSetting() {
    DriverKind chosen = m_devices->Kind();
    const bool enforced = m_settings.Enforced().Has(settings_names::UseBDA);
    if (!m_services.dialogs->ChooseDriverKind(m_devices->Kind(), chosen, enforced)) return;
    if (enforced || chosen == m_devices->Kind()) return;
    m_devices->Kind() = chosen;
    SaveSettings(false);
    m_devices->RescanCamera(CameraOpenCause::DriverChoice);
    RefreshStatus();
}

void CMainFrame::OnPrograms() {
    ProgramRuleSet edited = m_programs;
    if (!m_services.dialogs->EditProgramRules(edited, m_trigger.presets, m_trigger.triggerMode)) return;
    // As every other settings change, kept in memory as the user set it even
    // when a write fails.
    if (!m_programSettings.Save(m_programs, edited)) ReportSaveFailure();
    m_programs = std::move(edited);
    ApplyProgramRules();
    RefreshStatus();
}

}  // namespace brelkin
