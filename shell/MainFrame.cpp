#include "shell/MainFrame.h"

#include <mmsystem.h>

#include <algorithm>
#include <utility>

#include "framework/WinApp.h"
#include "resources/resource.h"
#include "settings/PollPeriodSetting.h"
#include "settings/Tooltip.h"

namespace brelkin {

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
    ON_COMMAND_RANGE(ID_PRESET_FIRST, ID_PRESET_LAST, OnPreset)
    ON_UPDATE_COMMAND_UI_RANGE(ID_PRESET_FIRST, ID_PRESET_LAST, OnUpdatePreset)
    ON_COMMAND(ID_CUSTOM_SETTING, OnCustomSetting)
    ON_UPDATE_COMMAND_UI(ID_CUSTOM_SETTING, OnUpdateCustomSetting)
    ON_COMMAND(ID_JOYSTICK_BUTTON1, OnJoystick)
    ON_UPDATE_COMMAND_UI(ID_JOYSTICK_BUTTON1, OnUpdateJoystick)
    ON_COMMAND(ID_RESCAN_CAMERA, OnRescanCamera)
    ON_COMMAND(ID_DRIVER_SETTING, OnDriverSetting)
    ON_COMMAND(ID_PROGRAMS, OnPrograms)
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
      m_pressRows(ForegroundOf(services)) {
    m_trigger.pressRows = &m_pressRows;
}

CMainFrame::~CMainFrame() {
    m_devices->CloseJoystickOutput(m_trigger.triggerMode == 0);
    m_devices->ReleaseCameraSource();
}

int CMainFrame::OnCreate(CREATESTRUCTW* createStruct) {
    if (CFrameWnd::OnCreate(createStruct) == -1) return -1;

    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY));
    if (!m_tray.Create(icon)) {
        MessageBox(L"Tray Icon Error", L"Brelkin", MB_OK);
        return -1;
    }
    CompleteTrayMenu();
    m_devices->OpenJoystickOutput();
    m_devices->RegisterCameraArrival(reinterpret_cast<uintptr_t>(m_hWnd));
    m_devices->ChooseDefaultDriverKind();
    m_settings.LoadSettings();
    m_programs = m_programSettings.Load();
    ApplyProgramRules();
    m_devices->OpenCamera(m_devices->Kind());
    m_pollPeriod = ReadPollPeriod(CWinApp::Get()->Profile());
    m_devices->SetPollPeriod(m_pollPeriod);
    SetTimer(PollTimerId, m_pollPeriod);
    // Held for the life of the process: the 25 ms key holds and the row
    // delays of the poll need it.
    ::timeBeginPeriod(1);
    return 0;
}

void CMainFrame::CompleteTrayMenu() {
    HMENU popup = m_tray.Popup();
    if (popup) {
        // The built-in names: the menu is completed before the settings load
        // and never rebuilt.
        const PresetTable& rows = BuiltInPresets();
        for (UINT position = 3; position <= 14; ++position) {
            ::InsertMenuW(popup, position, MF_BYPOSITION | MF_STRING, ID_JOYSTICK_BUTTON1 + position,
                          reinterpret_cast<const wchar_t*>(rows[position - 3].Name));
        }
        ::InsertMenuW(popup, 15, MF_BYPOSITION | MF_STRING, ID_CUSTOM_SETTING,
                      reinterpret_cast<const wchar_t*>(rows[CustomRow].Name));
    }
    m_tray.SetMenuDefaultItem(TrayMenuDefaultPosition, true);
}

// The rule list changes only between ticks, so a press never sees half of it.
void CMainFrame::ApplyProgramRules() {
    (void)m_pressRows.SetRules(m_programs, m_trigger.presets);
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id == PollTimerId) {
        const UINT period = m_devices->PollButton(m_trigger);
        // Setting the same id again replaces the timer's period.
        if (period != m_pollPeriod && SetTimer(PollTimerId, period) != 0) m_pollPeriod = period;
    }
    Default();
}

LRESULT CMainFrame::OnDeviceChange(WPARAM event, LPARAM data) {
    return m_devices->HandleDeviceChange(event, data);
}

void CMainFrame::SelectPreset(int row) {
    if (m_trigger.triggerMode == 0) m_devices->ReleaseJoystickButton();
    m_trigger.sequenceStep = 0;
    m_trigger.triggerMode = row + 1;
    if (m_tray.IsIconPresent()) m_tray.SetTooltipText(PresetTooltip(m_trigger.presets[row]));
    m_settings.SaveSettings();
}

void CMainFrame::SelectJoystickMode() {
    m_trigger.triggerMode = 0;
    if (m_tray.IsIconPresent()) m_tray.SetTooltipText(JoystickTooltip());
    m_settings.SaveSettings();
}

void CMainFrame::OnPreset(UINT id) {
    SelectPreset(static_cast<int>(id - ID_PRESET_FIRST));
}

void CMainFrame::OnUpdatePreset(CCmdUI* cmdUI) {
    const bool current = m_trigger.triggerMode == static_cast<int>(cmdUI->m_nID - ID_PRESET_FIRST) + 1;
    cmdUI->SetCheck(current);
    cmdUI->Enable(!current);
}

void CMainFrame::OnCustomSetting() {
    ActionPreset edited = m_trigger.presets[CustomRow];
    if (!m_services.dialogs->EditCustomRow(edited)) return;
    // The whole row changes between two ticks: the poll never sees half of it.
    ActionPreset& row = m_trigger.presets[CustomRow];
    std::copy(std::begin(edited.Keys), std::end(edited.Keys), row.Keys);
    std::copy(std::begin(edited.Modifiers), std::end(edited.Modifiers), row.Modifiers);
    row.OneByOne = edited.OneByOne ? 1 : 0;
    row.DelayTime = edited.DelayTime;
    SelectPreset(CustomRow);
}

void CMainFrame::OnUpdateCustomSetting(CCmdUI* cmdUI) {
    // Never greyed: choosing it again while it is current edits the row.
    cmdUI->SetCheck(m_trigger.triggerMode == CustomRow + 1);
}

void CMainFrame::OnJoystick() {
    SelectJoystickMode();
}

void CMainFrame::OnUpdateJoystick(CCmdUI* cmdUI) {
    const bool current = m_trigger.triggerMode == 0;
    cmdUI->SetCheck(current);
    cmdUI->Enable(!current);
}

void CMainFrame::OnRescanCamera() {
    m_devices->RescanCamera();
}

void CMainFrame::OnDriverSetting() {
    DriverKind chosen = m_devices->Kind();
    if (!m_services.dialogs->ChooseDriverKind(m_devices->Kind(), chosen)) return;
    if (chosen == m_devices->Kind()) return;
    m_devices->Kind() = chosen;
    m_settings.SaveSettings();
    m_devices->RescanCamera();
}

void CMainFrame::OnPrograms() {
    ProgramRuleSet edited = m_programs;
    if (!m_services.dialogs->EditProgramRules(edited, m_trigger.presets, m_trigger.triggerMode)) return;
    // As every other settings change, kept in memory as the user set it even
    // when a write fails.
    (void)m_programSettings.Save(m_programs, edited);
    m_programs = std::move(edited);
    ApplyProgramRules();
}

}  // namespace brelkin
