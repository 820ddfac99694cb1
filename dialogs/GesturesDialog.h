#pragma once
// The "Long and Double Press" dialog: the mode each gesture sends (None or a
// key mode) and its time, with a line that says how long a single press waits
// while a double press is set.
#include <string>
#include <vector>

#include "engine/ActionPreset.h"
#include "framework/Dialog.h"

class CDlgGestures : public CDialog {
public:
    CDlgGestures();

    // In and out. A mode is 0 (None) or a key mode 1..13.
    brelkin::GestureSettings m_gestures;
    // The key modes' names as the menu shows them, row by row.
    std::vector<std::u16string> m_modeNames;
    // Set by an enforced policy: that control is greyed and keeps its value.
    bool m_locked[4] = {false, false, false, false};  // long mode, long time, double mode, double time

protected:
    BOOL OnInitDialog() override;
    bool DoDataExchange(CDataExchange& dx) override;
    void OnDoubleTimeChange();

    DECLARE_MESSAGE_MAP()

private:
    void ShowNote();
};
