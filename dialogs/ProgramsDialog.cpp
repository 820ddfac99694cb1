#include "dialogs/ProgramsDialog.h"

#include <commctrl.h>

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
    ON_CBN_SELCHANGE(IDC_PROGRAM_LONG_PRESS, OnLongPressChange)
    ON_CBN_SELCHANGE(IDC_PROGRAM_DOUBLE_PRESS, OnDoublePressChange)
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
    const int combos[] = {IDC_PROGRAM_MODE, IDC_PROGRAM_LONG_PRESS, IDC_PROGRAM_DOUBLE_PRESS};
    for (int g = 0; g < 3; ++g) m_modes[g] = ::GetDlgItem(m_hWnd, combos[g]);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
    RECT client{};
    ::GetClientRect(m_list, &client);
    const int width = client.right - client.left - SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(m_list));
    const unsigned headers[] = {IDS_PROGRAMS_COLUMN_PROGRAM, IDS_PROGRAMS_COLUMN_TITLE, IDS_PROGRAMS_COLUMN_MODE,
                                IDS_PROGRAMS_COLUMN_LONG_PRESS, IDS_PROGRAMS_COLUMN_DOUBLE_PRESS};
    const int widths[] = {width / 5, width / 5, width / 5, width / 5, width - 4 * (width / 5)};
    for (int c = 0; c < 5; ++c) {
        std::wstring header = Translated(headers[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = header.data();
        column.cx = widths[c];
        ListView_InsertColumn(m_list, c, &column);
    }

    const std::wstring everyProgram = Translated(IDS_PROGRAMS_EVERY_PROGRAM);
    for (int g = 1; g < 3; ++g) ::SendMessageW(m_modes[g], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(everyProgram.c_str()));
    for (const std::u16string& mode : m_modeNames) {
        for (HWND combo : m_modes) ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ModeName(mode).c_str()));
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
    SelectRule(m_rows.empty() ? -1 : 0);
    if (m_rules.onlyListedEnforced) ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ONLY_LISTED), FALSE);
    // No rule of the user's own can be added while the administrator turns them off.
    if (m_rules.userRulesIgnored) {
        for (int id : {IDC_PROGRAM_NEW, IDC_PROGRAM_ADD, IDC_PROGRAM_BROWSE})
            ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    }
    return TRUE;
}

std::vector<brelkin::ProgramRule>& CDlgPrograms::Rules(int gesture) {
    return gesture == 1 ? m_rules.longPressRules : gesture == 2 ? m_rules.doublePressRules : m_rules.rules;
}

brelkin::ProgramRule* CDlgPrograms::RuleOf(int gesture, std::u16string_view name) {
    return const_cast<brelkin::ProgramRule*>(brelkin::FindProgramRule(Rules(gesture), name));
}

const brelkin::ProgramRule* CDlgPrograms::RowRule(std::u16string_view name) {
    for (int g = 0; g < 3; ++g)
        if (const brelkin::ProgramRule* rule = RuleOf(g, name)) return rule;
    return nullptr;
}

void CDlgPrograms::FillList() {
    ListView_DeleteAllItems(m_list);
    m_rows.clear();
    for (int g = 0; g < 3; ++g) {
        for (const brelkin::ProgramRule& rule : Rules(g)) {
            bool listed = false;
            for (const std::u16string& row : m_rows) listed = listed || brelkin::SameProgramName(row, rule.program);
            if (!listed) m_rows.push_back(rule.program);
        }
    }
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        std::wstring program = ToWide(brelkin::SplitRuleName(m_rows[i]).program);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = program.data();
        ListView_InsertItem(m_list, &item);
        std::wstring texts[4] = {TitleText(m_rows[i])};
        for (int g = 0; g < 3; ++g) {
            const brelkin::ProgramRule* rule = RuleOf(g, m_rows[i]);
            texts[g + 1] = rule != nullptr ? ModeText(*rule) : Translated(IDS_PROGRAMS_EVERY_PROGRAM);
        }
        for (int c = 0; c < 4; ++c) ListView_SetItemText(m_list, static_cast<int>(i), c + 1, texts[c].data());
    }
}

void CDlgPrograms::Refill(std::u16string name) {
    const int index = SelectedRule();
    FillList();
    int row = 0;
    while (static_cast<std::size_t>(row) < m_rows.size() && !brelkin::SameProgramName(m_rows[row], name)) ++row;
    const int count = static_cast<int>(m_rows.size());
    SelectRule(row < count ? row : index < count ? index : count - 1);
}

std::wstring CDlgPrograms::TitleText(std::u16string_view ruleName) {
    const brelkin::RuleName name = brelkin::SplitRuleName(ruleName);
    return name.titled ? ToWide(name.pattern) : Translated(IDS_PROGRAMS_ANY_WINDOW);
}

std::wstring CDlgPrograms::ModeText(const brelkin::ProgramRule& rule) {
    return ModeName(rule.mode) + (rule.deployed ? Translated(IDS_PROGRAMS_ADMINISTRATOR_MARK) : std::wstring());
}

int CDlgPrograms::SelectedRule() const {
    return ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
}

