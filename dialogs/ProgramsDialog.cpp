#include "dialogs/ProgramsDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <utility>

#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "framework/WinApp.h"
#include "framework/WideText.h"
#include "engine/ModeNames.h"
#include "engine/Texts.h"
#include "resources/dialogs/DialogIds.h"

namespace {

constexpr std::size_t MaxFileNameLength = brelkin::MaxProgramFileNameLength;

std::wstring Translated(unsigned id) {
    return ToWide(brelkin::Translate(id));
}

std::wstring RefusalText(brelkin::ProgramNameFault fault) {
    switch (fault) {
    case brelkin::ProgramNameFault::Empty: return Translated(IDS_PROGRAMS_NAME_EMPTY);
    case brelkin::ProgramNameFault::TooLong: return Translated(IDS_PROGRAMS_NAME_TOO_LONG);
    default: return Translated(IDS_PROGRAMS_NAME_INVALID);
    }
}

// The rules store the English name; it is shown as the menu shows it.
std::wstring ModeName(const std::u16string& mode) {
    return ToWide(brelkin::MenuModeName(mode));
}

// Captioned as the data exchange's messages are: with the application's name.
void ShowMessage(HWND dialog, const wchar_t* text, UINT icon) {
    CWinApp* app = CWinApp::Get();
    ::MessageBoxW(dialog, text, app && !app->AppName().empty() ? app->AppName().c_str() : nullptr, icon | MB_OK);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPrograms, CDialog)
    ON_BN_CLICKED(IDC_PROGRAM_ADD, OnAdd)
    ON_BN_CLICKED(IDC_PROGRAM_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_PROGRAM_REMOVE, OnRemove)
    ON_CBN_SELCHANGE(IDC_PROGRAM_MODE, OnModeChange)
    ON_CBN_SELCHANGE(IDC_PROGRAM_NEW, OnProgramPicked)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

CDlgPrograms::CDlgPrograms() : CDialog(IDD_PROGRAMS) {
    // The rule list is a list view; registering its class again costs nothing.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
}

bool CDlgPrograms::DoDataExchange(CDataExchange& dx) {
    return DDX_Check(dx, IDC_ONLY_LISTED, m_rules.onlyListed);
}

BOOL CDlgPrograms::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list = ::GetDlgItem(m_hWnd, IDC_PROGRAM_LIST);
    m_mode = ::GetDlgItem(m_hWnd, IDC_PROGRAM_MODE);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
    RECT client{};
    ::GetClientRect(m_list, &client);
    const int width = client.right - client.left - SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(m_list));
    const unsigned headers[] = {IDS_PROGRAMS_COLUMN_PROGRAM, IDS_PROGRAMS_COLUMN_TITLE, IDS_PROGRAMS_COLUMN_MODE};
    const int widths[] = {width * 3 / 10, width * 3 / 10, width - 2 * (width * 3 / 10)};
    for (int c = 0; c < 3; ++c) {
        std::wstring header = Translated(headers[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = header.data();
        column.cx = widths[c];
        ListView_InsertColumn(m_list, c, &column);
    }

    for (const std::u16string& mode : m_modeNames) {
        ::SendMessageW(m_mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ModeName(mode).c_str()));
    }
    HWND open = ::GetDlgItem(m_hWnd, IDC_PROGRAM_NEW);
    ::SendMessageW(open, CB_LIMITTEXT, MaxFileNameLength, 0);
    // One entry for a program with several windows, as the file system compares names.
    for (std::size_t i = 0; i < m_openWindows.size(); ++i) {
        bool seen = false;
        for (std::size_t j = 0; j < i && !seen; ++j)
            seen = brelkin::SameProgramName(m_openWindows[j].program, m_openWindows[i].program);
        if (!seen)
            ::SendMessageW(open, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(m_openWindows[i].program).c_str()));
    }
    FillList();
    SelectRule(m_rules.rules.empty() ? -1 : 0);
    if (m_rules.onlyListedEnforced) ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ONLY_LISTED), FALSE);
    // No rule of the user's own can be added while the administrator turns them off.
    if (m_rules.userRulesIgnored) {
        for (int id : {IDC_PROGRAM_NEW, IDC_PROGRAM_ADD, IDC_PROGRAM_BROWSE})
            ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    }
    return TRUE;
}

