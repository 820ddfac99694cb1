#pragma once
// The About box: name, version and notice lines, closed with OK.
#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    DECLARE_MESSAGE_MAP()
};
