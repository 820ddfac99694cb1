#include "framework/FrameWnd.h"

#include <string>

#include "framework/CmdUI.h"
#include "framework/Dpi.h"
#include "framework/WinApp.h"

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_INITMENUPOPUP()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_MESSAGE(WM_NCDESTROY, OnNcDestroy)
END_MESSAGE_MAP()

namespace {

// One class per resource set, so that the frame carries that set's icon.
const wchar_t* FrameClassName(HINSTANCE instance, UINT resourceId) {
    static std::wstring name;
    name = L"BrelkinFrame" + std::to_wstring(resourceId);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(instance, name.c_str(), &wc)) return name.c_str();
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CWnd::StaticWndProc;
    wc.hInstance = instance;
    // Each at the size the shell draws it; the class keeps them for the process.
    wc.hIcon = LoadIconForMetric(instance, resourceId, IconMetric::Large);
    wc.hIconSm = LoadIconForMetric(instance, resourceId, IconMetric::Small);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name.c_str();
    ::RegisterClassExW(&wc);
    return name.c_str();
}

std::wstring LoadTitle(HINSTANCE instance, UINT resourceId) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(instance, resourceId, reinterpret_cast<wchar_t*>(&text), 0);
    std::wstring title = length > 0 ? std::wstring(text, length) : std::wstring();
    return title.substr(0, title.find(L'\n'));
}

}  // namespace

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, void* context) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const wchar_t* className = FrameClassName(instance, resourceId);
    const std::wstring title = LoadTitle(instance, resourceId);
    return CreateEx(0, className, title.c_str(), style & ~FWS_ADDTOTITLE, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr,
                    nullptr, context);
}

bool CFrameWnd::OnCmdMsg(const CommandRoute& route) {
    if (CWnd::OnCmdMsg(route)) return true;
    CWinApp* app = CWinApp::Get();
    return app && app->OnCmdMsg(route);
}

int CFrameWnd::OnCreate(CREATESTRUCTW*) {
    return static_cast<int>(Default());
}

void CFrameWnd::OnClose() {
    DestroyWindow();
}

void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT, bool isSystemMenu) {
    if (isSystemMenu) return;
    UpdateMenuItems(popup, *this);
}

bool CFrameWnd::OnQueryEndSession() {
    return true;
}

void CFrameWnd::OnEndSession(bool ending, UINT) {
    // The system may end the process as soon as this returns, without
    // destroying any window, so this is the application's only chance to tidy
    // up. Where the process lives on, the loop's end does not run it again.
    CWinApp* app = CWinApp::Get();
    if (ending && app && app->m_pMainWnd == this) app->EndInstance();
}

LRESULT CFrameWnd::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
    CWinApp* app = CWinApp::Get();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    return Default();
}

void CFrameWnd::PostNcDestroy() {
    delete this;
}
