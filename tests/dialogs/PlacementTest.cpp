// Where the dialogs open: the geometry rule, and Key Set over Custom Settings
// and Custom Settings on the work area, as the dialogs really open; and how a
// dialog follows a change of the display scale.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "dialogs/DialogRunner.h"
#include "engine/ActionPreset.h"
#include "framework/Dialog.h"
#include "resources/dialogs/DialogIds.h"
#include "framework/Dpi.h"
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

// What a scale change moves: the dialog, one control (a combo box with its
// list), the controls' font and the first list column.
struct Layout {
    RECT dialog{};
    RECT control{};
    LONG fontHeight = 0;
    int column = 0;
};

Layout Measure(HWND d, int controlId, int listId) {
    Layout layout;
    GetWindowRect(d, &layout.dialog);
    HWND control = GetDlgItem(d, controlId);
    if (!SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&layout.control))) {
        GetWindowRect(control, &layout.control);
    }
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&layout.control), 2);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    layout.fontHeight = font.lfHeight;
    if (listId) layout.column = ListView_GetColumnWidth(GetDlgItem(d, listId), 0);
    return layout;
}

// Sends the dialog to a monitor of 1.5 times the scale, then back, and checks
// each step against the layout it started from.
void ScaleAndBack(const wchar_t* caption, int controlId, int listId, bool isCombo,
                  const std::function<void()>& open) {
    Layout before, larger, back;
    RECT suggested{};
    HDC screen = GetDC(nullptr);
    const UINT dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto sendDpi = [&](UINT to, RECT rect) {
        suggested = rect;
        SendMessageW(FindDialog(caption), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    };
    DialogScript script;
    script.WaitFor(caption)
        .Do([&] {
            before = Measure(FindDialog(caption), controlId, listId);
            const RECT& r = before.dialog;
            sendDpi(dpi * 3 / 2, {r.left + 10, r.top + 10, r.left + 10 + (r.right - r.left) * 3 / 2,
                                   r.top + 10 + (r.bottom - r.top) * 3 / 2});
            larger = Measure(FindDialog(caption), controlId, listId);
            sendDpi(dpi, before.dialog);
            back = Measure(FindDialog(caption), controlId, listId);
        })
        .ClickIn(caption, IDCANCEL);
    open();
    ASSERT_TRUE(script.Completed());
    const auto scaled = [](LONG v) { return MulDiv(v, 3, 2); };
    // Each step rounds to whole pixels: one pixel either way is the rounding.
    const auto within1 = [](const RECT& a, const RECT& b) {
        return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 && std::abs(a.right - b.right) <= 1 &&
               std::abs(a.bottom - b.bottom) <= 1;
    };
    const RECT& r = before.dialog;
    const RECT largerRect{r.left + 10, r.top + 10, r.left + 10 + (r.right - r.left) * 3 / 2,
                                r.top + 10 + (r.bottom - r.top) * 3 / 2};
    EXPECT_TRUE(EqualRect(&larger.dialog, &largerRect)) << Describe(larger.dialog);
    const RECT c = before.control;
    RECT expected{scaled(c.left), scaled(c.top), scaled(c.right), scaled(c.bottom)};
    // A combo box sets the height of its field from the font itself.
    if (isCombo) expected.bottom = larger.control.bottom;
    EXPECT_TRUE(within1(larger.control, expected)) << Describe(c) << " became " << Describe(larger.control);
    EXPECT_GT(larger.control.bottom - larger.control.top, c.bottom - c.top);
    EXPECT_NE(before.fontHeight, 0);
    EXPECT_LE(std::abs(larger.fontHeight - scaled(before.fontHeight)), 1) << before.fontHeight;
    EXPECT_LE(std::abs(larger.column - scaled(before.column)), 1) << before.column;
    EXPECT_TRUE(EqualRect(&back.dialog, &before.dialog)) << Describe(back.dialog);
    EXPECT_TRUE(within1(back.control, before.control)) << Describe(back.control);
    EXPECT_LE(std::abs(back.fontHeight - before.fontHeight), 1);
    EXPECT_LE(std::abs(back.column - before.column), 1);
}

TEST(DialogDpi, DriverSettingTakesTheSuggestedRectAndScalesItsControlsAndFont) {
    ScaleAndBack(L"WDM / BDA Setting", IDOK, 0, false, [] {
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
        ScaleAndBack(L"Programs", controlId, IDC_PROGRAM_LIST, true, [] {
            brelkin::ProgramRuleSet rules{{{u"dexis.exe", u"DEXIS (Space,T)"}}, false};
            brelkin::DialogRunner runner;
            runner.EditProgramRules(rules, brelkin::BuiltInPresets(), 7);
        });
    }
}

}  // namespace
