// The real injection path: SendKeyChord through Win32KeyboardInput reaches a
// focused window of this process as the exact key and system-key messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/KeySynthesis.h"
#include "platform/win32/Win32KeyboardInput.h"

namespace brelkin {
namespace {

struct KeyMessage {
    UINT message;
    WPARAM vk;
    LONG time;
};

std::vector<KeyMessage> g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        g_received.push_back({message, wParam, GetMessageTime()});
        // Not passed on: the default handling of system keys would enter the
        // menu loop and take the focus away from the next chord.
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::string Describe(const KeyMessage& m) {
    const char* name = m.message == WM_KEYDOWN      ? "WM_KEYDOWN"
                       : m.message == WM_KEYUP      ? "WM_KEYUP"
                       : m.message == WM_SYSKEYDOWN ? "WM_SYSKEYDOWN"
                       : m.message == WM_SYSKEYUP   ? "WM_SYSKEYUP"
                                                    : "?";
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s %02X", name, static_cast<unsigned>(m.vk));
    return buffer;
}

std::vector<std::string> Describe(const std::vector<KeyMessage>& messages) {
    std::vector<std::string> lines;
    for (const KeyMessage& m : messages) lines.push_back(Describe(m));
    return lines;
}

// Dispatches whatever is queued until `count` key messages have arrived or the
// time runs out.
void PumpUntil(std::size_t count, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    MSG msg;
    while (g_received.size() < count && GetTickCount64() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (g_received.size() < count) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    // Anything that follows late (a message too many) is still counted.
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

class KeyInjection : public ::testing::Test {
protected:
    // One window for the whole suite: without a window manager, Wine waits
    // about two seconds for every destroyed top-level window to be withdrawn.
    static void SetUpTestSuite() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrelkinKeyInjectionTest";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"Key injection", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                  300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        if (window_) {
            ShowWindow(window_, SW_SHOWNORMAL);
            UpdateWindow(window_);
        }
    }

    static void TearDownTestSuite() {
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(window_, nullptr) << "CreateWindowExW failed: " << GetLastError();
        // The display server's focus events arrive asynchronously: keep asking
        // until the window has both activation and keyboard focus.
        const ULONGLONG end = GetTickCount64() + 5000;
        while (!HasFocus() && GetTickCount64() < end) {
            SetForegroundWindow(window_);
            SetActiveWindow(window_);
            SetFocus(window_);
            PumpUntil(SIZE_MAX, 100);
        }
        g_received.clear();
    }

    void TearDown() override { g_received.clear(); }

    static bool HasFocus() { return GetForegroundWindow() == window_ && GetFocus() == window_; }

    // Sends one chord through the real binding and returns the key messages
    // that reached the window.
    std::vector<KeyMessage> Send(ModifierMask modifiers, uint16_t key, std::size_t expected) {
        PumpUntil(SIZE_MAX, 50);
        g_received.clear();
        Win32KeyboardInput input;
        KeysLeftDown leftDown;
        SendKeyChord(input, input, modifiers, key, leftDown);
        PumpUntil(expected, 3000);
        return g_received;
    }

    static HWND window_;
};

HWND KeyInjection::window_ = nullptr;

// A macro, so that the skip ends the test body itself.
#define REQUIRE_FOCUS()                                                                        \
    if (!HasFocus()) GTEST_SKIP() << "the test window could not get the keyboard focus (foreground " \
                                  << GetForegroundWindow() << ", focus " << GetFocus() << ")"

// The hold between the key's press and release, by the system's own stamps.
void ExpectHeld(const std::vector<KeyMessage>& messages, WPARAM key) {
    const KeyMessage* down = nullptr;
    const KeyMessage* up = nullptr;
    for (const KeyMessage& m : messages) {
        if (m.vk != key) continue;
        if ((m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) && !down) down = &m;
        if ((m.message == WM_KEYUP || m.message == WM_SYSKEYUP) && !up) up = &m;
    }
    ASSERT_TRUE(down && up);
    EXPECT_GE(up->time - down->time, 25);
}

TEST_F(KeyInjection, AltF) {
    REQUIRE_FOCUS();
    const auto messages = Send(ModAlt, 'F', 4);
    EXPECT_EQ(Describe(messages),
              (std::vector<std::string>{"WM_SYSKEYDOWN 12", "WM_SYSKEYDOWN 46", "WM_SYSKEYUP 46", "WM_KEYUP 12"}));
    ExpectHeld(messages, 'F');
}

TEST_F(KeyInjection, ShiftCtrlV) {
    REQUIRE_FOCUS();
    const auto messages = Send(ModShift | ModCtrl, 'V', 6);
    EXPECT_EQ(Describe(messages), (std::vector<std::string>{"WM_KEYDOWN 10", "WM_KEYDOWN 11", "WM_KEYDOWN 56",
                                                            "WM_KEYUP 56", "WM_KEYUP 10", "WM_KEYUP 11"}));
    ExpectHeld(messages, 'V');
}

TEST_F(KeyInjection, AllFourModifiersWithG) {
    REQUIRE_FOCUS();
    const auto messages = Send(ModShift | ModCtrl | ModAlt | ModWin, 'G', 10);
    EXPECT_EQ(Describe(messages),
              (std::vector<std::string>{"WM_KEYDOWN 10", "WM_KEYDOWN 11", "WM_KEYDOWN 12", "WM_KEYDOWN 5B",
                                        "WM_KEYDOWN 47", "WM_KEYUP 47", "WM_KEYUP 10", "WM_SYSKEYUP 11",
                                        "WM_KEYUP 12", "WM_KEYUP 5B"}));
    ExpectHeld(messages, 'G');
}

}  // namespace
}  // namespace brelkin