void CDlgPrograms::FillList() {
    ListView_DeleteAllItems(m_list);
    for (std::size_t i = 0; i < m_rules.rules.size(); ++i) {
        std::wstring program = ToWide(brelkin::SplitRuleName(m_rules.rules[i].program).program);
        std::wstring title = TitleText(m_rules.rules[i]);
        std::wstring mode = ModeText(m_rules.rules[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = program.data();
        ListView_InsertItem(m_list, &item);
        ListView_SetItemText(m_list, static_cast<int>(i), 1, title.data());
        ListView_SetItemText(m_list, static_cast<int>(i), 2, mode.data());
    }
}

std::wstring CDlgPrograms::TitleText(const brelkin::ProgramRule& rule) {
    const brelkin::RuleName name = brelkin::SplitRuleName(rule.program);
    return name.titled ? ToWide(name.pattern) : Translated(IDS_PROGRAMS_ANY_WINDOW);
}

std::wstring CDlgPrograms::ModeText(const brelkin::ProgramRule& rule) {
    return ModeName(rule.mode) + (rule.deployed ? Translated(IDS_PROGRAMS_ADMINISTRATOR_MARK) : std::wstring());
}

int CDlgPrograms::SelectedRule() const {
    return ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
}

void CDlgPrograms::SelectRule(int index) {
    if (index >= 0) {
        ListView_SetItemState(m_list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(m_list, index, FALSE);
    }
    ShowSelectedMode();
}

// A rule whose stored mode names nothing shows no mode until one is chosen.
void CDlgPrograms::ShowSelectedMode() {
    const int index = SelectedRule();
    const bool any = index >= 0 && static_cast<std::size_t>(index) < m_rules.rules.size();
    int modeIndex = -1;
    if (any) {
        for (std::size_t m = 0; m < m_modeNames.size(); ++m) {
            if (m_modeNames[m] == m_rules.rules[static_cast<std::size_t>(index)].mode) modeIndex = static_cast<int>(m);
        }
    }
    ::SendMessageW(m_mode, CB_SETCURSEL, static_cast<WPARAM>(modeIndex), 0);
    const brelkin::ProgramRule* rule = any ? &m_rules.rules[static_cast<std::size_t>(index)] : nullptr;
    // Another mode would make a rule the user's own, which would not be used either.
    const bool ownAllowed = !m_rules.userRulesIgnored;
    ::EnableWindow(m_mode, rule != nullptr && !rule->enforced && ownAllowed);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PROGRAM_REMOVE), rule != nullptr && !rule->deployed && ownAllowed);
    std::wstring note;
    if (rule != nullptr && !rule->deployed && !ownAllowed) {
        note = Translated(IDS_PROGRAMS_NOTE_USER_RULES_OFF);
    } else if (rule != nullptr && rule->enforced) {
        note = Translated(IDS_PROGRAMS_NOTE_ENFORCED);
    } else if (rule != nullptr && rule->deployed) {
        note = Translated(IDS_PROGRAMS_NOTE_DEPLOYED);
    } else if (rule != nullptr && rule->deployedMode) {
        note = ToWide(brelkin::Text(IDS_PROGRAMS_NOTE_OVERRIDE, {ToU16(ModeName(*rule->deployedMode))}).Shown());
    }
    ::SetDlgItemTextW(m_hWnd, IDC_PROGRAM_NOTE, note.c_str());
}

LRESULT CDlgPrograms::OnNotify(WPARAM, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    // The user's own rules that are not used are drawn greyed.
    if (header->idFrom == IDC_PROGRAM_LIST && header->code == NM_CUSTOMDRAW && m_rules.userRulesIgnored) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        const std::size_t item = draw->nmcd.dwItemSpec;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && item < m_rules.rules.size() &&
            !m_rules.rules[item].deployed)
            draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
        return CDRF_DODEFAULT;
    }
    if (header->idFrom == IDC_PROGRAM_LIST && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED)) {
            ShowSelectedMode();
        }
    }
    return 0;
}

void CDlgPrograms::Refuse(const std::wstring& text, int field) {
    ShowMessage(m_hWnd, text.c_str(), MB_ICONEXCLAMATION);
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, field)), TRUE);
}

