// The driver selection dialog and the About box through the dialog runner.
#include <gtest/gtest.h>

#include "dialogs/DialogRunner.h"
#include "framework/WinApp.h"
#include "resources/dialogs/DialogIds.h"
#include "tests/dialogs/DialogScript.h"

// The validation message box takes its caption from the application object.
CWinApp g_testApp(L"Tolvacore");

namespace {

const wchar_t Caption[] = L"WDM / BDA Setting";

int CheckedIndex(HWND d) {
    const bool wdm = ::SendMessageW(::GetDlgItem(d, IDC_USE_WDM), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool bda = ::SendMessageW(::GetDlgItem(d, IDC_USE_BDA), BM_GETCHECK, 0, 0) == BST_CHECKED;
    return wdm && bda ? 99 : wdm ? 0 : bda ? 1 : -1;
}

struct DriverCase {
    const char* label;
    brelkin::DriverKind current;
    int click;  // 0: no radio click
    int button;
    int shownIndex;
    bool confirmed;
    brelkin::DriverKind chosen;
    bool enforced = false;  // greyed, with the administrator's note
};

const DriverCase DriverCases[] = {
    {"WDM to BDA", 0, IDC_USE_BDA, IDOK, 0, true, 1},
    {"BDA to WDM", 1, IDC_USE_WDM, IDOK, 1, true, 0},
    {"unchanged OK", 0, 0, IDOK, 0, true, 0},
    {"stored 2 checks neither and reads back -1", 2, 0, IDOK, -1, true, -1},
    {"cancel after a change", 0, IDC_USE_BDA, IDCANCEL, 0, false, 42},
    {"enforced: greyed, with the note", 1, 0, IDOK, 1, true, 1, true},
};

TEST(BdaSettingDialog, IndexInAndOut) {
    for (const DriverCase& c : DriverCases) {
        SCOPED_TRACE(c.label);
        int shown = 100;
        bool greyed = false;
        DialogScript script;
        script.WaitFor(Caption).Do([&] {
            HWND d = FindDialog(Caption);
            shown = CheckedIndex(d);
            greyed = !::IsWindowEnabled(::GetDlgItem(d, IDC_USE_WDM)) && !::IsWindowEnabled(::GetDlgItem(d, IDC_USE_BDA)) &&
                     ::IsWindowVisible(::GetDlgItem(d, IDC_DRIVER_ENFORCED));
        });
        if (c.click) script.ClickIn(Caption, c.click);
        script.ClickIn(Caption, c.button);
        brelkin::DialogRunner runner;
        brelkin::DriverKind chosen = 42;
        EXPECT_EQ(runner.ChooseDriverKind(c.current, chosen, c.enforced), c.confirmed);
        EXPECT_TRUE(script.Completed());
        EXPECT_EQ(shown, c.shownIndex);
        EXPECT_EQ(greyed, c.enforced);
        EXPECT_EQ(chosen, c.chosen);
    }
}

TEST(AboutDialog, ShowsItsTextsAndClosesWithOkEscapeOrCloseBox) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        bool sawVersion = false;
        DialogScript script;
        script.WaitFor(L"About Brelkin").Do([&] {
            HWND d = FindDialog(L"About Brelkin");
            for (HWND c = ::GetWindow(d, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                wchar_t text[128] = {};
                ::GetWindowTextW(c, text, 128);
                if (std::wstring(text) == L"Brelkin, Version 2.0, B120215") sawVersion = true;
            }
        });
        if (way == 0) script.ClickIn(L"About Brelkin", IDOK);
        if (way == 1) script.Keys({{VK_ESCAPE, false}});
        if (way == 2) script.Do([] { ::SendMessageW(FindDialog(L"About Brelkin"), WM_CLOSE, 0, 0); });
        brelkin::DialogRunner runner;
        runner.ShowAbout();
        if (way == 1) SendKey(VK_ESCAPE, true);
        EXPECT_TRUE(script.Completed());
        EXPECT_TRUE(sawVersion);
        EXPECT_EQ(FindDialog(L"About Brelkin"), nullptr);
    }
}

}  // namespace
