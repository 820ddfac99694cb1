#include "framework/Wnd.h"

#include <atomic>

namespace {

const wchar_t ObjectProperty[] = L"BrelkinWindowObject";

// GetPropW is a round trip to the window server under Wine (tens of
// microseconds), paid on every message, the poll timer's included. The last
// lookup is kept per thread and trusted only while no window has been
// attached or detached since.
std::atomic<unsigned> g_attachments{0};
struct LastLookup {
    HWND hwnd = nullptr;
    CWnd* wnd = nullptr;
    unsigned attachments = 0;
};
thread_local LastLookup t_lastLookup;

// The window that CreateEx is creating on this thread: its first messages
// (WM_GETMINMAXINFO comes before WM_NCCREATE) arrive before CreateWindowExW
// returns its handle.
thread_local CWnd* t_creating = nullptr;

// The message being handled on this thread, innermost first, for Default().
// It lives on the stack of RouteMessage, not in the object, because a handler
// may delete its own object.
struct CurrentMessage {
    CWnd* wnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    CurrentMessage* outer;
};
thread_local CurrentMessage* t_current = nullptr;

LRESULT FailedResult(UINT message) {
    if (message == WM_NCCREATE) return FALSE;
    if (message == WM_CREATE) return -1;
    return 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd) {
        HWND hwnd = Detach();
        ::DestroyWindow(hwnd);
    }
}

const wchar_t* CWnd::DefaultClassName() {
    static const wchar_t name[] = L"BrelkinWnd";
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::StaticWndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    return name;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    void* createParam) {
    CWnd* outer = t_creating;
    t_creating = this;
    HWND hwnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height,
                                  parent, menuOrId, ::GetModuleHandleW(nullptr), createParam);
    t_creating = outer;
    // A failed WM_CREATE has already destroyed the window and detached it.
    return hwnd != nullptr;
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropW(hwnd, ObjectProperty, this);
    ++g_attachments;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || FromHandle(hwnd)) return false;
    Attach(hwnd);
    m_superWndProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    return true;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return nullptr;
    if (m_superWndProc) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superWndProc));
        m_superWndProc = nullptr;
    }
    ::RemovePropW(hwnd, ObjectProperty);
    ++g_attachments;
    m_hWnd = nullptr;
    return hwnd;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    LastLookup& last = t_lastLookup;
    const unsigned attachments = g_attachments.load();
    if (last.hwnd == hwnd && last.attachments == attachments) return last.wnd;
    CWnd* wnd = static_cast<CWnd*>(::GetPropW(hwnd, ObjectProperty));
    last = {hwnd, wnd, attachments};
    return wnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type) {
    return ::MessageBoxW(m_hWnd, text, caption, type);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) {
    return ::SetTimer(m_hWnd, id, elapse, nullptr);
}

bool CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id) != FALSE;
}

bool CWnd::ShowWindow(int command) {
    return ::ShowWindow(m_hWnd, command) != FALSE;
}

bool CWnd::IsWindowVisible() const {
    return m_hWnd && ::IsWindowVisible(m_hWnd);
}

HWND CWnd::GetDlgItem(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}

LRESULT CWnd::Default() {
    for (CurrentMessage* m = t_current; m; m = m->outer) {
        if (m->wnd == this) return DefWindowProc(m->message, m->wParam, m->lParam);
    }
    return 0;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_superWndProc) return ::CallWindowProcW(m_superWndProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    CommandRoute route;
    route.id = LOWORD(wParam);
    // Menus send code 0 and accelerators 1; both are the same command.
    route.code = lParam == 0 ? CommandCodeMenu : HIWORD(wParam);
    return OnCmdMsg(route);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && OnCommand(wParam, lParam)) return 0;
    if (const MessageMapEntry* entry = FindMessageEntry(message)) {
        MessageArgs args;
        args.message = message;
        args.wParam = wParam;
        args.lParam = lParam;
        return entry->thunk(this, args);
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::RouteMessage(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage current{wnd, message, wParam, lParam, t_current};
    t_current = &current;
    LRESULT result;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        result = FailedResult(message);
    }
    t_current = current.outer;
    if (message == WM_NCDESTROY) {
        // The window is gone: detach and let the object end its own life.
        if (wnd->m_hWnd == hwnd) wnd->Detach();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hwnd);
    if (!wnd && t_creating) {
        wnd = t_creating;
        t_creating = nullptr;
        wnd->Attach(hwnd);
    }
    if (!wnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return RouteMessage(wnd, hwnd, message, wParam, lParam);
}