bool CDlgPrograms::AddProgram(std::wstring_view text) {
    if (m_rules.userRulesIgnored) return true;
    const std::u16string pattern = ToU16(FieldText(IDC_PROGRAM_TITLE));
    switch (brelkin::CheckTitlePattern(pattern)) {
    case brelkin::TitlePatternFault::None: break;
    case brelkin::TitlePatternFault::Character:
        Refuse(Translated(IDS_PROGRAMS_PATTERN_INVALID), IDC_PROGRAM_TITLE);
        return false;
    case brelkin::TitlePatternFault::TooLong:
        Refuse(Translated(IDS_PROGRAMS_PATTERN_TOO_LONG), IDC_PROGRAM_TITLE);
        return false;
    }
    std::u16string typed = ToU16(text);
    // A pattern alone edits the selected rule: its program with this pattern.
    // A rule of the administrator's, or one over it, stays and gets a sibling.
    const int selected = SelectedRule();
    brelkin::ProgramRule* edited = nullptr;
    if (typed.find_first_not_of(u" \t") == std::u16string::npos && !pattern.empty() && selected >= 0 &&
        static_cast<std::size_t>(selected) < m_rules.rules.size()) {
        brelkin::ProgramRule& rule = m_rules.rules[static_cast<std::size_t>(selected)];
        typed = brelkin::SplitRuleName(rule.program).program;
        if (!rule.deployed && !rule.deployedMode) edited = &rule;
    }
    if (!pattern.empty()) typed += u'|' + pattern;
    const brelkin::ProgramNameCheck check = brelkin::CheckProgramName(typed);
    if (check.fault != brelkin::ProgramNameFault::None) {
        Refuse(RefusalText(check.fault), IDC_PROGRAM_NEW);
        return false;
    }
    const std::u16string& name = check.name;
    std::size_t index = 0;
    while (index < m_rules.rules.size() && !brelkin::SameProgramName(m_rules.rules[index].program, name)) ++index;
    if (index == m_rules.rules.size() && edited != nullptr) {
        edited->program = name;
        index = static_cast<std::size_t>(selected);
        FillList();
    } else if (index == m_rules.rules.size()) {
        m_rules.rules.push_back({name, m_newRuleMode});
        FillList();
    }
    SelectRule(static_cast<int>(index));
    ::SetDlgItemTextW(m_hWnd, IDC_PROGRAM_NEW, L"");
    ::SetDlgItemTextW(m_hWnd, IDC_PROGRAM_TITLE, L"");
    return true;
}

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

void CDlgPrograms::OnAdd() {
    AddProgram(TypedProgram());
}

// The dialog manager turns Enter in any control that does not take it into
// IDOK; in the program and title fields it means Add. A name typed and not yet added is
// added before the dialog closes, and one that is refused keeps it open, so
// that nothing is saved with a name the user did not see go in.
void CDlgPrograms::OnOK() {
    HWND focus = ::GetFocus();
    for (int id : {IDC_PROGRAM_NEW, IDC_PROGRAM_TITLE}) {
        HWND field = ::GetDlgItem(m_hWnd, id);
        if (focus != nullptr && (focus == field || ::IsChild(field, focus))) {
            OnAdd();
            return;
        }
    }
    const std::wstring typed = TypedProgram();
    if ((typed.find_first_not_of(L" \t") != std::wstring::npos || !FieldText(IDC_PROGRAM_TITLE).empty()) &&
        !AddProgram(typed))
        return;
    CDialog::OnOK();
}

void CDlgPrograms::OnBrowse() {
    // Large enough for a long path; only the file name is kept.
    wchar_t path[32768] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    // The filter is its name and its pattern, each ended by a NUL, and one more NUL.
    const std::wstring filter = Translated(IDS_PROGRAMS_BROWSE_FILTER) + std::wstring(L"\0*.exe\0", 7);
    const std::wstring title = Translated(IDS_PROGRAMS_BROWSE_TITLE);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(sizeof path / sizeof path[0]);
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
    if (::GetOpenFileNameW(&ofn)) AddProgram(path);
}

void CDlgPrograms::OnRemove() {
    const int index = SelectedRule();
    if (index < 0 || static_cast<std::size_t>(index) >= m_rules.rules.size()) return;
    brelkin::ProgramRule& rule = m_rules.rules[static_cast<std::size_t>(index)];
    if (rule.deployed || m_rules.userRulesIgnored) {
        // Remove is greyed for it; this only answers a click that came anyway.
        ShowMessage(m_hWnd, Translated(IDS_PROGRAMS_CANNOT_REMOVE).c_str(), MB_ICONINFORMATION);
        return;
    }
    if (rule.deployedMode) {
        // The administrator's rule is beneath it and applies again.
        rule.mode = *rule.deployedMode;
        rule.deployed = true;
        FillList();
        SelectRule(index);
        return;
    }
    m_rules.rules.erase(m_rules.rules.begin() + index);
    FillList();
    const int count = static_cast<int>(m_rules.rules.size());
    SelectRule(index < count ? index : count - 1);
}

void CDlgPrograms::OnModeChange() {
    const int index = SelectedRule();
    const LRESULT mode = ::SendMessageW(m_mode, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= m_rules.rules.size() || mode < 0 ||
        static_cast<std::size_t>(mode) >= m_modeNames.size())
        return;
    brelkin::ProgramRule& rule = m_rules.rules[static_cast<std::size_t>(index)];
    const std::u16string& chosen = m_modeNames[static_cast<std::size_t>(mode)];
    if (rule.enforced || m_rules.userRulesIgnored || (rule.deployed && chosen == rule.mode)) return;
    rule.mode = chosen;
    // Another mode for the administrator's rule makes it the user's own.
    rule.deployed = false;
    std::wstring text = ModeText(rule);
    ListView_SetItemText(m_list, index, 2, text.data());
    ShowSelectedMode();
}
