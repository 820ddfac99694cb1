#pragma once
// The "WDM / BDA Setting" dialog: which camera driver library the poll reads.
#include "framework/Dialog.h"

class CDlgBDASetting : public CDialog {
public:
    CDlgBDASetting();

    // The DriverKind itself: 0 WDM, 1 BDA, -1 when neither button is checked.
    int m_driverIndex = 0;
    // Set by an enforced policy: the choice is greyed and the note says why.
    bool m_enforced = false;

protected:
    BOOL OnInitDialog() override;
    bool DoDataExchange(CDataExchange& dx) override;

    DECLARE_MESSAGE_MAP()
};
