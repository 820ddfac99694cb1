#include "dialogs/CameraStatusDialog.h"

#include "resources/dialogs/DialogIds.h"
#include "resources/resource.h"

namespace brelkin {

namespace {

// The mark while the button is down: a colour no dialog face has.
constexpr COLORREF MarkColour = RGB(0, 176, 80);

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// "Camera l&ibrary:" as the clipboard shows it: "Camera library:"; a
// Japanese or Chinese label's "(&I)" goes whole.
std::u16string LabelText(HWND dialog, int id) {
    wchar_t text[128] = {};
    ::GetDlgItemTextW(dialog, id, text, 128);
    std::u16string label;
    for (const wchar_t* c = text; *c; ++c) {
        if (c[0] == L'(' && c[1] == L'&' && c[2] && c[2] != L'&' && c[3] == L')') {
            c += 3;
            continue;
        }
        if (*c == L'&' && c[1] != L'&') continue;
        label += static_cast<char16_t>(*c);
    }
    return label;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgCameraStatus, CDialog)
    ON_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    ON_BN_CLICKED(IDC_STATUS_RESCAN, OnRescan)
    ON_BN_CLICKED(IDC_STATUS_OPEN_LOG, OnOpenLog)
    ON_BN_CLICKED(IDC_STATUS_COPY, OnCopy)
END_MESSAGE_MAP()

CDlgCameraStatus::CDlgCameraStatus() : CDialog(IDD_CAMERA_STATUS) {}

void CDlgCameraStatus::Open(uintptr_t owner, StatusDetails details) {
    m_details = std::move(details);
    if (m_hWnd) {
        if (::IsIconic(m_hWnd)) ::ShowWindow(m_hWnd, SW_RESTORE);
        // Opened from the tray, the program is not in the foreground.
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    m_shown.assign(IDC_STATUS_VALUE_COUNT, std::u16string());
    m_down = false;
    Create(reinterpret_cast<HWND>(owner));
}

bool CDlgCameraStatus::IsActive() {
    return m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd;
}

BOOL CDlgCameraStatus::OnInitDialog() {
    CDialog::OnInitDialog();
    m_markBrush.reset(::CreateSolidBrush(MarkColour));
    // The focus on Close: Enter and Escape both close, and a press tried here
    // types nothing into a field.
    ::SetFocus(GetDlgItem(IDCANCEL));
    return FALSE;
}

// Enter with the focus on a field: the window stays, as Close is its default.
void CDlgCameraStatus::OnOK() {}

void CDlgCameraStatus::Show(const std::vector<std::u16string>& values, bool buttonDown) {
    if (!m_hWnd) return;
    for (std::size_t i = 0; i < values.size() && i < m_shown.size(); ++i) {
        if (values[i] == m_shown[i]) continue;
        m_shown[i] = values[i];
        SetDlgItemText(IDC_STATUS_VALUE_FIRST + static_cast<int>(i), Wide(values[i]));
    }
    if (buttonDown != m_down) {
        m_down = buttonDown;
        ::InvalidateRect(GetDlgItem(IDC_STATUS_MARK), nullptr, TRUE);
    }
}

LRESULT CDlgCameraStatus::OnCtlColorStatic(WPARAM, LPARAM control) {
    if (m_down && m_markBrush && reinterpret_cast<HWND>(control) == GetDlgItem(IDC_STATUS_MARK))
        return reinterpret_cast<LRESULT>(m_markBrush.get());
    return Default();
}

std::u16string CDlgCameraStatus::Lines() const {
    std::u16string lines;
    for (int i = 0; i < IDC_STATUS_VALUE_COUNT; ++i) {
        lines += LabelText(m_hWnd, IDC_STATUS_LABEL_FIRST + i) + u" " +
                 (static_cast<std::size_t>(i) < m_shown.size() ? m_shown[static_cast<std::size_t>(i)] : u"") +
                 u"\r\n";
    }
    return lines;
}

void CDlgCameraStatus::ToOwner(UINT command) {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner) ::PostMessageW(owner, WM_COMMAND, command, 0);
}

void CDlgCameraStatus::OnRescan() {
    ToOwner(ID_RESCAN_CAMERA);
}

void CDlgCameraStatus::OnOpenLog() {
    ToOwner(ID_SHOW_SUPPORT_LOG);
}

void CDlgCameraStatus::OnCopy() {
    const std::u16string lines = Lines();
    std::u16string text = m_details ? m_details(lines) : lines;
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return;
    if (void* target = ::GlobalLock(memory)) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char16_t*>(target));
        ::GlobalUnlock(memory);
    }
    if (!::OpenClipboard(m_hWnd)) {
        ::GlobalFree(memory);
        return;
    }
    ::EmptyClipboard();
    // The clipboard owns the memory once it took it.
    if (!::SetClipboardData(CF_UNICODETEXT, memory)) ::GlobalFree(memory);
    ::CloseClipboard();
}

}  // namespace brelkin
