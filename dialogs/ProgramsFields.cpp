// The Programs dialog's fields: the typed program and title, the titles of
// the picked program's windows, and Browse.
#include "dialogs/ProgramsDialog.h"

#include <commdlg.h>

#include "engine/Texts.h"
#include "framework/WideText.h"
#include "resources/dialogs/DialogIds.h"

// The whole text, however long: a cut one could pass as another name.
std::wstring CDlgPrograms::FieldText(int id) const {
    HWND field = ::GetDlgItem(m_hWnd, id);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring CDlgPrograms::TypedProgram() const {
    return FieldText(IDC_PROGRAM_NEW);
}

// The titles of the picked program's windows, to choose from; the field
// keeps what was typed in it.
void CDlgPrograms::OnProgramPicked() {
    HWND programs = ::GetDlgItem(m_hWnd, IDC_PROGRAM_NEW);
    const LRESULT picked = ::SendMessageW(programs, CB_GETCURSEL, 0, 0);
    if (picked < 0) return;
    std::wstring program(static_cast<std::size_t>(::SendMessageW(programs, CB_GETLBTEXTLEN, picked, 0)) + 1, L'\0');
    program.resize(static_cast<std::size_t>(
        ::SendMessageW(programs, CB_GETLBTEXT, picked, reinterpret_cast<LPARAM>(program.data()))));
    HWND titles = ::GetDlgItem(m_hWnd, IDC_PROGRAM_TITLE);
    const std::wstring typed = FieldText(IDC_PROGRAM_TITLE);
    ::SendMessageW(titles, CB_RESETCONTENT, 0, 0);
    for (const brelkin::OpenProgramWindow& window : m_openWindows) {
        if (!window.title.empty() && brelkin::SameProgramName(window.program, ToU16(program)))
            ::SendMessageW(titles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(window.title).c_str()));
    }
    ::SetWindowTextW(titles, typed.c_str());
}

void CDlgPrograms::OnBrowse() {
    // Large enough for a long path; only the file name is kept.
    wchar_t path[32768] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    // The filter is its name and its pattern, each ended by a NUL, and one more NUL.
    const std::wstring filter = ToWide(brelkin::Translate(IDS_PROGRAMS_BROWSE_FILTER)) + std::wstring(L"\0*.exe\0", 7);
    const std::wstring title = ToWide(brelkin::Translate(IDS_PROGRAMS_BROWSE_TITLE));
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(sizeof path / sizeof path[0]);
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
    if (::GetOpenFileNameW(&ofn)) AddProgram(path);
}
