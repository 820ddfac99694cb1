#include "dialogs/DialogRunner.h"

#include <algorithm>
#include <iterator>

#include "dialogs/AboutDialog.h"
#include "dialogs/BdaSettingDialog.h"
#include "dialogs/CameraStatusDialog.h"
#include "dialogs/CustomSettingDialog.h"
#include "dialogs/GesturesDialog.h"
#include "engine/ModeNames.h"
#include "dialogs/ProgramsDialog.h"
#include "platform/win32/Win32ForegroundProgram.h"

namespace brelkin {

DialogRunner::DialogRunner() = default;
DialogRunner::~DialogRunner() = default;

ICameraStatusWindow& DialogRunner::CameraStatus() {
    if (!m_cameraStatus) m_cameraStatus = std::make_unique<CDlgCameraStatus>();
    return *m_cameraStatus;
}

bool DialogRunner::EditCustomRow(ActionPreset& row, const CustomRowLocks& locks) {
    CDlgCustomSetting dialog;
    std::copy(std::begin(locks.chords), std::end(locks.chords), dialog.m_chordLocked);
    dialog.m_timingLocked = locks.timing;
    dialog.m_delayLocked = locks.delayTime;
    dialog.m_key1 = row.Keys[0];
    dialog.m_key2 = row.Keys[1];
    dialog.m_key3 = row.Keys[2];
    dialog.m_modifiers1 = row.Modifiers[0];
    dialog.m_modifiers2 = row.Modifiers[1];
    dialog.m_modifiers3 = row.Modifiers[2];
    dialog.m_delayTime = row.DelayTime;
    dialog.m_timing = row.OneByOne == 0 ? 1 : 0;
    if (dialog.DoModal() != IDOK) return false;
    row.Keys[0] = dialog.m_key1;
    row.Keys[1] = dialog.m_key2;
    row.Keys[2] = dialog.m_key3;
    row.Modifiers[0] = dialog.m_modifiers1;
    row.Modifiers[1] = dialog.m_modifiers2;
    row.Modifiers[2] = dialog.m_modifiers3;
    row.OneByOne = dialog.m_timing == 0 ? 1 : 0;
    // The accepted range 100..30000 fits in 16 bits.
    row.DelayTime = static_cast<uint16_t>(dialog.m_delayTime & 0xFFFF);
    return true;
}

bool DialogRunner::ChooseDriverKind(DriverKind current, DriverKind& chosen, bool enforced) {
    CDlgBDASetting dialog;
    dialog.m_driverIndex = current;
    dialog.m_enforced = enforced;
    if (dialog.DoModal() != IDOK) return false;
    chosen = enforced ? current : dialog.m_driverIndex;
    return true;
}

void DialogRunner::ShowAbout() {
    CAboutDlg dialog;
    dialog.DoModal();
}

bool DialogRunner::EditProgramRules(ProgramRuleSet& rules, const PresetTable& presets, TriggerMode current) {
    CDlgPrograms dialog;
    dialog.m_rules = rules;
    for (const ActionPreset& row : presets) dialog.m_modeNames.emplace_back(ModeName(row));
    const bool keyMode = current >= 1 && current <= PresetRowCount;
    dialog.m_newRuleMode = dialog.m_modeNames[keyMode ? static_cast<std::size_t>(current - 1) : 0];
    dialog.m_openWindows = OpenProgramWindows();
    if (dialog.DoModal() != IDOK) return false;
    rules = std::move(dialog.m_rules);
    return true;
}

bool DialogRunner::EditGestures(GestureSettings& gestures, const PresetTable& presets, const GestureLocks& locks) {
    CDlgGestures dialog;
    dialog.m_gestures = gestures;
    for (const ActionPreset& row : presets) dialog.m_modeNames.push_back(MenuModeName(ModeName(row)));
    const bool locked[4] = {locks.longPressMode, locks.longPressTime, locks.doublePressMode, locks.doublePressTime};
    std::copy(std::begin(locked), std::end(locked), dialog.m_locked);
    if (dialog.DoModal() != IDOK) return false;
    const GestureSettings chosen = dialog.m_gestures;
    if (!locks.longPressMode) gestures.longPressMode = chosen.longPressMode;
    if (!locks.doublePressMode) gestures.doublePressMode = chosen.doublePressMode;
    gestures.longPressTime = chosen.longPressTime;
    gestures.doublePressTime = chosen.doublePressTime;
    return true;
}

}  // namespace brelkin
