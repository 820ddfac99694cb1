#include "framework/Dialog.h"

#include <commctrl.h>

#include <vector>

#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "framework/ResourceLanguage.h"
#include "framework/WinApp.h"

namespace {

// The dialog that DoModal is opening on this thread: the dialog procedure sees
// WM_SETFONT before WM_INITDIALOG brings the creation parameter.
thread_local CDialog* t_opening = nullptr;

// The open modeless dialogs; empty, the loop pays nothing. They live on the
// thread of the application's loop only. Not thread_local: built with
// MinGW, a thread-local vector here made every window creation of the
// framework's tests fail under Wine.
std::vector<HWND> g_modeless;

// Messages whose dialog-procedure return value is the result itself, not a
// handled flag (the rest go through DWLP_MSGRESULT).
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

// Stops the dialog manager of Windows 10 1703 and later from rescaling the
// dialog itself as well: ours works the same on every version, and two would
// scale everything twice.
void KeepTheSystemFromRescaling(HWND dialog) {
    using SetBehaviourFunction = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehaviour = [] {
        HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<SetBehaviourFunction>(reinterpret_cast<void*>(
                            ::GetProcAddress(user32, "SetDialogDpiChangeBehavior")))
                      : nullptr;
    }();
    constexpr int DisableAll = 1;  // DDC_DISABLE_ALL
    if (setBehaviour) setBehaviour(dialog, DisableAll, DisableAll);
}

// A control's rectangle in the dialog's client coordinates. A combo box
// counts with its drop-down list, which its window rectangle leaves out.
RECT ControlRect(HWND dialog, HWND control) {
    RECT rect{};
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, 16);
    // Windows answers TRUE, Wine CB_OKAY (0): only the rectangle tells.
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        ::SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rect));
    }
    if (::IsRectEmpty(&rect)) ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ScaleListColumns(HWND control, UINT fromDpi, UINT toDpi) {
    wchar_t className[32] = {};
    ::GetClassNameW(control, className, 32);
    if (lstrcmpiW(className, WC_LISTVIEWW) != 0) return;
    HWND header = ListView_GetHeader(control);
    const int columns = header ? Header_GetItemCount(header) : 0;
    for (int column = 0; column < columns; ++column) {
        ListView_SetColumnWidth(control, column,
                                ScaleForDpi(ListView_GetColumnWidth(control, column), fromDpi, toDpi));
    }
}

}  // namespace

RECT CenteredDialogRect(const RECT& dialog, const RECT* over, const RECT& workArea) {
    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;
    const RECT& centre = over ? *over : workArea;
    LONG left = centre.left + ((centre.right - centre.left) - width) / 2;
    LONG top = centre.top + ((centre.bottom - centre.top) - height) / 2;
    // A dialog larger than the work area keeps its caption and top-left
    // controls on screen.
    if (left + width > workArea.right) left = workArea.right - width;
    if (top + height > workArea.bottom) top = workArea.bottom - height;
    if (left < workArea.left) left = workArea.left;
    if (top < workArea.top) top = workArea.top;
    return RECT{left, top, left + width, top + height};
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

HWND CDialog::FindOwner() const {
    if (m_parent && m_parent->GetSafeHwnd()) return m_parent->GetSafeHwnd();
    // A visible active window of this thread is the dialog that opened this one.
    // The hidden tray window may be active after the tray menu: it is no owner.
    HWND active = ::GetActiveWindow();
    if (active && ::IsWindowVisible(active)) return active;
    CWinApp* app = CWinApp::Get();
    if (app && app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd()) {
        return ::GetLastActivePopup(app->m_pMainWnd->GetSafeHwnd());
    }
    return nullptr;
}

INT_PTR CDialog::DoModal() {
    CDialog* outer = t_opening;
    t_opening = this;
    // The system's modal loop disables the owner and enables it again before
    // it returns.
    HMODULE module = ::GetModuleHandleW(nullptr);
    const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(
        LoadResourceInLanguage(module, RT_DIALOG, MAKEINTRESOURCEW(m_templateId)));
    const INT_PTR result =
        dialogTemplate ? ::DialogBoxIndirectParamW(module, dialogTemplate, FindOwner(), &CDialog::StaticDialogProc,
                                                   reinterpret_cast<LPARAM>(this))
                       : -1;
    t_opening = outer;
    if (m_hWnd) Detach();
    return result;
}

bool CDialog::Create(HWND owner) {
    CDialog* outer = t_opening;
    t_opening = this;
    m_modeless = true;
    // The template of the language shown, as DoModal takes it: CreateDialogParamW
    // would leave the language to FindResource, not to Brelkin.
    HMODULE module = ::GetModuleHandleW(nullptr);
    const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(
        LoadResourceInLanguage(module, RT_DIALOG, MAKEINTRESOURCEW(m_templateId)));
    HWND hwnd = dialogTemplate ? ::CreateDialogIndirectParamW(module, dialogTemplate, owner, &CDialog::StaticDialogProc,
                                                              reinterpret_cast<LPARAM>(this))
                               : nullptr;
    t_opening = outer;
    if (!hwnd) return false;
    g_modeless.push_back(hwnd);
    ::ShowWindow(hwnd, SW_SHOW);
    return true;
}

bool CDialog::PreTranslateModeless(MSG& msg) {
    // By index: a message the dialog takes may destroy it, and the list with it.
    for (std::size_t i = 0; i < g_modeless.size(); ++i) {
        if (::IsDialogMessageW(g_modeless[i], &msg)) return true;
    }
    return false;
}

void CDialog::EndDialog(INT_PTR result) {
    if (!m_hWnd) return;
    if (m_modeless) {
        ::DestroyWindow(m_hWnd);
        return;
    }
    ::EndDialog(m_hWnd, result);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate);
    return DoDataExchange(dx);
}

