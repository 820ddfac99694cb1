// The main frame's tray menu: the mode items, made from the preset table,
// and the commands that choose a mode.
#include <windows.h>

#include <string>

#include "engine/ModeNames.h"
#include "resources/resource.h"
#include "settings/Tooltip.h"
#include "shell/FrameTexts.h"
#include "shell/MainFrame.h"

namespace brelkin {

static_assert(ID_PRESET_LAST - ID_PRESET_FIRST + 1 >= CustomRow,
              "resources/resource.h has fewer preset command ids than the table has presets");
static_assert(ID_CUSTOM_SETTING < ID_PRESET_FIRST || ID_CUSTOM_SETTING > ID_PRESET_LAST,
              "Custom Setting has a command of its own");

UINT PresetCommandId(int row) {
    return row == CustomRow ? ID_CUSTOM_SETTING : ID_PRESET_FIRST + static_cast<UINT>(row);
}

int PresetRowOfCommand(UINT id) {
    if (id == ID_CUSTOM_SETTING) return CustomRow;
    // The range keeps room for presets to come: an id past the table is no mode.
    if (id < ID_PRESET_FIRST || id - ID_PRESET_FIRST >= static_cast<UINT>(CustomRow)) return -1;
    return static_cast<int>(id - ID_PRESET_FIRST);
}

void CMainFrame::CompleteTrayMenu() {
    HMENU popup = m_tray.Popup();
    if (popup) {
        // The modes follow Joystick Button 1, one item a row of the table.
        // The built-in names: the menu is completed before the settings load
        // and never rebuilt.
        const int count = ::GetMenuItemCount(popup);
        int joystick = count;
        for (int position = 0; position < count; ++position)
            if (::GetMenuItemID(popup, position) == ID_JOYSTICK_BUTTON1) joystick = position;
        const PresetTable& rows = BuiltInPresets();
        for (int row = 0; row < PresetRowCount; ++row) {
            const std::u16string name = MenuModeName(ModeName(rows[static_cast<std::size_t>(row)]));
            ::InsertMenuW(popup, static_cast<UINT>(joystick + 1 + row), MF_BYPOSITION | MF_STRING,
                          PresetCommandId(row), reinterpret_cast<const wchar_t*>(name.c_str()));
        }
    }
    // By command: the administrator's line moves the items below it.
    m_tray.SetMenuDefaultItem(ID_RESCAN_CAMERA, false);
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

// A command of a greyed mode can still arrive (an accelerator, another
// program): while the mode is enforced it changes nothing and writes nothing.
void CMainFrame::OnPreset(UINT id) {
    const int row = PresetRowOfCommand(id);
    if (row < 0 || ModeEnforced()) return;
    SelectPreset(row);
}

void CMainFrame::OnUpdatePreset(CCmdUI* cmdUI) {
    const bool current = m_trigger.triggerMode == PresetRowOfCommand(cmdUI->m_nID) + 1;
    cmdUI->SetCheck(current);
    cmdUI->Enable(!current && !ModeEnforced());
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

}  // namespace brelkin
