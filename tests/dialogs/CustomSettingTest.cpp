// The Custom Settings dialog through the dialog runner, as the tray command
// opens it: the row in, the user's clicks and typing, the row back out.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "dialogs/CustomSettingDialog.h"
#include "dialogs/DialogRunner.h"
#include "engine/ActionPreset.h"
#include "framework/DataExchange.h"
#include "resources/dialogs/DialogIds.h"
#include "tests/dialogs/DialogScript.h"

namespace {

constexpr bool Down = false;
constexpr bool Up = true;
const wchar_t Caption[] = L"Custom Settings";

brelkin::ActionPreset FirstStartRow() {
    brelkin::ActionPreset row = {};
    row.Keys[0] = 0x20;
    row.OneByOne = 1;
    row.DelayTime = 5000;
    return row;
}

bool Checked(HWND dialog, int id) {
    return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST(CustomSettingDialog, OpensWithFirstStartValues) {
    brelkin::ActionPreset row = FirstStartRow();
    const brelkin::ActionPreset before = row;
    bool oneByOne = false, atOneTime = true, delayEnabled = false;
    std::wstring delay, key1, key2, key3;
    DialogScript script;
    script.WaitFor(Caption)
        .Do([&] {
            HWND d = FindDialog(Caption);
            oneByOne = Checked(d, IDC_ONE_BY_ONE);
            atOneTime = Checked(d, IDC_AT_ONE_TIME);
            delayEnabled = ::IsWindowEnabled(::GetDlgItem(d, IDC_DELAY_TIME));
            delay = ItemText(d, IDC_DELAY_TIME);
            key1 = ItemText(d, IDC_KEY1_TEXT);
            key2 = ItemText(d, IDC_KEY2_TEXT);
            key3 = ItemText(d, IDC_KEY3_TEXT);
        })
        .ClickIn(Caption, IDCANCEL);
    brelkin::DialogRunner runner;
    EXPECT_FALSE(runner.EditCustomRow(row));
    EXPECT_TRUE(script.Completed());
    EXPECT_TRUE(oneByOne);
    EXPECT_FALSE(atOneTime);
    EXPECT_TRUE(delayEnabled) << "the delay edit opens enabled whichever timing is checked";
    EXPECT_EQ(delay, L"5000");
    EXPECT_EQ(key1, L"Space");
    EXPECT_EQ(key2, L"");
    EXPECT_EQ(key3, L"");
    EXPECT_EQ(std::memcmp(&row, &before, sizeof row), 0);
}

struct DelayCase {
    const char* label;
    const wchar_t* typed;
    const wchar_t* message;  // null: accepted
    unsigned int accepted;
};

const DelayCase DelayCases[] = {
    {"just below", L"99", L"Enter an integer between 100 and 30000.", 0},
    {"just above", L"30001", L"Enter an integer between 100 and 30000.", 0},
    {"empty", L"", L"Enter a positive integer.", 0},
    {"letters", L"abc", L"Enter a positive integer.", 0},
    {"minus five wraps to a huge value", L"-5", L"Enter an integer between 100 and 30000.", 0},
    {"too long for 32 bits does not wrap into range", L"4294967396", L"Enter an integer between 100 and 30000.", 0},
    {"leading spaces", L"  250", nullptr, 250},
    {"trailing letters", L"250abc", nullptr, 250},
    {"plus sign", L"+300", nullptr, 300},
    {"lowest", L"100", nullptr, 100},
    {"highest", L"30000", nullptr, 30000},
};

TEST(CustomSettingDialog, ValidatesTheDelay) {
    for (const DelayCase& c : DelayCases) {
        SCOPED_TRACE(c.label);
        CDlgCustomSetting dialog;
        dialog.m_key1 = 0x20;
        dialog.m_delayTime = 5000;
        dialog.m_timing = 5;  // checks neither button; a completed exchange would make it -1
        std::wstring message, boxCaption;
        bool openAfterMessage = false, focusOnDelay = false, allSelected = false;
        DialogScript script;
        script.WaitFor(Caption)
            .Do([&] { ::SetDlgItemTextW(FindDialog(Caption), IDC_DELAY_TIME, c.typed); })
            .ClickIn(Caption, IDOK);
        if (c.message) {
            // These run inside the message box's loop.
            script.WaitFor(L"Tolvacore")
                .Do([&] {
                    HWND box = FindDialog(L"Tolvacore");
                    message = MessageBoxText(box);
                    ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                })
                .Then([&] { return FindDialog(L"Tolvacore") == nullptr; })
                .Do([&] {
                    HWND d = FindDialog(Caption);
                    openAfterMessage = d != nullptr;
                    HWND edit = ::GetDlgItem(d, IDC_DELAY_TIME);
                    focusOnDelay = ::GetFocus() == edit;
                    DWORD start = 0, end = 0;
                    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                    allSelected = start == 0 && end == static_cast<DWORD>(::GetWindowTextLengthW(edit));
                })
                .ClickIn(Caption, IDCANCEL);
        }
        const INT_PTR result = dialog.DoModal();
        EXPECT_TRUE(script.Completed());
        if (c.message) {
            EXPECT_EQ(result, IDCANCEL);
            EXPECT_EQ(message, c.message);
            EXPECT_TRUE(openAfterMessage);
            EXPECT_TRUE(focusOnDelay);
            EXPECT_TRUE(allSelected);
            EXPECT_EQ(dialog.m_timing, 5) << "the failed delay stops the exchange before the radio group";
        } else {
            EXPECT_EQ(result, IDOK);
            EXPECT_EQ(dialog.m_delayTime, c.accepted);
        }
    }
}

TEST(CustomSettingDialog, CancelAfterCapturesAndClearsChangesNothing) {
    brelkin::ActionPreset row = FirstStartRow();
    row.Keys[1] = 'B';
    row.Modifiers[1] = 2;
    row.Keys[2] = 'C';
    const brelkin::ActionPreset before = row;
    DialogScript script;
    script.WaitFor(Caption)
        .ClickIn(Caption, IDC_SET_KEY1)
        .WaitFor(L"Key Set")
        .Keys({{'Z', Down}, {'Z', Up}})
        .ClickIn(L"Key Set", IDOK)
        .Then([] { return FindDialog(L"Key Set") == nullptr; })
        .ClickIn(Caption, IDC_CLEAR_KEY2)
        .ClickIn(Caption, IDC_CLEAR_KEY3)
        .ClickIn(Caption, IDC_AT_ONE_TIME)
        .Do([] { ::SetDlgItemTextW(FindDialog(Caption), IDC_DELAY_TIME, L"700"); })
        .ClickIn(Caption, IDCANCEL);
    brelkin::DialogRunner runner;
    EXPECT_FALSE(runner.EditCustomRow(row));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(std::memcmp(&row, &before, sizeof row), 0);
}

TEST(CustomSettingDialog, OkWritesTheRowBack) {
    brelkin::ActionPreset row = FirstStartRow();
    row.Modifiers[0] = 8;  // Win, possible only through edited settings: kept as it is
    row.OneByOne = 7;
    row.Keys[2] = 'C';
    std::wstring key1Text, key2Text, key3Text;
    bool ownerDisabledDuringCapture = true, ownerEnabledAfter = false;
    bool disabledByOneByOne = false, enabledByAtOneTime = false;
    DialogScript script;
    script.WaitFor(Caption)
        .Do([&] { key1Text = ItemText(FindDialog(Caption), IDC_KEY1_TEXT); })
        // Key2 gets Shift+Q.
        .ClickIn(Caption, IDC_SET_KEY2)
        .WaitFor(L"Key Set")
        .Do([&] { ownerDisabledDuringCapture = !::IsWindowEnabled(FindDialog(Caption)); })
        .Keys({{VK_SHIFT, Down}, {'Q', Down}, {'Q', Up}, {VK_SHIFT, Up}})
        .ClickIn(L"Key Set", IDOK)
        .Then([] { return FindDialog(L"Key Set") == nullptr; })
        .Do([&] { ownerEnabledAfter = ::IsWindowEnabled(FindDialog(Caption)) != FALSE; })
        // A Key1 capture confirmed without a key leaves Key1 alone...
        .ClickIn(Caption, IDC_SET_KEY1)
        .ClickIn(L"Key Set", IDOK)
        .Then([] { return FindDialog(L"Key Set") == nullptr; })
        // ...while the same on Key3 empties it.
        .ClickIn(Caption, IDC_SET_KEY3)
        .ClickIn(L"Key Set", IDOK)
        .Then([] { return FindDialog(L"Key Set") == nullptr; })
        .ClickIn(Caption, IDC_ONE_BY_ONE)
        .Do([&] { disabledByOneByOne = !::IsWindowEnabled(::GetDlgItem(FindDialog(Caption), IDC_DELAY_TIME)); })
        .ClickIn(Caption, IDC_AT_ONE_TIME)
        .Do([&] {
            HWND d = FindDialog(Caption);
            enabledByAtOneTime = ::IsWindowEnabled(::GetDlgItem(d, IDC_DELAY_TIME)) != FALSE;
            ::SetDlgItemTextW(d, IDC_DELAY_TIME, L"250");
            key2Text = ItemText(d, IDC_KEY2_TEXT);
            key3Text = ItemText(d, IDC_KEY3_TEXT);
        })
        .ClickIn(Caption, IDOK);
    brelkin::DialogRunner runner;
    EXPECT_TRUE(runner.EditCustomRow(row));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(key1Text, L"Win+Space");
    EXPECT_EQ(key2Text, L"Shift+Q");
    EXPECT_EQ(key3Text, L"");
    EXPECT_TRUE(ownerDisabledDuringCapture);
    EXPECT_TRUE(ownerEnabledAfter);
    EXPECT_TRUE(disabledByOneByOne);
    EXPECT_TRUE(enabledByAtOneTime);
    EXPECT_EQ(row.Keys[0], 0x20);
    EXPECT_EQ(row.Modifiers[0], 8);
    EXPECT_EQ(row.Keys[1], 'Q');
    EXPECT_EQ(row.Modifiers[1], 1);
    EXPECT_EQ(row.Keys[2], 0);
    EXPECT_EQ(row.Modifiers[2], 0);
    EXPECT_EQ(row.OneByOne, 0);
    EXPECT_EQ(row.DelayTime, 250);
}

// What a policy enforces is greyed, stays greyed whatever the user picks, and
// an enforced delay outside the range the user may type does not block OK.
struct LockCase {
    const char* label;
    brelkin::CustomRowLocks locks;
    int clicked;  // an enabled control the user picks first; 0: none
};

TEST(CustomSettingDialog, EnforcedFieldsStayGreyedAndAnEnforcedDelayPassesOk) {
    const int ids[] = {IDC_SET_KEY1, IDC_SET_KEY2, IDC_CLEAR_KEY2, IDC_SET_KEY3, IDC_CLEAR_KEY3,
                       IDC_ONE_BY_ONE, IDC_AT_ONE_TIME, IDC_DELAY_TIME};
    const LockCase cases[] = {
        {"the second chord, the timing and the delay", {{false, true, false}, true, true}, 0},
        {"the delay only, after At one time is picked", {{false, false, false}, false, true}, IDC_AT_ONE_TIME},
    };
    for (const LockCase& c : cases) {
        SCOPED_TRACE(c.label);
        brelkin::ActionPreset row = FirstStartRow();
        row.DelayTime = 50;  // an administrator's value below the dialog's own range
        const bool locked[] = {c.locks.chords[0], c.locks.chords[1], c.locks.chords[1], c.locks.chords[2],
                               c.locks.chords[2], c.locks.timing, c.locks.timing, c.locks.delayTime};
        bool enabled[std::size(ids)] = {};
        DialogScript script;
        script.WaitFor(Caption);
        if (c.clicked != 0) script.ClickIn(Caption, c.clicked);
        script.Do([&] {
                  for (std::size_t i = 0; i < std::size(ids); ++i)
                      enabled[i] = ::IsWindowEnabled(::GetDlgItem(FindDialog(Caption), ids[i])) != FALSE;
              })
            .ClickIn(Caption, IDOK);
        brelkin::DialogRunner runner;
        EXPECT_TRUE(runner.EditCustomRow(row, c.locks));
        EXPECT_TRUE(script.Completed());
        for (std::size_t i = 0; i < std::size(ids); ++i) EXPECT_EQ(enabled[i], !locked[i]) << "control " << ids[i];
        EXPECT_EQ(row.DelayTime, 50);
    }
}

TEST(CustomSettingDialog, UnchangedOkNormalisesOneByOne) {
    brelkin::ActionPreset row = FirstStartRow();
    row.OneByOne = 7;
    DialogScript script;
    script.WaitFor(Caption).ClickIn(Caption, IDOK);
    brelkin::DialogRunner runner;
    EXPECT_TRUE(runner.EditCustomRow(row));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(row.OneByOne, 1);
    EXPECT_EQ(row.DelayTime, 5000);
    EXPECT_EQ(row.Keys[0], 0x20);
}

TEST(ScanUInt, ReadsAsPercentU) {
    struct Row {
        const char* label;
        std::wstring text;
        bool readable;
        unsigned int value;
    };
    const Row rows[] = {
        {"digits", L"250", true, 250},
        {"white space first", L" \t\r\n250", true, 250},
        {"stops at a letter", L"250abc", true, 250},
        {"minus wraps", L"-5", true, 4294967291u},
        {"sign alone", L"-", false, 0},
        {"space between sign and digits", L"- 5", false, 0},
        {"hex is not read", L"0x10", true, 0},
        {"largest", L"4294967295", true, 4294967295u},
        {"saturates", L"99999999999999999999", true, 4294967295u},
        {"only 63 characters", std::wstring(62, L' ') + L"25", true, 2},
        {"nothing", L"", false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.label);
        const auto got = ScanUInt(r.text);
        ASSERT_EQ(got.has_value(), r.readable);
        if (got) {
            EXPECT_EQ(*got, r.value);
        }
    }
}

}  // namespace
