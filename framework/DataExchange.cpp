#include "framework/DataExchange.h"

#include <cwchar>

#include "framework/Dialog.h"
#include "framework/ResourceLanguage.h"
#include "framework/WinApp.h"
#include "resources/lang/TextIds.h"

namespace {

constexpr size_t ScanLimit = 63;

bool IsCWhiteSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

std::wstring ControlText(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

}  // namespace

std::wstring ParseUIntMessage() {
    return LoadStringInLanguage(::GetModuleHandleW(nullptr), IDS_ENTER_POSITIVE_INTEGER);
}

std::wstring UIntRangeMessage(unsigned int minimum, unsigned int maximum) {
    std::wstring message = LoadStringInLanguage(::GetModuleHandleW(nullptr), IDS_ENTER_INTEGER_BETWEEN);
    const std::wstring values[] = {std::to_wstring(minimum), std::to_wstring(maximum)};
    for (int n = 1; n <= 2; ++n) {
        const std::wstring mark = L"{" + std::to_wstring(n) + L"}";
        const size_t at = message.find(mark);
        if (at != std::wstring::npos) message.replace(at, mark.size(), values[n - 1]);
    }
    return message;
}

std::optional<unsigned int> ScanUInt(std::wstring_view text) {
    text = text.substr(0, ScanLimit);
    size_t i = 0;
    while (i < text.size() && IsCWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return std::nullopt;
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - L'0');
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
    }
    // Saturating keeps an overlong number out of range instead of letting it
    // wrap to a value the range check would accept.
    if (overflow) return 0xFFFFFFFFu;
    auto result = static_cast<unsigned int>(value);
    return negative ? 0u - result : result;
}

CDataExchange::CDataExchange(CDialog& dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_dialog(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
    return m_dialog.GetDlgItem(id);
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    m_lastEdit = PrepareCtrl(id);
    return m_lastEdit;
}

bool CDataExchange::Fail(const std::wstring& message) {
    CWinApp* app = CWinApp::Get();
    const wchar_t* caption = app && !app->AppName().empty() ? app->AppName().c_str() : nullptr;
    ::MessageBoxW(m_dialog.GetSafeHwnd(), message.c_str(), caption, MB_ICONEXCLAMATION | MB_OK);
    if (m_lastEdit && ::IsWindowEnabled(m_lastEdit)) {
        // WM_NEXTDLGCTL, unlike SetFocus, also moves the default-button state.
        m_dialog.SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_lastEdit), TRUE);
        ::SendMessageW(m_lastEdit, EM_SETSEL, 0, -1);
    }
    return false;
}

bool DDX_Text(CDataExchange& dx, int id, std::wstring& value) {
    HWND edit = dx.PrepareEditCtrl(id);
    if (dx.m_bSaveAndValidate) {
        value = ControlText(edit);
    } else {
        ::SetWindowTextW(edit, value.c_str());
    }
    return true;
}

bool DDX_Text(CDataExchange& dx, int id, unsigned int& value) {
    HWND edit = dx.PrepareEditCtrl(id);
    if (dx.m_bSaveAndValidate) {
        wchar_t buffer[ScanLimit + 1] = {};
        ::GetWindowTextW(edit, buffer, static_cast<int>(ScanLimit + 1));
        const std::optional<unsigned int> number = ScanUInt(buffer);
        if (!number) return dx.Fail(ParseUIntMessage());
        value = *number;
    } else {
        ::SetWindowTextW(edit, std::to_wstring(value).c_str());
    }
    return true;
}

bool DDV_MinMaxUInt(CDataExchange& dx, unsigned int value, unsigned int minimum, unsigned int maximum) {
    if (!dx.m_bSaveAndValidate) return true;
    if (value < minimum || value > maximum) return dx.Fail(UIntRangeMessage(minimum, maximum));
    return true;
}

bool DDX_Radio(CDataExchange& dx, int id, int& value) {
    HWND control = dx.PrepareCtrl(id);
    if (!control) return true;
    if (dx.m_bSaveAndValidate) value = -1;
    HWND dialog = dx.m_dialog.GetSafeHwnd();
    // The group runs from `id` to the next control that starts a group.
    int index = 0;
    do {
        const LRESULT code = ::SendMessageW(control, WM_GETDLGCODE, 0, 0);
        if (code & DLGC_RADIOBUTTON) {
            if (dx.m_bSaveAndValidate) {
                if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
            } else {
                ::SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        control = ::GetWindow(control, GW_HWNDNEXT);
    } while (control && !(::GetWindowLongW(control, GWL_STYLE) & WS_GROUP) && ::GetParent(control) == dialog);
    return true;
}

bool DDX_Check(CDataExchange& dx, int id, bool& value) {
    HWND control = dx.PrepareCtrl(id);
    if (!control) return true;
    if (dx.m_bSaveAndValidate) {
        value = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    } else {
        ::SendMessageW(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return true;
}
