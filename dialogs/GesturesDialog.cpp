#include "dialogs/GesturesDialog.h"

#include "engine/Texts.h"
#include "framework/DataExchange.h"
#include "framework/WideText.h"
#include "resources/dialogs/DialogIds.h"

namespace {

constexpr int ModeControls[2] = {IDC_LONG_PRESS_MODE, IDC_DOUBLE_PRESS_MODE};
constexpr int TimeControls[2] = {IDC_LONG_PRESS_TIME, IDC_DOUBLE_PRESS_TIME};

// Seconds as the note says them: 400 ms is "0.4", 150 ms "0.15", 1000 ms "1",
// with the language's decimal separator.
std::u16string Seconds(uint32_t milliseconds) {
    std::u16string text;
    for (char c : std::to_string(milliseconds / 1000)) text += static_cast<char16_t>(c);
    uint32_t fraction = milliseconds % 1000;
    if (fraction == 0) return text;
    text += brelkin::Translate(IDS_DECIMAL_SEPARATOR);
    for (uint32_t unit = 100; fraction != 0; unit /= 10) {
        text += static_cast<char16_t>(u'0' + fraction / unit);
        fraction %= unit;
    }
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgGestures, CDialog)
    ON_EN_CHANGE(IDC_DOUBLE_PRESS_TIME, OnDoubleTimeChange)
END_MESSAGE_MAP()

CDlgGestures::CDlgGestures() : CDialog(IDD_GESTURES) {}

BOOL CDlgGestures::OnInitDialog() {
    for (int control : ModeControls) {
        HWND combo = GetDlgItem(control);
        const std::wstring none = ToWide(brelkin::Translate(IDS_GESTURE_NONE));
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(none.c_str()));
        for (const std::u16string& name : m_modeNames)
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(name).c_str()));
    }
    CDialog::OnInitDialog();
    for (int i = 0; i < 4; ++i)
        if (m_locked[i]) ::EnableWindow(GetDlgItem(i % 2 == 0 ? ModeControls[i / 2] : TimeControls[i / 2]), FALSE);
    ShowNote();
    return TRUE;
}

bool CDlgGestures::DoDataExchange(CDataExchange& dx) {
    brelkin::TriggerMode* modes[2] = {&m_gestures.longPressMode, &m_gestures.doublePressMode};
    for (int i = 0; i < 2; ++i) {
        HWND combo = dx.PrepareCtrl(ModeControls[i]);
        if (dx.m_bSaveAndValidate) {
            const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
            *modes[i] = index > 0 && index <= brelkin::PresetRowCount ? static_cast<brelkin::TriggerMode>(index) : 0;
        } else {
            const brelkin::TriggerMode mode = *modes[i];
            ::SendMessageW(combo, CB_SETCURSEL, mode >= 1 && mode <= brelkin::PresetRowCount ? mode : 0, 0);
        }
    }
    unsigned int longTime = m_gestures.longPressTime;
    unsigned int doubleTime = m_gestures.doublePressTime;
    // A locked time comes back as it went in, whatever its range.
    const bool done =
        DDX_Text(dx, IDC_LONG_PRESS_TIME, longTime) &&
        (m_locked[1] || DDV_MinMaxUInt(dx, longTime, brelkin::LongPressTimeMin, brelkin::LongPressTimeMax)) &&
        DDX_Text(dx, IDC_DOUBLE_PRESS_TIME, doubleTime) &&
        (m_locked[3] || DDV_MinMaxUInt(dx, doubleTime, brelkin::DoublePressTimeMin, brelkin::DoublePressTimeMax));
    if (!done || !dx.m_bSaveAndValidate) return done;
    if (!m_locked[1]) m_gestures.longPressTime = longTime;
    if (!m_locked[3]) m_gestures.doublePressTime = doubleTime;
    return true;
}

void CDlgGestures::OnDoubleTimeChange() { ShowNote(); }

// The note follows the time as it is typed; a time outside the range shows
// the nearest one that OK would accept.
void CDlgGestures::ShowNote() {
    wchar_t typed[16] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_DOUBLE_PRESS_TIME, typed, 16);
    uint32_t time = ScanUInt(typed).value_or(m_gestures.doublePressTime);
    if (time < brelkin::DoublePressTimeMin) time = brelkin::DoublePressTimeMin;
    if (time > brelkin::DoublePressTimeMax) time = brelkin::DoublePressTimeMax;
    const std::u16string note =
        brelkin::FormatText(brelkin::Translate(IDS_GESTURES_SINGLE_PRESS_DELAY), {Seconds(time)});
    ::SetDlgItemTextW(m_hWnd, IDC_GESTURES_NOTE, ToWide(note).c_str());
}
