#include "dialogs/KeySetDialog.h"

#include "engine/KeyChordNames.h"
#include "engine/Texts.h"
#include "framework/DataExchange.h"
#include "framework/WideText.h"
#include "resources/dialogs/DialogIds.h"

HHOOK g_keyHook = nullptr;
CDlgKeySet* g_keySetTarget = nullptr;

namespace {
constexpr uint16_t KeyShift = 0x10;
constexpr uint16_t KeyCtrl = 0x11;
constexpr uint16_t KeyAlt = 0x12;
constexpr uint16_t KeyEnter = 0x0D;
}  // namespace

BEGIN_MESSAGE_MAP(CDlgKeySet, CDialog)
END_MESSAGE_MAP()

CDlgKeySet::CDlgKeySet() : CDialog(IDD_KEY_SET) {}

CDlgKeySet::~CDlgKeySet() {
    if (m_registered) {
        // Unlink this dialog wherever it sits in the chain of targets, so no
        // hook can report to it once it is gone.
        if (g_keySetTarget == this) {
            g_keySetTarget = m_previousTarget;
        } else {
            for (CDlgKeySet* t = g_keySetTarget; t; t = t->m_previousTarget) {
                if (t->m_previousTarget == this) {
                    t->m_previousTarget = m_previousTarget;
                    break;
                }
            }
        }
        if (g_keyHook == m_hook) g_keyHook = g_keySetTarget ? g_keySetTarget->m_hook : nullptr;
    }
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
}

BOOL CDlgKeySet::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_registered) {
        m_hook = ::SetWindowsHookExW(WH_KEYBOARD, &CDlgKeySet::KeySetHookProc, nullptr,
                                     ::GetCurrentThreadId());
        g_keyHook = m_hook;
        m_previousTarget = g_keySetTarget;
        g_keySetTarget = this;
        m_registered = true;
    }
    return TRUE;
}

bool CDlgKeySet::DoDataExchange(CDataExchange& dx) {
    return DDX_Text(dx, IDC_KEY_SET_TEXT, m_keyText);
}

void CDlgKeySet::OnKeyPressed(uint16_t key) {
    if (key == KeyAlt) m_altHeld = true;
    else if (key == KeyCtrl) m_ctrlHeld = true;
    else if (key == KeyShift) m_shiftHeld = true;
}

void CDlgKeySet::OnKeyReleased(uint16_t key) {
    if (key == KeyAlt) {
        m_altHeld = false;
        return;
    }
    if (key == KeyCtrl) {
        m_ctrlHeld = false;
        return;
    }
    if (key == KeyShift) {
        m_shiftHeld = false;
        return;
    }
    m_key = key;
    m_modifiers = 0;
    if (m_shiftHeld) m_modifiers |= brelkin::ModShift;
    if (m_ctrlHeld) m_modifiers |= brelkin::ModCtrl;
    if (m_altHeld) m_modifiers |= brelkin::ModAlt;
    m_keyText = ToWide(brelkin::FormatKeyChord(m_key, m_modifiers, brelkin::DisplayLanguage()));
    // After the window has ended the object may live on a little; then there
    // is no edit to show the text in.
    if (m_hWnd) SetDlgItemText(IDC_KEY_SET_TEXT, m_keyText.c_str());
}

LRESULT CALLBACK CDlgKeySet::KeySetHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code < 0) return ::CallNextHookEx(g_keyHook, code, wParam, lParam);
    const auto key = static_cast<uint16_t>(wParam & 0xFFFF);
    const bool released = (static_cast<DWORD>(lParam) & 0x80000000u) != 0;
    if (g_keySetTarget) {
        if (released) g_keySetTarget->OnKeyReleased(key);
        else g_keySetTarget->OnKeyPressed(key);
    }
    if (wParam == KeyEnter) return 1;
    return ::CallNextHookEx(g_keyHook, code, wParam, lParam);
}
