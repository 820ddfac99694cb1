// The Camera Status window of the real program: opened from the tray menu's
// command, a press tried in it lights "Down" and is counted while nothing is
// typed, Copy Details names the library, and the command again brings the
// same window to the front.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>

#include "tests/shell/EndToEndDeviceFixture.h"

namespace {

using namespace e2e;

constexpr WPARAM CameraStatusCommand = 32801;
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
    target = CreateKeyWindow();
    ASSERT_NE(target, nullptr);
    Process p;
    HWND frame = StartAndWaitForFrame(p, Install(L"Brelkin.exe"));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 1; })) << "camera not opened";

    PostMessageW(frame, WM_COMMAND, CameraStatusCommand, 0);
    HWND status = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (status = FindWindowW(L"#32770", Caption)) != nullptr && IsWindowVisible(status); }))
        << "the window did not open";
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == status; }, 5000)) << "not in front";
    ASSERT_TRUE(WaitFor([&] { return FieldText(status, PressesField) == L"none yet"; }, 5000))
        << "presses: " << std::string(FieldText(status, PressesField).begin(), FieldText(status, PressesField).end());

    g_keyDowns.clear();
    InterlockedExchange(&Bda().buttonPressed, 1);
    EXPECT_TRUE(WaitFor([&] { return FieldText(status, ButtonField) == L"Down"; }, 5000)) << "the button did not light";
    InterlockedExchange(&Bda().buttonPressed, 0);
    EXPECT_TRUE(WaitFor([&] { return FieldText(status, ButtonField) == L"Up"; }, 5000));
    const std::wstring presses = FieldText(status, PressesField);
    // A slow machine may see the hold repeat: one press or more, none of them sent.
    EXPECT_NE(presses, L"none yet");
    EXPECT_NE(presses.find(L"Schick (Alt+F,Alt+T), Alt+"), std::wstring::npos) << std::string(presses.begin(), presses.end());
    EXPECT_NE(presses.find(L" (not sent: Camera Status is in front)"), std::wstring::npos)
        << std::string(presses.begin(), presses.end());
    Pump(300);
    EXPECT_TRUE(g_keyDowns.empty());

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
    // The press was counted, and no chord went out.
    EXPECT_NE(SupportLog().find(" presses, 0 chords sent"), std::string::npos) << SupportLog();
    EXPECT_EQ(SupportLog().find("Exit: 0 presses"), std::string::npos);
}

}  // namespace
