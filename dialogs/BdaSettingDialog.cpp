#include "dialogs/BdaSettingDialog.h"

#include "framework/DataExchange.h"
#include "resources/dialogs/DialogIds.h"

BEGIN_MESSAGE_MAP(CDlgBDASetting, CDialog)
END_MESSAGE_MAP()

CDlgBDASetting::CDlgBDASetting() : CDialog(IDD_BDA_SETTING) {}

BOOL CDlgBDASetting::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_enforced) {
        for (int id : {IDC_USE_WDM, IDC_USE_BDA}) ::EnableWindow(GetDlgItem(id), FALSE);
        ::ShowWindow(GetDlgItem(IDC_DRIVER_ENFORCED), SW_SHOW);
    }
    return TRUE;
}

bool CDlgBDASetting::DoDataExchange(CDataExchange& dx) {
    return DDX_Radio(dx, IDC_USE_WDM, m_driverIndex);
}