bool CDialog::SetDlgItemText(int id, const wchar_t* text) {
    return m_hWnd && ::SetDlgItemTextW(m_hWnd, id, text) != FALSE;
}

void CDialog::PlaceOnOpen() {
    RECT dialog{};
    if (!::GetWindowRect(m_hWnd, &dialog)) return;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    wchar_t ownerClass[16] = {};
    const bool overDialog = owner && ::IsWindowVisible(owner) && !::IsIconic(owner) &&
                            ::GetClassNameW(owner, ownerClass, 16) && lstrcmpW(ownerClass, L"#32770") == 0;
    RECT ownerRect{};
    if (overDialog) ::GetWindowRect(owner, &ownerRect);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HMONITOR monitor = overDialog ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                  : ::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(monitor, &info)) return;
    const RECT placed = CenteredDialogRect(dialog, overDialog ? &ownerRect : nullptr, info.rcWork);
    ::SetWindowPos(m_hWnd, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Opened from the tray, the program is not in the foreground, and the
    // dialog would open behind the imaging program.
    ::SetForegroundWindow(m_hWnd);
}

void CDialog::RescaleForDpi(UINT dpi, const RECT& suggested) {
    const UINT oldDpi = m_dpi;
    m_dpi = dpi;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (oldDpi == 0 || dpi == 0 || oldDpi == dpi) {
        ::SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, flags);
        return;
    }
    // The rectangles are read before anything moves.
    struct Control {
        HWND window;
        RECT rect;
    };
    std::vector<Control> controls;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back({child, ScaleRectForDpi(ControlRect(m_hWnd, child), oldDpi, dpi)});
    }
    // The dialog manager's own font stays its own (it deletes it with the
    // dialog); the controls get one of ours at the new scale.
    HFONT current = m_scaledFont ? m_scaledFont.get()
                                 : reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    UniqueFont scaled;
    if (current && ::GetObjectW(current, sizeof font, &font) == sizeof font) {
        font.lfHeight = ScaleForDpi(font.lfHeight, oldDpi, dpi);
        scaled.reset(::CreateFontIndirectW(&font));
    }
    ::SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, flags);
    for (const Control& control : controls) {
        if (scaled) ::SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(scaled.get()), FALSE);
        // After the font: a combo box sets its own field height from it.
        ::SetWindowPos(control.window, nullptr, control.rect.left, control.rect.top,
                       control.rect.right - control.rect.left, control.rect.bottom - control.rect.top, flags);
        ScaleListColumns(control.window, oldDpi, dpi);
    }
    // The controls no longer use the font of the step before.
    if (scaled) m_scaledFont = std::move(scaled);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

bool CDialog::DoDataExchange(CDataExchange&) {
    return true;
}

void CDialog::OnOK() {
    // A failed exchange has shown its message and keeps the dialog open.
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM) {
    if (m_unhandled) *m_unhandled = true;
    return 0;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = static_cast<CDialog*>(CWnd::FromHandle(hwnd));
    if (!dialog && t_opening) {
        dialog = t_opening;
        t_opening = nullptr;
        dialog->Attach(hwnd);
    }
    if (!dialog) return FALSE;

    if (message == WM_INITDIALOG) {
        // Before the dialog is placed: a move to a monitor of another scale
        // rescales it from the scale it was made for.
        KeepTheSystemFromRescaling(hwnd);
        dialog->m_dpi = WindowDpi(hwnd);
        dialog->m_scaledFont.reset();
        BOOL focus = TRUE;
        try {
            focus = dialog->OnInitDialog();
        } catch (...) {
            // No exception crosses the dialog procedure; the dialog opens as it is.
        }
        dialog->PlaceOnOpen();
        return focus;
    }
    if (message == WM_DPICHANGED && lParam) {
        dialog->RescaleForDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
    }

    bool* outer = dialog->m_unhandled;
    bool unhandled = false;
    dialog->m_unhandled = &unhandled;
    if (message == WM_NCDESTROY) {
        auto& open = g_modeless;
        for (auto it = open.begin(); it != open.end(); ++it) {
            if (*it == hwnd) {
                open.erase(it);
                break;
            }
        }
    }
    const LRESULT result = CWnd::RouteMessage(dialog, hwnd, message, wParam, lParam);
    // RouteMessage detaches the object on WM_NCDESTROY; it is still alive here.
    dialog->m_unhandled = outer;
    if (unhandled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
