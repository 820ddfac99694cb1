#pragma once
// The "Custom Settings" dialog: the three chords of the custom row, their
// timing and the delay between chords sent at one time.
#include <cstdint>
#include <string>

#include "engine/ActionPreset.h"
#include "framework/Dialog.h"

class CDlgCustomSetting : public CDialog {
public:
    CDlgCustomSetting();

    uint16_t m_key1 = 0, m_key2 = 0, m_key3 = 0;
    brelkin::ModifierMask m_modifiers1 = 0, m_modifiers2 = 0, m_modifiers3 = 0;
    std::wstring m_key1Text, m_key2Text, m_key3Text;
    unsigned int m_delayTime = 0;
    // 0 "One by one", 1 "At one time", -1 none checked.
    int m_timing = 0;
    // Fields that a policy enforces, shown greyed.
    bool m_chordLocked[3] = {false, false, false};
    bool m_timingLocked = false;
    bool m_delayLocked = false;

protected:
    BOOL OnInitDialog() override;
    bool DoDataExchange(CDataExchange& dx) override;

    void OnSetKey1();
    void OnSetKey2();
    void OnSetKey3();
    void OnClearKey2();
    void OnClearKey3();
    void OnOneByOne();
    void OnAtOneTime();

    DECLARE_MESSAGE_MAP()

private:
    // Runs the capture dialog; false when it was cancelled or, if `keepWhenEmpty`,
    // confirmed without a key.
    bool CaptureKey(uint16_t& key, brelkin::ModifierMask& modifiers, std::wstring& text,
                    int editId, bool keepWhenEmpty);
    void ClearKey(uint16_t& key, brelkin::ModifierMask& modifiers, std::wstring& text, int editId);
};
