#include "shell/TolvacoreApp.h"

#include <commctrl.h>

#include <new>

#include "resources/resource.h"
#include "shell/MainFrame.h"

namespace brelkin {

static_assert(MainFrameStyle == (WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE), "the frame's style word");

BEGIN_MESSAGE_MAP(CTolvacoreApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CTolvacoreApp::CTolvacoreApp() {
    m_services.notifyIcon = &m_shellNotifyIcon;
    m_services.dialogs = &m_noDialogs;
    m_services.foreground = &m_foreground;
    m_services.makeDevices = &MakeWin32FrameDevices;
}

bool CTolvacoreApp::InitInstance() {
    // Auto-reset, not signalled, without a namespace prefix: one instance per
    // user logon. The handle is kept even when the event already existed, so
    // that ExitInstance closes it.
    m_instanceEvent.reset(::CreateEventW(nullptr, FALSE, FALSE, AppName().c_str()));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = 8;
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    SetRegistryKey(L"Morvane");

    auto* frame = new (std::nothrow) CMainFrame(m_services);
    if (!frame) return false;
    m_pMainWnd = frame;
    // A frame whose creation fails destroys itself and posts the quit message,
    // but one whose window could not be made at all would leave the loop
    // running with no window and no icon.
    if (!frame->LoadFrame(IDR_MAINFRAME, MainFrameStyle, nullptr, nullptr) && m_pMainWnd == frame) {
        m_pMainWnd = nullptr;
        delete frame;
        return false;
    }
    return true;
}

int CTolvacoreApp::ExitInstance() {
    m_instanceEvent.reset();
    return CWinApp::ExitInstance();
}

void CTolvacoreApp::OnAppAbout() {
    m_services.dialogs->ShowAbout();
}

}  // namespace brelkin
