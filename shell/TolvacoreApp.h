#pragma once
// The application: the single-instance guard, the registry key for the
// settings, and the hidden main frame. The About command ends here.
#include <windows.h>

#include "framework/FrameWnd.h"
#include "platform/win32/Handles.h"
#include "framework/WinApp.h"
#include "platform/win32/RegistryProfile.h"
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
    // Value by value: the enforced policies, the user's own values, the
    // recommended policies, the machine-wide defaults.
    std::unique_ptr<brelkin::IProfile> LayerProfiles(brelkin::IProfile& user, brelkin::IProfile& machine) override;
    void OnAppAbout();

    DECLARE_MESSAGE_MAP()

private:
    void LogStart();
    void ChooseDisplayLanguage();

    // The policy keys, each read afresh at every read, so that a refreshed
    // policy is what the next read finds. The layered profile that refers to
    // them outlives them only while the application object is destroyed.
    RegistryProfile m_enforcedByComputer{BrelkinRegistryKey, BrelkinProfileName, RegistryScope::MachinePolicy, u""};
    RegistryProfile m_enforcedForUser{BrelkinRegistryKey, BrelkinProfileName, RegistryScope::UserPolicy, u""};
    RegistryProfile m_recommendedByComputer{BrelkinRegistryKey, BrelkinProfileName, RegistryScope::MachinePolicy,
                                            u"Recommended"};
    RegistryProfile m_recommendedForUser{BrelkinRegistryKey, BrelkinProfileName, RegistryScope::UserPolicy,
                                         u"Recommended"};
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
