#include "dialogs/BdaSettingDialog.h"

#include "framework/DataExchange.h"
#include "resources/dialogs/DialogIds.h"

BEGIN_MESSAGE_MAP(CDlgBDASetting, CDialog)
END_MESSAGE_MAP()

CDlgBDASetting::CDlgBDASetting() : CDialog(IDD_BDA_SETTING) {}

bool CDlgBDASetting::DoDataExchange(CDataExchange& dx) {
    return DDX_Radio(dx, IDC_USE_WDM, m_driverIndex);
}
