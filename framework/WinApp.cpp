#include "framework/WinApp.h"

#include "framework/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(IdAppExit, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(const wchar_t* appName) {
    if (appName) m_appName = appName;
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Get() {
    return g_app;
}

int CWinApp::RunApplication(HINSTANCE instance) {
    m_hInstance = instance;
    if (m_appName.empty()) {
        const wchar_t* text = nullptr;
        const int length =
            ::LoadStringW(instance, IdsAppTitle, reinterpret_cast<wchar_t*>(&text), 0);
        if (length > 0) m_appName.assign(text, length);
    }
    if (!InitInstance()) {
        if (m_pMainWnd) m_pMainWnd->DestroyWindow();
        return EndInstance();
    }
    return Run();
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::ExitInstance() {
    return m_exitCode;
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return EndInstance();
}

int CWinApp::EndInstance() {
    if (!m_ended) {
        m_ended = true;
        m_endResult = ExitInstance();
    }
    return m_endResult;
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}
