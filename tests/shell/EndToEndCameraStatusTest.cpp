// The Camera Status window of the real program: opened from the tray menu's
// command, it names the library's bitness; a press tried in it lights "Down"
// and is counted while no key goes out anywhere, and the next real press
// sends the row's next chord; Copy Details names the library, and the command
// again brings the same window to the front.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "resources/resource.h"
#include "tests/shell/EndToEndDeviceFixture.h"

namespace {

using namespace e2e;

constexpr WPARAM CameraStatusCommand = 32801;
constexpr int LibraryField = 1100;
constexpr int ButtonField = 1104;
constexpr int PressesField = 1106;
constexpr int CopyDetailsButton = 1133;
constexpr const wchar_t* Caption = L"Brelkin Camera Status";

std::wstring FieldText(HWND dialog, int id) {
    wchar_t text[1024] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &ignored);
    return text;
}

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Every key-down on the desktop, whichever window it goes to, seen by a
// low-level hook on a thread of its own that pumps its messages.
class KeyCounter {
public:
    KeyCounter() {
        m_thread = std::thread([this] {
            s_self = this;
            HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, Hook, GetModuleHandleW(nullptr), 0);
            m_threadId = GetCurrentThreadId();
            m_ready = hook != nullptr ? 1 : -1;
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            if (hook) UnhookWindowsHookEx(hook);
        });
        WaitFor([&] { return m_ready != 0; }, 5000);
    }
    ~KeyCounter() {
        while (!PostThreadMessageW(m_threadId, WM_QUIT, 0, 0) && m_ready != 0) Sleep(10);
        m_thread.join();
    }
    bool Hooked() const { return m_ready == 1; }
    // The keys pressed so far, modifiers left out.
    std::vector<DWORD> Keys() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_keys;
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM message, LPARAM data) {
        if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
            const DWORD vk = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode;
            const bool modifier = vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_LSHIFT ||
                                  vk == VK_RSHIFT || vk == VK_LCONTROL || vk == VK_RCONTROL || vk == VK_LMENU ||
                                  vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN;
            if (!modifier) {
                std::lock_guard<std::mutex> lock(s_self->m_mutex);
                s_self->m_keys.push_back(vk);
            }
        }
        return CallNextHookEx(nullptr, code, message, data);
    }

    static inline KeyCounter* s_self = nullptr;
    std::thread m_thread;
    volatile DWORD m_threadId = 0;
    volatile LONG m_ready = 0;
    std::mutex m_mutex;
    std::vector<DWORD> m_keys;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct CountWindows {
    DWORD pid;
    int count = 0;
};
BOOL CALLBACK CountStatusWindows(HWND hwnd, LPARAM lParam) {
    auto* c = reinterpret_cast<CountWindows*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    if (pid == c->pid && IsWindowVisible(hwnd) && std::wstring(title) == Caption) ++c->count;
    return TRUE;
}

TEST_F(EndToEndDevice, CameraStatusTriesAPressSafelyCopiesItsDetailsAndStaysOne) {
    KeyCounter keys;
    ASSERT_TRUE(keys.Hooked()) << "no low-level keyboard hook";
    target = CreateKeyWindow();
    ASSERT_NE(target, nullptr);
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"Brelkin.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; })) << "camera not opened";
    PostMessageW(frame, WM_COMMAND, ID_PRESET_FIRST + 6, 0);
    ASSERT_TRUE(WaitForLog("Mode: DEXIS (Space,T)"));

    // A real press into the test's window: the row's first chord.
    ASSERT_TRUE(Focus(target));
    const auto press = [&](bool expectKey) {
        const std::size_t before = keys.Keys().size();
        InterlockedExchange(&Bda().buttonPressed, 1);
        const bool sent = WaitFor([&] { return keys.Keys().size() > before; }, expectKey ? 5000 : 1000);
        InterlockedExchange(&Bda().buttonPressed, 0);
        return sent;
    };
    ASSERT_TRUE(press(true)) << "the first press sent nothing";
    EXPECT_EQ(keys.Keys(), std::vector<DWORD>{VK_SPACE});

    PostMessageW(frame, WM_COMMAND, CameraStatusCommand, 0);
    HWND status = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (status = FindWindowW(L"#32770", Caption)) != nullptr && IsWindowVisible(status); }))
        << "the window did not open";
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == status; }, 5000)) << "not in front";
    ASSERT_TRUE(WaitFor([&] { return FieldText(status, PressesField).find(L"1; ") == 0; }, 5000))
        << "presses: " << Narrow(FieldText(status, PressesField));
    // The library that loaded, with the bitness of the host that loaded it.
    const std::wstring library = FieldText(status, LibraryField);
    EXPECT_NE(library.find(sizeof(void*) == 8 ? L" (64-bit, " : L" (32-bit, "), std::wstring::npos) << Narrow(library);

    // Tried: shown with the chord it would send, and no key goes anywhere.
    InterlockedExchange(&Bda().buttonPressed, 1);
    EXPECT_TRUE(WaitFor([&] { return FieldText(status, ButtonField) == L"Down"; }, 5000)) << "the button did not light";
    InterlockedExchange(&Bda().buttonPressed, 0);
    EXPECT_TRUE(WaitFor([&] { return FieldText(status, ButtonField) == L"Up"; }, 5000));
    const std::wstring presses = FieldText(status, PressesField);
    // A slow machine may see the hold repeat: one tried press or more, none of them sent.
    EXPECT_NE(presses.find(L"DEXIS (Space,T), T (not sent: Camera Status is in front)"), std::wstring::npos)
        << Narrow(presses);
    Pump(300);
    EXPECT_EQ(keys.Keys(), std::vector<DWORD>{VK_SPACE}) << "a tried press typed";

    // The next real press sends the row's next chord: the tried one moved nothing on.
    ASSERT_TRUE(Focus(target));
    ASSERT_TRUE(press(true)) << "the press after the tried one sent nothing";
    EXPECT_EQ(keys.Keys(), (std::vector<DWORD>{VK_SPACE, 'T'}));

    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(status, CopyDetailsButton), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    std::wstring details;
    EXPECT_TRUE(WaitFor([&] { return !(details = ClipboardText()).empty(); }, 5000)) << "nothing on the clipboard";
    EXPECT_NE(Lower(details).find(Lower(TestDir() + L"\\BDADLL.dll")), std::wstring::npos)
        << std::string(details.begin(), details.end());

    // Another program in front, then the menu's command again: the same window comes back.
    ASSERT_TRUE(Focus(target));
    PostMessageW(frame, WM_COMMAND, CameraStatusCommand, 0);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == status; }, 5000)) << "not brought to the front";
    CountWindows count{p.pi.dwProcessId};
    EnumWindows(CountStatusWindows, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count.count, 1);

    EXPECT_EQ(Exit(p, frame), 0u);
    // The tried presses were counted, and only the real ones' chords went out.
    EXPECT_NE(SupportLog().find(" presses, 2 chords sent"), std::string::npos) << SupportLog();
    EXPECT_EQ(SupportLog().find("Exit: 2 presses"), std::string::npos);
}

}  // namespace
