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
        wchar_t program[128] = {}, mode[128] = {};
        ListView_GetItemText(list, i, 0, program, 128);
        ListView_GetItemText(list, i, 1, mode, 128);
        rows.push_back(std::wstring(program) + L" = " + mode);
    }
    return rows;
}

// As a user's choice does: select, then the notification the combo box sends.
void ChooseMode(HWND d, int index) {
    HWND combo = ::GetDlgItem(d, IDC_PROGRAM_MODE);
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ::SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_PROGRAM_MODE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

DialogScript& Add(DialogScript& script, const wchar_t* typed) {
    return script.Do([typed] { ::SetDlgItemTextW(FindDialog(Caption), IDC_PROGRAM_NEW, typed); })
        .ClickIn(Caption, IDC_PROGRAM_ADD);
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
    Add(script, L"ONE.EXE");                     // already listed: selected, not added
    Add(script, L"bad:name.exe");                // no file name: refused
    script.Do([&] { afterAdds = ListRows(FindDialog(Caption)); })
        .Do([] { ChooseMode(FindDialog(Caption), 2); })  // one.exe -> Kodak (F5)
        .Do([] {
            HWND list = ::GetDlgItem(FindDialog(Caption), IDC_PROGRAM_LIST);
            ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);  // old.exe
        })
        .ClickIn(Caption, IDC_PROGRAM_REMOVE)
        .ClickIn(Caption, IDC_ONLY_LISTED)
        .Do([&] { atOk = ListRows(FindDialog(Caption)); })
        .ClickIn(Caption, IDOK);
    brelkin::DialogRunner runner;
    ASSERT_TRUE(runner.EditProgramRules(rules, brelkin::BuiltInPresets(), 7));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(shownModeOfOld, -1) << "a stored mode that names nothing shows no mode";
    EXPECT_EQ(afterAdds, (std::vector<std::wstring>{L"old.exe = Nothing by this name",
                                                    L"one.exe = DEXIS (Space,T)", L"Two.exe = DEXIS (Space,T)"}));
    EXPECT_EQ(atOk, (std::vector<std::wstring>{L"one.exe = Kodak (F5)", L"Two.exe = DEXIS (Space,T)"}));
    const brelkin::ProgramRuleSet expected{{{u"one.exe", u"Kodak (F5)"}, {u"Two.exe", u"DEXIS (Space,T)"}}, true};
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

}  // namespace