const std::u16string* CDlgPrograms::SelectedName() const {
    const int index = SelectedRule();
    return index >= 0 && static_cast<std::size_t>(index) < m_rows.size() ? &m_rows[static_cast<std::size_t>(index)]
                                                                          : nullptr;
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
    const std::u16string* name = SelectedName();
    // Another mode would make a rule the user's own, which would not be used either.
    const bool ownAllowed = !m_rules.userRulesIgnored;
    bool removable = false;
    for (int g = 0; g < 3; ++g) {
        const brelkin::ProgramRule* own = name != nullptr ? RuleOf(g, *name) : nullptr;
        int modeIndex = -1;
        for (std::size_t m = 0; own != nullptr && m < m_modeNames.size(); ++m)
            if (m_modeNames[m] == own->mode) modeIndex = static_cast<int>(m);
        // The gestures' lists begin with "As for every program".
        if (g > 0 && name != nullptr) modeIndex = own == nullptr ? 0 : modeIndex < 0 ? -1 : modeIndex + 1;
        ::SendMessageW(m_modes[g], CB_SETCURSEL, static_cast<WPARAM>(modeIndex), 0);
        ::EnableWindow(m_modes[g], name != nullptr && (own == nullptr || !own->enforced) && ownAllowed);
        removable = removable || (own != nullptr && !own->deployed && ownAllowed);
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PROGRAM_REMOVE), removable);
    const brelkin::ProgramRule* rule = name != nullptr ? RowRule(*name) : nullptr;
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
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && item < m_rows.size() && RowRule(m_rows[item]) != nullptr &&
            !RowRule(m_rows[item])->deployed)
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
    // A pattern alone edits the selected row: its program with this pattern.
    // A rule of the administrator's, or one over it, stays and gets a sibling.
    const std::u16string* selected = SelectedName();
    bool renamed = false;
    if (typed.find_first_not_of(u" \t") == std::u16string::npos && !pattern.empty() && selected != nullptr) {
        typed = brelkin::SplitRuleName(*selected).program;
        renamed = true;
        for (int g = 0; g < 3; ++g) {
            const brelkin::ProgramRule* rule = RuleOf(g, *selected);
            if (rule != nullptr && (rule->deployed || rule->deployedMode)) renamed = false;
        }
    }
    if (!pattern.empty()) typed += u'|' + pattern;
    const brelkin::ProgramNameCheck check = brelkin::CheckProgramName(typed);
    if (check.fault != brelkin::ProgramNameFault::None) {
        Refuse(RefusalText(check.fault), IDC_PROGRAM_NEW);
        return false;
    }
    const std::u16string& name = check.name;
    if (RowRule(name) == nullptr && renamed) {
        for (int g = 0; g < 3; ++g)
            if (brelkin::ProgramRule* rule = RuleOf(g, *selected)) rule->program = name;
    } else if (RowRule(name) == nullptr) {
        m_rules.rules.push_back({name, m_newRuleMode});
    }
    Refill(name);
    ::SetDlgItemTextW(m_hWnd, IDC_PROGRAM_NEW, L"");
    ::SetDlgItemTextW(m_hWnd, IDC_PROGRAM_TITLE, L"");
    return true;
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

void CDlgPrograms::RemoveOwn(std::vector<brelkin::ProgramRule>& rules, std::size_t index) {
    brelkin::ProgramRule& rule = rules[index];
    if (rule.deployedMode) {
        rule.mode = *rule.deployedMode;
        rule.deployed = true;
    } else {
        rules.erase(rules.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

// Every rule of the row that is the user's own goes; the administrator's stay.
void CDlgPrograms::OnRemove() {
    const std::u16string* selected = SelectedName();
    if (selected == nullptr) return;
    const std::u16string name = *selected;
    bool removed = false;
    for (int g = 0; g < 3 && !m_rules.userRulesIgnored; ++g) {
        const brelkin::ProgramRule* rule = RuleOf(g, name);
        if (rule == nullptr || rule->deployed) continue;
        RemoveOwn(Rules(g), static_cast<std::size_t>(rule - Rules(g).data()));
        removed = true;
    }
    if (!removed) {
        // Remove is greyed for such a row; this only answers a click that came anyway.
        ShowMessage(m_hWnd, Translated(IDS_PROGRAMS_CANNOT_REMOVE).c_str(), MB_ICONINFORMATION);
        return;
    }
    Refill(name);
}

void CDlgPrograms::OnModeChange() {
    const LRESULT mode = ::SendMessageW(m_modes[0], CB_GETCURSEL, 0, 0);
    if (mode >= 0) ChangeMode(0, static_cast<int>(mode));
}

void CDlgPrograms::OnLongPressChange() {
    ChangeMode(1, static_cast<int>(::SendMessageW(m_modes[1], CB_GETCURSEL, 0, 0)) - 1);
}

void CDlgPrograms::OnDoublePressChange() {
    ChangeMode(2, static_cast<int>(::SendMessageW(m_modes[2], CB_GETCURSEL, 0, 0)) - 1);
}

void CDlgPrograms::ChangeMode(int gesture, int choice) {
    const std::u16string* selected = SelectedName();
    if (selected == nullptr || m_rules.userRulesIgnored || choice < -1 ||
        (choice >= 0 && static_cast<std::size_t>(choice) >= m_modeNames.size()))
        return;
    const std::u16string name = *selected;
    std::vector<brelkin::ProgramRule>& rules = Rules(gesture);
    brelkin::ProgramRule* rule = RuleOf(gesture, name);
    if (choice < 0) {
        // An enforced or deployed rule cannot be taken away.
        if (rule != nullptr && !rule->deployed) RemoveOwn(rules, static_cast<std::size_t>(rule - rules.data()));
    } else if (rule == nullptr) {
        rules.push_back({name, m_modeNames[static_cast<std::size_t>(choice)]});
    } else if (!rule->enforced && !(rule->deployed && m_modeNames[static_cast<std::size_t>(choice)] == rule->mode)) {
        rule->mode = m_modeNames[static_cast<std::size_t>(choice)];
        // Another mode for the administrator's rule makes it the user's own.
        rule->deployed = false;
    }
    Refill(name);
}
