// Where the dialogs open: the geometry rule, and Key Set over Custom Settings
// and Custom Settings on the work area, as the dialogs really open.
#include <gtest/gtest.h>

#include "dialogs/DialogRunner.h"
#include "framework/Dialog.h"
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

}  // namespace
