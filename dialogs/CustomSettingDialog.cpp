#include "dialogs/CustomSettingDialog.h"

#include "dialogs/KeySetDialog.h"
#include "engine/KeyChordNames.h"
#include "engine/Texts.h"
#include "framework/DataExchange.h"
#include "framework/WideText.h"
#include "resources/dialogs/DialogIds.h"

namespace {
constexpr unsigned int MinDelay = 100;
constexpr unsigned int MaxDelay = 30000;

std::wstring ChordText(uint16_t key, brelkin::ModifierMask modifiers) {
    return ToWide(brelkin::FormatKeyChord(key, modifiers, brelkin::DisplayLanguage()));
}
}  // namespace

BEGIN_MESSAGE_MAP(CDlgCustomSetting, CDialog)
    ON_BN_CLICKED(IDC_SET_KEY1, OnSetKey1)
    ON_BN_CLICKED(IDC_SET_KEY2, OnSetKey2)
    ON_BN_CLICKED(IDC_SET_KEY3, OnSetKey3)
    ON_BN_CLICKED(IDC_CLEAR_KEY2, OnClearKey2)
    ON_BN_CLICKED(IDC_CLEAR_KEY3, OnClearKey3)
    ON_BN_CLICKED(IDC_ONE_BY_ONE, OnOneByOne)
    ON_BN_CLICKED(IDC_AT_ONE_TIME, OnAtOneTime)
END_MESSAGE_MAP()

CDlgCustomSetting::CDlgCustomSetting() : CDialog(IDD_CUSTOM_SETTING) {}

bool CDlgCustomSetting::DoDataExchange(CDataExchange& dx) {
    // The order matters: a failed step leaves the later members untouched.
    return DDX_Text(dx, IDC_KEY1_TEXT, m_key1Text) && DDX_Text(dx, IDC_KEY2_TEXT, m_key2Text) &&
           DDX_Text(dx, IDC_KEY3_TEXT, m_key3Text) && DDX_Text(dx, IDC_DELAY_TIME, m_delayTime) &&
           // An enforced delay is the administrator's, whatever its value, and never saved.
           (m_delayLocked || DDV_MinMaxUInt(dx, m_delayTime, MinDelay, MaxDelay)) &&
           DDX_Radio(dx, IDC_ONE_BY_ONE, m_timing);
}

BOOL CDlgCustomSetting::OnInitDialog() {
    CDialog::OnInitDialog();
    m_key1Text = ChordText(m_key1, m_modifiers1);
    m_key2Text = ChordText(m_key2, m_modifiers2);
    m_key3Text = ChordText(m_key3, m_modifiers3);
    SetDlgItemText(IDC_KEY1_TEXT, m_key1Text.c_str());
    SetDlgItemText(IDC_KEY2_TEXT, m_key2Text.c_str());
    SetDlgItemText(IDC_KEY3_TEXT, m_key3Text.c_str());
    const int chordButtons[3][2] = {{IDC_SET_KEY1, 0}, {IDC_SET_KEY2, IDC_CLEAR_KEY2}, {IDC_SET_KEY3, IDC_CLEAR_KEY3}};
    for (int chord = 0; chord < 3; ++chord) {
        if (!m_chordLocked[chord]) continue;
        for (int id : chordButtons[chord])
            if (id != 0) ::EnableWindow(GetDlgItem(id), FALSE);
    }
    if (m_timingLocked)
        for (int id : {IDC_ONE_BY_ONE, IDC_AT_ONE_TIME}) ::EnableWindow(GetDlgItem(id), FALSE);
    if (m_delayLocked) ::EnableWindow(GetDlgItem(IDC_DELAY_TIME), FALSE);
    return TRUE;
}

bool CDlgCustomSetting::CaptureKey(uint16_t& key, brelkin::ModifierMask& modifiers,
                                   std::wstring& text, int editId, bool keepWhenEmpty) {
    CDlgKeySet capture;
    if (capture.DoModal() != IDOK) return false;
    if (keepWhenEmpty && capture.m_key == 0) return false;
    key = capture.m_key;
    modifiers = capture.m_modifiers;
    text = ChordText(key, modifiers);
    SetDlgItemText(editId, text.c_str());
    return true;
}

void CDlgCustomSetting::ClearKey(uint16_t& key, brelkin::ModifierMask& modifiers,
                                 std::wstring& text, int editId) {
    modifiers = 0;
    key = 0;
    text.clear();
    SetDlgItemText(editId, L"");
}

// Key1 is never emptied here: there is always a first chord to send.
void CDlgCustomSetting::OnSetKey1() {
    CaptureKey(m_key1, m_modifiers1, m_key1Text, IDC_KEY1_TEXT, true);
}

void CDlgCustomSetting::OnSetKey2() {
    CaptureKey(m_key2, m_modifiers2, m_key2Text, IDC_KEY2_TEXT, false);
}

void CDlgCustomSetting::OnSetKey3() {
    CaptureKey(m_key3, m_modifiers3, m_key3Text, IDC_KEY3_TEXT, false);
}

void CDlgCustomSetting::OnClearKey2() {
    ClearKey(m_key2, m_modifiers2, m_key2Text, IDC_KEY2_TEXT);
}

void CDlgCustomSetting::OnClearKey3() {
    ClearKey(m_key3, m_modifiers3, m_key3Text, IDC_KEY3_TEXT);
}

void CDlgCustomSetting::OnOneByOne() {
    ::EnableWindow(GetDlgItem(IDC_DELAY_TIME), FALSE);
}

void CDlgCustomSetting::OnAtOneTime() {
    ::EnableWindow(GetDlgItem(IDC_DELAY_TIME), !m_delayLocked);
}
