// Where the dialogs open: the geometry rule, and Key Set over Custom Settings
// and Custom Settings on the work area, as the dialogs really open; and how a
// dialog follows a change of the display scale.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "dialogs/DialogRunner.h"
#include "engine/ActionPreset.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "resources/dialogs/DialogIds.h"
#include "tests/dialogs/DialogScript.h"

namespace {

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST(DialogPlacement, CentresOverTheParentOrTheWorkAreaAndStaysInside) {
    const RECT work{0, 0, 1000, 800};
    struct Row {
        const char* label;
        RECT dialog;
        bool hasParent;
        RECT parent;
        RECT expected;
    };
    const Row rows[] = {
        {"work area", {0, 0, 200, 100}, false, {}, {400, 350, 600, 450}},
        {"over the parent", {5, 5, 105, 55}, true, {100, 100, 300, 300}, {150, 175, 250, 225}},
        {"parent at the right edge", {0, 0, 200, 100}, true, {900, 0, 1000, 100}, {800, 0, 1000, 100}},
        {"parent above the work area", {0, 0, 200, 100}, true, {0, -300, 200, -100}, {0, 0, 200, 100}},
        {"larger than the work area", {0, 0, 1200, 900}, false, {}, {0, 0, 1200, 900}},
    };
    const RECT offsetWork{1280, 40, 2560, 1024};  // a second monitor, below a top taskbar
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const RECT r = CenteredDialogRect(row.dialog, row.hasParent ? &row.parent : nullptr, work);
        EXPECT_TRUE(EqualRect(&r, &row.expected)) << Describe(r);
    }
    const RECT r = CenteredDialogRect({0, 0, 200, 100}, nullptr, offsetWork);
    EXPECT_EQ(Describe(r), "1820,482 2020,582");
}

TEST(DialogPlacement, KeySetOpensOverCustomSettingsAndCustomSettingsOnTheWorkArea) {
    RECT custom{}, keySet{}, work{};
    DialogScript script;
    script.WaitFor(L"Custom Settings")
        .Do([&] {
            HWND d = FindDialog(L"Custom Settings");
            GetWindowRect(d, &custom);
            MONITORINFO info{};
            info.cbSize = sizeof info;
            GetMonitorInfoW(MonitorFromWindow(d, MONITOR_DEFAULTTONEAREST), &info);
            work = info.rcWork;
        })
        .ClickIn(L"Custom Settings", IDC_SET_KEY1)
        .WaitFor(L"Key Set")
        .Do([&] { GetWindowRect(FindDialog(L"Key Set"), &keySet); })
        .ClickIn(L"Key Set", IDCANCEL)
        .ClickIn(L"Custom Settings", IDCANCEL);
    brelkin::ActionPreset row{};
    row.Keys[0] = 32;
    row.OneByOne = 1;
    row.DelayTime = 5000;
    brelkin::DialogRunner runner;
    runner.EditCustomRow(row);
    ASSERT_TRUE(script.Completed());
    const RECT expectedCustom = CenteredDialogRect(custom, nullptr, work);
    EXPECT_TRUE(EqualRect(&custom, &expectedCustom)) << Describe(custom) << " on " << Describe(work);
    const RECT expectedKeySet = CenteredDialogRect(keySet, &custom, work);
    EXPECT_TRUE(EqualRect(&keySet, &expectedKeySet)) << Describe(keySet) << " over " << Describe(custom);
}

// What a scale change moves: the dialog's rectangle, the control's in the
// dialog, the controls' font height and the first list column. A combo box's
// bottom is not counted: its field height follows the font, and Wine's combo
// box puts the bottom of its list a field's height above the height it was given.
std::vector<long> Measure(HWND d, int controlId, int listId) {
    HWND control = GetDlgItem(d, controlId);
    RECT w{}, r{};
    GetWindowRect(d, &w);
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const bool combo = lstrcmpiW(className, L"ComboBox") == 0;
    if (combo) SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
    if (!combo) GetWindowRect(control, &r);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return {w.left, w.top, w.right, w.bottom, r.left, r.top, r.right, combo ? r.top : r.bottom, font.lfHeight,
            listId ? ListView_GetColumnWidth(GetDlgItem(d, listId), 0) : 0};
}

// Sends the dialog to a monitor of 1.5 times the scale, then back: it takes
// each suggested rectangle exactly, and the rest scales (a pixel of rounding).
void ScaleAndBack(const wchar_t* caption, int controlId, int listId, const std::function<void()>& open) {
    std::vector<long> before, larger, back;
    const auto sendDpi = [&](HWND d, UINT to, RECT suggested) {
        SendMessageW(d, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        return Measure(d, controlId, listId);
    };
    DialogScript script;
    script.WaitFor(caption)
        .Do([&] {
            HWND d = FindDialog(caption);
            const UINT dpi = WindowDpi(d);
            before = Measure(d, controlId, listId);
            const long l = before[0] + 10, t = before[1] + 10;
            larger = sendDpi(d, dpi * 3 / 2,
                             {l, t, l + (before[2] - before[0]) * 3 / 2, t + (before[3] - before[1]) * 3 / 2});
            back = sendDpi(d, dpi, {before[0], before[1], before[2], before[3]});
        })
        .ClickIn(caption, IDCANCEL);
    open();
    ASSERT_TRUE(script.Completed());
    // Wine's WoW64 mode gives the screen 0 pixels per inch, so the x86 run's
    // dialog fonts have height 0: only the x64 run shows the font scaled.
    if (sizeof(void*) == 8) {
        EXPECT_NE(before[8], 0) << "the font";
    }
    for (size_t i = 0; i < before.size(); ++i) {
        const long scaled = i < 4 ? before[i % 2] + 10 + (before[i] - before[i % 2]) * 3 / 2 : MulDiv(before[i], 3, 2);
        EXPECT_LE(std::abs(larger[i] - scaled), i < 4 ? 0 : 1) << "measure " << i << ": " << before[i];
        EXPECT_LE(std::abs(back[i] - before[i]), i < 4 ? 0 : 1) << "measure " << i << ": " << before[i];
    }
}

TEST(DialogDpi, DriverSettingTakesTheSuggestedRectAndScalesItsControlsAndFont) {
    ScaleAndBack(L"WDM / BDA Setting", IDOK, 0, [] {
        brelkin::DialogRunner runner;
        brelkin::DriverKind chosen = 0;
        runner.ChooseDriverKind(0, chosen);
    });
}

// The Programs dialog holds the combo boxes and the list view (and an edit
// control, which the x86 run cannot show).
TEST(ProgramsDialog, ScalesItsComboBoxesAndListColumnsWithTheDisplayScale) {
    for (int controlId : {IDC_PROGRAM_MODE, IDC_PROGRAM_NEW}) {
        SCOPED_TRACE(controlId);
        ScaleAndBack(L"Programs", controlId, IDC_PROGRAM_LIST, [] {
            brelkin::ProgramRuleSet rules{{{u"dexis.exe", u"DEXIS (Space,T)"}}, false};
            brelkin::DialogRunner runner;
            runner.EditProgramRules(rules, brelkin::BuiltInPresets(), 7);
        });
    }
}

}  // namespace
