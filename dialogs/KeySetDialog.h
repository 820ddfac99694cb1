#pragma once
// The "Key Set" dialog: records one key with the Shift, Ctrl and Alt keys held
// when it is released. A thread keyboard hook sees the keystrokes before the
// dialog does, so keys the dialog would consume (Tab, arrows, Alt combinations)
// are captured too, and Enter is withheld so that it never confirms the dialog.
#include <cstdint>
#include <string>

#include "engine/ActionPreset.h"
#include "framework/Dialog.h"

class CDlgKeySet : public CDialog {
public:
    CDlgKeySet();
    // Removes the hook this dialog installed.
    ~CDlgKeySet() override;

    // The reaction to one key release, as the hook reports it.
    void OnKeyReleased(uint16_t key);
    // A press (auto-repeat included) as the hook reports it.
    void OnKeyPressed(uint16_t key);

    static LRESULT CALLBACK KeySetHookProc(int code, WPARAM wParam, LPARAM lParam);

    std::wstring m_keyText;
    uint16_t m_key = 0;
    brelkin::ModifierMask m_modifiers = 0;
    bool m_altHeld = false;
    bool m_ctrlHeld = false;
    bool m_shiftHeld = false;

protected:
    BOOL OnInitDialog() override;
    bool DoDataExchange(CDataExchange& dx) override;

    DECLARE_MESSAGE_MAP()

private:
    // Two capture dialogs can be open at once (a second Custom Settings dialog
    // opened from the tray menu). Each keeps the hook it installed and the
    // target it replaced, so that it removes only its own hook and the target
    // goes back to the dialog that is still open.
    HHOOK m_hook = nullptr;
    CDlgKeySet* m_previousTarget = nullptr;
    bool m_registered = false;
};

// The hook that was installed last, and the dialog the hooks report to.
extern HHOOK g_keyHook;
extern CDlgKeySet* g_keySetTarget;
