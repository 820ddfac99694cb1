// The main frame and the administrator's policies: what an enforced value
// locks in the tray menu, and the refresh that Group Policy announces.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "engine/Texts.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "settings/PollPeriodSetting.h"
#include "settings/SettingsReport.h"
#include "shell/FrameTexts.h"
#include "shell/MainFrame.h"

namespace brelkin {

bool CMainFrame::ModeEnforced() const {
    return m_settings.Enforced().Has(settings_names::DefaultKey);
}

CustomRowLocks CMainFrame::CustomLocks() const {
    namespace names = settings_names;
    const EnforcedValues& enforced = m_settings.Enforced();
    const std::u16string_view keys[3] = {names::Key1, names::Key2, names::Key3};
    const std::u16string_view modifiers[3] = {names::KeyEx1, names::KeyEx2, names::KeyEx3};
    CustomRowLocks locks;
    for (int i = 0; i < 3; ++i) locks.chords[i] = enforced.Has(keys[i]) || enforced.Has(modifiers[i]);
    locks.timing = enforced.Has(names::OneByOne);
    locks.delayTime = enforced.Has(names::DelayTime);
    return locks;
}

void CMainFrame::LogSettings() {
    LogSettingsRead(CWinApp::Get()->Profile(), m_settings.LayerStates(), m_trigger, m_devices->Kind(),
                    m_basePollPeriod, m_log, m_policyDamage);
    LogProgramRulesRead(CWinApp::Get()->Profile(), m_log, m_policyDamage);
}

// The driver kind's own default is chosen again before the settings, not the
// kind a policy set last time: it is UseBDA's default. The balloons' switch is
// read before the start-up opens the camera (its problems are the first
// notifications). The program rules are applied by the caller, after the
// refresh has logged a changed mode.
void CMainFrame::ReadAllSettings() {
    IProfile& profile = CWinApp::Get()->Profile();
    m_devices->ChooseDefaultDriverKind();
    m_settings.LoadSettings();
    m_programs = m_programSettings.Load();
    m_gestures = ReadGestureSettings(profile, m_trigger.presets);
    ApplyGestureSettings(m_gestures, m_trigger);
    m_notifications.SetShowBalloons(ReadShowNotifications(profile));
    m_basePollPeriod = ReadPollPeriod(profile);
}

// Above the modes, by command, so that it stays put whatever else the menu holds.
// Without a command handler the menu update pass greys it.
void CMainFrame::ShowAdministratorLine() {
    HMENU popup = m_tray.Popup();
    if (popup == nullptr) return;
    const bool shown = ::GetMenuState(popup, ID_SET_BY_ADMINISTRATOR, MF_BYCOMMAND) != static_cast<UINT>(-1);
    if (ModeEnforced() && !shown) {
        const std::u16string line = Translate(IDS_SET_BY_ADMINISTRATOR);
        ::InsertMenuW(popup, ID_JOYSTICK_BUTTON1, MF_BYCOMMAND | MF_STRING | MF_GRAYED, ID_SET_BY_ADMINISTRATOR,
                      reinterpret_cast<const wchar_t*>(line.c_str()));
    } else if (!ModeEnforced() && shown) {
        ::DeleteMenu(popup, ID_SET_BY_ADMINISTRATOR, MF_BYCOMMAND);
    }
}

// Group Policy broadcasts the text "Policy" after it has applied a refresh
// (wParam tells the computer's from the user's; both are read again alike).
// Other setting changes carry other texts or none.
LRESULT CMainFrame::OnSettingChange(WPARAM, LPARAM text) {
    const auto* area = reinterpret_cast<const wchar_t*>(text);
    // After a logoff's teardown the devices are closed for good.
    if (!m_tornDown && area != nullptr && std::wcscmp(area, L"Policy") == 0) ReadPoliciesAgain(true);
    return 0;
}

// Every value is read again, not only those a policy set before: a policy that
// went away hands the value back to the user's own or the deployed default.
// Registry reads open their key afresh, so this reads what the refresh wrote.
void CMainFrame::ReadPoliciesAgain(bool announced) {
    if (announced) m_log.Write(PolicyRefreshLine());
    const TriggerMode oldMode = m_trigger.triggerMode;
    const ActionPreset oldCustom = m_trigger.presets[CustomRow];
    const DriverKind oldKind = m_devices->Kind();
    const UINT oldPeriod = m_basePollPeriod;
    ReadAllSettings();

    const TriggerMode mode = m_trigger.triggerMode;
    const ActionPreset& custom = m_trigger.presets[CustomRow];
    const bool customChanged = !std::equal(std::begin(custom.Keys), std::end(custom.Keys), oldCustom.Keys) ||
                               !std::equal(std::begin(custom.Modifiers), std::end(custom.Modifiers),
                                           oldCustom.Modifiers) ||
                               custom.OneByOne != oldCustom.OneByOne;
    if (mode != oldMode) {
        if (oldMode == 0) m_devices->ReleaseJoystickButton();
        m_trigger.sequenceStep = 0;
        LogMode();
        NotifyIfJoystickMissing();
    } else if (customChanged && mode == CustomRow + 1) {
        m_trigger.sequenceStep = 0;
    }

    ApplyProgramRules();
    if (m_basePollPeriod != oldPeriod) {
        m_devices->SetPollPeriod(m_basePollPeriod);
        if (SetTimer(PollTimerId, m_devices->TimerPeriod(m_basePollPeriod)) != 0) m_pollPeriod = m_basePollPeriod;
    }
    ShowAdministratorLine();
    if (announced) LogSettings();
    if (m_devices->Kind() != oldKind) m_devices->RescanCamera(CameraOpenCause::PolicyChange);
}

// What a policy enforces is greyed in the dialog and never written; the rest
// is written only where it changed.
void CMainFrame::OnGestures() {
    const EnforcedValues& enforced = m_settings.Enforced();
    GestureLocks locks;
    locks.longPressMode = enforced.Has(settings_names::LongPressKey);
    locks.longPressTime = enforced.Has(settings_names::LongPressTime);
    locks.doublePressMode = enforced.Has(settings_names::DoublePressKey);
    locks.doublePressTime = enforced.Has(settings_names::DoublePressTime);
    const GestureSettings opened = m_gestures;
    GestureSettings chosen = opened;
    if (!m_services.dialogs->EditGestures(chosen, m_trigger.presets, locks)) return;
    // As in the other settings dialogs: only what the user changed, over the
    // policies in force now.
    ReadPoliciesAgain(false);
    GestureSettings applied = m_gestures;
    if (chosen.longPressMode != opened.longPressMode) applied.longPressMode = chosen.longPressMode;
    if (chosen.longPressTime != opened.longPressTime) applied.longPressTime = chosen.longPressTime;
    if (chosen.doublePressMode != opened.doublePressMode) applied.doublePressMode = chosen.doublePressMode;
    if (chosen.doublePressTime != opened.doublePressTime) applied.doublePressTime = chosen.doublePressTime;
    const EnforcedValues& now = m_settings.Enforced();
    if (now.Has(settings_names::LongPressKey)) applied.longPressMode = m_gestures.longPressMode;
    if (now.Has(settings_names::LongPressTime)) applied.longPressTime = m_gestures.longPressTime;
    if (now.Has(settings_names::DoublePressKey)) applied.doublePressMode = m_gestures.doublePressMode;
    if (now.Has(settings_names::DoublePressTime)) applied.doublePressTime = m_gestures.doublePressTime;
    if (!SaveGestureSettings(CWinApp::Get()->Profile(), m_trigger.presets, m_gestures, applied, now))
        ReportSaveFailure();
    m_gestures = applied;
    ApplyGestureSettings(m_gestures, m_trigger);
}

// A settings dialog's OK: Group Policy may have refreshed while it was open
// (the frame read that in the dialog's loop) or have written its keys without
// announcing it yet. Only the fields the user changed are taken, and only
// where no policy enforces them now, so that nothing read before the dialog
// opened is written back.
void CMainFrame::ApplyCustomRowEdits(const ActionPreset& opened, const ActionPreset& edited) {
    ReadPoliciesAgain(false);
    const CustomRowLocks locks = CustomLocks();
    ActionPreset& row = m_trigger.presets[CustomRow];
    for (int i = 0; i < 3; ++i) {
        const bool changed = edited.Keys[i] != opened.Keys[i] || edited.Modifiers[i] != opened.Modifiers[i];
        if (!changed || locks.chords[i]) continue;
        row.Keys[i] = edited.Keys[i];
        row.Modifiers[i] = edited.Modifiers[i];
    }
    if ((edited.OneByOne != 0) != (opened.OneByOne != 0) && !locks.timing) row.OneByOne = edited.OneByOne ? 1 : 0;
    if (edited.DelayTime != opened.DelayTime && !locks.delayTime) row.DelayTime = edited.DelayTime;
}

bool CMainFrame::ApplyDriverChoice(DriverKind opened, DriverKind chosen) {
    ReadPoliciesAgain(false);
    if (chosen == opened || m_settings.Enforced().Has(settings_names::UseBDA) || chosen == m_devices->Kind())
        return false;
    m_devices->Kind() = chosen;
    return true;
}

void CMainFrame::ApplyProgramEdits(const ProgramRuleSet& opened, const ProgramRuleSet& edited) {
    ReadPoliciesAgain(false);
    ProgramRuleSet applied = brelkin::ApplyProgramEdits(opened, edited, m_programs);
    // As every other settings change, kept in memory as the user set it even
    // when a write fails.
    if (!m_programSettings.Save(m_programs, applied)) ReportSaveFailure();
    m_programs = std::move(applied);
    ApplyProgramRules();
}

}  // namespace brelkin
