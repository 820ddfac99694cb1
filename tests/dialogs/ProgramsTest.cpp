// The Programs dialog through the dialog runner: rules in, the user's adding,
// changing and removing, the rules back out on OK and untouched on Cancel.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "dialogs/DialogRunner.h"
#include "engine/ActionPreset.h"
#include "resources/dialogs/DialogIds.h"
#include "tests/dialogs/DialogScript.h"

namespace {

const wchar_t Caption[] = L"Programs";

std::vector<std::wstring> ListRows(HWND d) {
    HWND list = ::GetDlgItem(d, IDC_PROGRAM_LIST);
    std::vector<std::wstring> rows;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        // "program, title = press / long press / double press"
        std::wstring row;
        for (int c = 0; c < 5; ++c) {
            wchar_t text[128] = {};
            ListView_GetItemText(list, i, c, text, 128);
            row += (c == 0 ? L"" : c == 1 ? L", " : c == 2 ? L" = " : L" / ") + std::wstring(text);
        }
        rows.push_back(row);
    }
    return rows;
}

// As a user's choice does: select, then the notification the combo box sends.
void ChooseMode(HWND d, int index, int id = IDC_PROGRAM_MODE) {
    HWND combo = ::GetDlgItem(d, id);
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ::SendMessageW(d, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The long and the double press's columns of a row with no rule of its own for them.
const std::wstring NoGestures = L" / As for every program / As for every program";

DialogScript& Add(DialogScript& script, const wchar_t* typed, const wchar_t* title = L"") {
    return script
        .Do([typed, title] {
            ::SetDlgItemTextW(FindDialog(Caption), IDC_PROGRAM_NEW, typed);
            ::SetDlgItemTextW(FindDialog(Caption), IDC_PROGRAM_TITLE, title);
        })
        .ClickIn(Caption, IDC_PROGRAM_ADD);
}

// Steps that run inside the message box's own loop: its text, then OK.
DialogScript& ReadAndCloseMessage(DialogScript& script, std::wstring& text) {
    return script.WaitFor(L"Tolvacore")
        .Do([&text] {
            HWND box = FindDialog(L"Tolvacore");
            text = MessageBoxText(box);
            ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        })
        .Then([] { return FindDialog(L"Tolvacore") == nullptr; });
}

bool RemoveEnabled() {
    return ::IsWindowEnabled(::GetDlgItem(FindDialog(Caption), IDC_PROGRAM_REMOVE)) != FALSE;
}

void Select(int row) {
    HWND list = ::GetDlgItem(FindDialog(Caption), IDC_PROGRAM_LIST);
    ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}

TEST(ProgramsDialog, AddChangeRemoveAndOkGiveTheEditedRules) {
    brelkin::ProgramRuleSet rules{{{u"old.exe", u"Nothing by this name"}}, false};
    std::vector<std::wstring> afterAdds, atOk;
    int shownModeOfOld = 99;
    DialogScript script;
    script.WaitFor(Caption).Do([&] {
        shownModeOfOld = static_cast<int>(
            ::SendMessageW(::GetDlgItem(FindDialog(Caption), IDC_PROGRAM_MODE), CB_GETCURSEL, 0, 0));
    });
    Add(script, L"one.exe");
    Add(script, L" \"C:\\Imaging\\Two.exe\" ");  // a pasted path keeps its file name
    Add(script, L"chrome", L"*Imaging*");        // a title rule
    Add(script, L"ONE.EXE");                     // already listed: selected, not added
    Add(script, L"bad:name.exe");                // no file name: refused with a message
    std::wstring refusal;
    ReadAndCloseMessage(script, refusal);
    script.Do([] { ::SetDlgItemTextW(FindDialog(Caption), IDC_PROGRAM_NEW, L""); });
    script.Do([&] { afterAdds = ListRows(FindDialog(Caption)); })
        .Do([] { ChooseMode(FindDialog(Caption), 2); })  // one.exe -> Kodak (F5)
        .Do([] { ChooseMode(FindDialog(Caption), 1, IDC_PROGRAM_LONG_PRESS); })  // its long press -> Schick
        .Do([] {
            HWND list = ::GetDlgItem(FindDialog(Caption), IDC_PROGRAM_LIST);
            ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);  // old.exe
        })
        .ClickIn(Caption, IDC_PROGRAM_REMOVE)
        .ClickIn(Caption, IDC_ONLY_LISTED)
        .Do([] { Select(2); });
    Add(script, L"", L"*Imaging - X*")  // a pattern alone edits the selected rule's
        .Do([&] { atOk = ListRows(FindDialog(Caption)); })
        .ClickIn(Caption, IDOK);
    brelkin::DialogRunner runner;
    ASSERT_TRUE(runner.EditProgramRules(rules, brelkin::BuiltInPresets(), 7));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(shownModeOfOld, -1) << "a stored mode that names nothing shows no mode";
    EXPECT_NE(refusal.find(L"cannot be the file name of a program"), std::wstring::npos) << refusal;
    EXPECT_EQ(afterAdds, (std::vector<std::wstring>{L"old.exe, Any window = Nothing by this name" + NoGestures,
                                                    L"one.exe, Any window = DEXIS (Space,T)" + NoGestures,
                                                    L"Two.exe, Any window = DEXIS (Space,T)" + NoGestures,
                                                    L"chrome.exe, *Imaging* = DEXIS (Space,T)" + NoGestures}));
    EXPECT_EQ(atOk, (std::vector<std::wstring>{
                        L"one.exe, Any window = Kodak (F5) / Schick (Alt+F,Alt+T) / As for every program",
                        L"Two.exe, Any window = DEXIS (Space,T)" + NoGestures,
                        L"chrome.exe, *Imaging - X* = DEXIS (Space,T)" + NoGestures}));
    brelkin::ProgramRuleSet expected{{{u"one.exe", u"Kodak (F5)"},
                                      {u"Two.exe", u"DEXIS (Space,T)"},
                                      {u"chrome.exe|*Imaging - X*", u"DEXIS (Space,T)"}},
                                     true};
    expected.longPressRules = {{u"one.exe", u"Schick (Alt+F,Alt+T)"}};
    EXPECT_EQ(rules, expected);
}

TEST(ProgramsDialog, CancelAfterChangesKeepsTheRules) {
    const brelkin::ProgramRuleSet before{{{u"a.exe", u"Space"}}, true};
    brelkin::ProgramRuleSet rules = before;
    DialogScript script;
    script.WaitFor(Caption).ClickIn(Caption, IDC_PROGRAM_REMOVE).ClickIn(Caption, IDC_ONLY_LISTED);
    Add(script, L"b.exe").ClickIn(Caption, IDCANCEL);
    brelkin::DialogRunner runner;
    EXPECT_FALSE(runner.EditProgramRules(rules, brelkin::BuiltInPresets(), 0));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(rules, before);
}

TEST(ProgramsDialog, DeployedRulesAreMarkedCannotBeRemovedAndAnotherModeMakesThemTheUsers) {
    brelkin::ProgramRuleSet rules{{{u"chart.exe", u"Enter", true, u"Enter"},
                                   {u"dexis.exe", u"Space", false, u"Kodak (F5)"}},
                                  false};
    // A row of a long press's rule only; the administrator's double press for chart.exe.
    rules.longPressRules = {{u"long.exe", u"Space"}};
    rules.doublePressRules = {{u"chart.exe", u"Enter", true, u"Enter"}};
    bool removeForGestureOnly = false;
    std::vector<std::wstring> shown, atOk;
    std::wstring deployedNote, ownNote;
    bool removeForDeployed = true, removeAfterMode = false;
    DialogScript script;
    script.WaitFor(Caption)
        .Do([&] {
            shown = ListRows(FindDialog(Caption));
            Select(0);
            removeForDeployed = RemoveEnabled();
            deployedNote = ItemText(FindDialog(Caption), IDC_PROGRAM_NOTE);
        })
        .Do([] { ChooseMode(FindDialog(Caption), 0); })
        .Do([&] {
            removeAfterMode = RemoveEnabled();
            Select(1);
            ownNote = ItemText(FindDialog(Caption), IDC_PROGRAM_NOTE);
        })
        .ClickIn(Caption, IDC_PROGRAM_REMOVE)  // the administrator's rule beneath comes back
        .Do([&] {
            Select(0);
            // "As for every program" for the administrator's double press: it stays.
            ChooseMode(FindDialog(Caption), 0, IDC_PROGRAM_DOUBLE_PRESS);
            Select(2);
            removeForGestureOnly = RemoveEnabled();
            // long.exe's only rule goes, and its row with it.
            ChooseMode(FindDialog(Caption), 0, IDC_PROGRAM_LONG_PRESS);
        })
        .Do([&] { atOk = ListRows(FindDialog(Caption)); })
        .ClickIn(Caption, IDOK);
    brelkin::DialogRunner runner;
    ASSERT_TRUE(runner.EditProgramRules(rules, brelkin::BuiltInPresets(), 1));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(shown,
              (std::vector<std::wstring>{
                  L"chart.exe, Any window = Enter, set by your administrator / As for every program / Enter, set by "
                  L"your administrator",
                  L"dexis.exe, Any window = Space" + NoGestures,
                  L"long.exe, Any window = As for every program / Space / As for every program"}));
    EXPECT_FALSE(removeForDeployed);
    EXPECT_TRUE(removeForGestureOnly);
    EXPECT_NE(deployedNote.find(L"set by your administrator and cannot be removed"), std::wstring::npos)
        << deployedNote;
    EXPECT_TRUE(removeAfterMode) << "the rule with another mode is the user's own";
    EXPECT_NE(ownNote.find(L"(Kodak (F5))"), std::wstring::npos) << ownNote;
    EXPECT_EQ(atOk, (std::vector<std::wstring>{
                        L"chart.exe, Any window = Schick (Alt+F,Alt+T) / As for every program / Enter, set by your "
                        L"administrator",
                        L"dexis.exe, Any window = Kodak (F5), set by your administrator" + NoGestures}));
    brelkin::ProgramRuleSet expected{{{u"chart.exe", u"Schick (Alt+F,Alt+T)", false, u"Enter"},
                                      {u"dexis.exe", u"Kodak (F5)", true, u"Kodak (F5)"}},
                                     false};
    expected.doublePressRules = {{u"chart.exe", u"Enter", true, u"Enter"}};
    EXPECT_EQ(rules, expected);
}

// An enforced rule and switch: marked as deployed ones are, greyed, and a
// mode change that arrives anyway changes nothing. With the user's own rules
// turned off, theirs are shown with the administrator's note and none can be added.
TEST(ProgramsDialog, EnforcedRulesAndTheEnforcedSwitchAreGreyedAndStayAsTheyAre) {
    brelkin::ProgramRuleSet rules{
        {{u"chart.exe", u"Enter", true, u"Enter", true}, {u"own.exe", u"Space"}}, true, true, true};
    const brelkin::ProgramRuleSet before = rules;
    std::vector<std::wstring> shown;
    std::wstring ownNote;
    bool anyEnabled = true;
    DialogScript script;
    script.WaitFor(Caption)
        .Do([&] {
            HWND d = FindDialog(Caption);
            Select(0);
            shown = ListRows(d);
            anyEnabled = RemoveEnabled() || ::IsWindowEnabled(::GetDlgItem(d, IDC_PROGRAM_MODE)) ||
                         ::IsWindowEnabled(::GetDlgItem(d, IDC_ONLY_LISTED)) ||
                         ::IsWindowEnabled(::GetDlgItem(d, IDC_PROGRAM_ADD));
            Select(1);
            ownNote = ItemText(d, IDC_PROGRAM_NOTE);
            anyEnabled = anyEnabled || RemoveEnabled() || ::IsWindowEnabled(::GetDlgItem(d, IDC_PROGRAM_MODE)) ||
                         ::IsWindowEnabled(::GetDlgItem(d, IDC_PROGRAM_LONG_PRESS)) ||
                         ::IsWindowEnabled(::GetDlgItem(d, IDC_PROGRAM_DOUBLE_PRESS));
            Select(0);
        })
        .Do([] { ChooseMode(FindDialog(Caption), 0); })
        .Do([&] { shown.push_back(ListRows(FindDialog(Caption)).at(0)); })
        .ClickIn(Caption, IDOK);
    brelkin::DialogRunner runner;
    ASSERT_TRUE(runner.EditProgramRules(rules, brelkin::BuiltInPresets(), 1));
    EXPECT_TRUE(script.Completed());
    const std::wstring chart = L"chart.exe, Any window = Enter, set by your administrator" + NoGestures;
    EXPECT_EQ(shown, (std::vector<std::wstring>{chart, L"own.exe, Any window = Space" + NoGestures, chart}));
    EXPECT_FALSE(anyEnabled) << "Remove, Mode, Add or the switch is enabled";
    EXPECT_NE(ownNote.find(L"does not allow program rules of your own"), std::wstring::npos) << ownNote;
    EXPECT_EQ(rules, before);
}

}  // namespace
