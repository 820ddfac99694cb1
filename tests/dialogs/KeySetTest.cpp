// The Key Set dialog driven with real keystrokes under its own modal loop.
#include <gtest/gtest.h>

#include "dialogs/KeySetDialog.h"
#include "resources/dialogs/DialogIds.h"
#include "tests/dialogs/DialogScript.h"

namespace {

constexpr bool Down = false;
constexpr bool Up = true;

struct CaptureCase {
    const char* label;
    std::vector<std::pair<WORD, bool>> keys;
    uint16_t key;
    uint16_t modifiers;
    const wchar_t* text;
};

const CaptureCase Cases[] = {
    {"Shift+A", {{VK_SHIFT, Down}, {'A', Down}, {'A', Up}, {VK_SHIFT, Up}}, 0x41, 1, L"Shift+A"},
    {"Ctrl released before X", {{VK_CONTROL, Down}, {'X', Down}, {VK_CONTROL, Up}, {'X', Up}}, 'X', 0, L"X"},
    {"modifiers alone", {{VK_SHIFT, Down}, {VK_SHIFT, Up}, {VK_CONTROL, Down}, {VK_CONTROL, Up}}, 0, 0, L""},
    {"later release replaces mask", {{VK_CONTROL, Down}, {'A', Down}, {'A', Up}, {VK_CONTROL, Up}, {'B', Down}, {'B', Up}},
     'B', 0, L"B"},
    {"Enter is captured, not confirming", {{VK_RETURN, Down}, {VK_RETURN, Up}}, 0x0D, 0, L"Enter"},
    {"Shift+Enter", {{VK_SHIFT, Down}, {VK_RETURN, Down}, {VK_RETURN, Up}, {VK_SHIFT, Up}}, 0x0D, 1, L"Shift+Enter"},
    {"Alt+F as system keys", {{VK_MENU, Down}, {'F', Down}, {'F', Up}, {VK_MENU, Up}}, 'F', 4, L"Alt+F"},
    {"Ctrl+Alt+F5", {{VK_CONTROL, Down}, {VK_MENU, Down}, {VK_F5, Down}, {VK_F5, Up}, {VK_MENU, Up}, {VK_CONTROL, Up}},
     VK_F5, 6, L"Ctrl+Alt+F5"},
    {"Win key is an ordinary key", {{VK_LWIN, Down}, {VK_LWIN, Up}}, VK_LWIN, 0, L"[" },
};

TEST(KeySetDialog, CapturesTypedChords) {
    for (const CaptureCase& c : Cases) {
        SCOPED_TRACE(c.label);
        std::wstring shown;
        bool openAfterKeys = false;
        INT_PTR result = 0;
        uint16_t key = 0xFFFF, modifiers = 0xFFFF;
        std::wstring memberText;
        {
            CDlgKeySet dialog;
            DialogScript script;
            script.WaitFor(L"Key Set").Keys(c.keys).Do([&] {
                HWND d = FindDialog(L"Key Set");
                openAfterKeys = d != nullptr;
                shown = ItemText(d, IDC_KEY_SET_TEXT);
            }).ClickIn(L"Key Set", IDOK);
            result = dialog.DoModal();
            EXPECT_TRUE(script.Completed());
            key = dialog.m_key;
            modifiers = dialog.m_modifiers;
            memberText = dialog.m_keyText;
        }
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(openAfterKeys);
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(modifiers, c.modifiers);
        EXPECT_EQ(shown, c.text);
        EXPECT_EQ(memberText, c.text) << "OK reads the edit back into m_keyText";
        EXPECT_EQ(g_keySetTarget, nullptr);
        EXPECT_EQ(g_keyHook, nullptr);
    }
}

TEST(KeySetDialog, EscapeCancels) {
    CDlgKeySet dialog;
    DialogScript script;
    // Escape's press ends the dialog; its release comes after.
    script.WaitFor(L"Key Set").Keys({{'A', Down}, {'A', Up}, {VK_ESCAPE, Down}});
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    SendKey(VK_ESCAPE, Up);
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(dialog.m_key, 'A') << "Escape itself is not captured";
}

TEST(KeySetDialog, CloseBoxCancels) {
    CDlgKeySet dialog;
    DialogScript script;
    script.WaitFor(L"Key Set").Do([] { ::SendMessageW(FindDialog(L"Key Set"), WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Completed());
}

// A second capture dialog opened while one is open: each removes only its own
// hook, the first becomes the target again, and nothing reports to a dialog
// that is gone.
TEST(KeySetDialog, TwoNestedDialogsStaySafe) {
    HHOOK innerHook = nullptr, outerHookWhileInner = nullptr;
    bool targetRestored = false, hookRestored = false;
    uint16_t innerKey = 0, outerKeyWhileInner = 0;
    {
        CDlgKeySet outer;
        DialogScript script;
        HHOOK outerHook = nullptr;
        script.WaitFor(L"Key Set")
            .Do([&] { outerHook = g_keyHook; })
            .Keys({{'A', Down}, {'A', Up}})
            .Do([&] {
                CDlgKeySet inner;
                // The steps that follow run inside the inner dialog's loop.
                inner.DoModal();
                innerKey = inner.m_key;
                innerHook = g_keyHook;
                outerHookWhileInner = outerHook;
                outerKeyWhileInner = outer.m_key;
            })
            .Then([] {
                // Two "Key Set" windows: the newest is the one with the focus.
                return ::GetActiveWindow() != nullptr;
            })
            .Keys({{'B', Down}, {'B', Up}})
            .Then([&] {
                HWND active = ::GetActiveWindow();
                ::SendMessageW(::GetDlgItem(active, IDOK), BM_CLICK, 0, 0);
                return true;
            })
            .Do([&] {
                // Back in the outer dialog's loop, after the inner one was destroyed.
                targetRestored = g_keySetTarget == &outer;
                hookRestored = g_keyHook == outerHook && outerHook != nullptr;
            })
            .Keys({{'C', Down}, {'C', Up}})
            .ClickIn(L"Key Set", IDOK);
        EXPECT_EQ(outer.DoModal(), IDOK);
        EXPECT_TRUE(script.Completed());
        EXPECT_EQ(outer.m_key, 'C') << "the outer dialog's own hook still captures";
    }
    EXPECT_EQ(innerKey, 'B');
    EXPECT_EQ(outerKeyWhileInner, 'A') << "keys typed in the inner dialog reach only the inner one";
    EXPECT_TRUE(targetRestored);
    EXPECT_TRUE(hookRestored);
    EXPECT_NE(innerHook, outerHookWhileInner) << "each dialog installs a hook of its own";
    EXPECT_EQ(g_keySetTarget, nullptr);
    EXPECT_EQ(g_keyHook, nullptr);
}

}  // namespace
