#pragma once
// The application: the single-instance guard, the registry key for the
// settings, and the hidden main frame. The About command ends here.
#include <windows.h>

#include "framework/FrameWnd.h"
#include "platform/win32/Handles.h"
#include "framework/WinApp.h"
#include "platform/win32/Win32ForegroundProgram.h"
#include "dialogs/DialogRunner.h"
#include "shell/NotifyIcon.h"
#include "platform/win32/SupportLogFile.h"
#include "platform/win32/Win32ProcessIntegrity.h"
#include "shell/ShellServices.h"
#include "support/RotatingSupportLog.h"

namespace brelkin {

// WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, without WS_VISIBLE: the frame is never shown.
constexpr DWORD MainFrameStyle = 0x00CF8000;

class CTolvacoreApp : public CWinApp {
public:
    CTolvacoreApp();

    // What the shell uses from outside; replace parts before RunApplication.
    ShellServices& Services() { return m_services; }
    void SetDialogRunner(IDialogRunner& dialogs) { m_services.dialogs = &dialogs; }

    bool InitInstance() override;
    int ExitInstance() override;

protected:
    // The user's values over the machine-wide defaults, value by value.
    std::unique_ptr<brelkin::IProfile> LayerProfiles(brelkin::IProfile& user, brelkin::IProfile& machine) override;
    void OnAppAbout();

    DECLARE_MESSAGE_MAP()

private:
    void LogStart();
    void ChooseDisplayLanguage();

    SupportLogFile m_logFile;
    RotatingSupportLog m_supportLog;
    Win32ProcessIntegrity m_integrity;
    Win32NotifyIcon m_shellNotifyIcon;
    Win32ForegroundProgram m_foreground;
    NoDialogRunner m_noDialogs;
    ShellServices m_services;
    UniqueKernelHandle m_instanceEvent;
};

}  // namespace brelkin
