#include "platform/win32/Win32ForegroundProgram.h"

#include <windows.h>


namespace brelkin {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

// Limited-query access is all QueryFullProcessImageNameW needs, and it is
// granted for processes of other users and most elevated ones, where
// PROCESS_QUERY_INFORMATION is refused.
std::size_t ImagePathOfWindow(HWND window, wchar_t* buffer, std::size_t capacity) {
    if (window == nullptr || capacity == 0) return 0;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == 0) return 0;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return 0;
    DWORD length = static_cast<DWORD>(capacity);
    const BOOL ok = ::QueryFullProcessImageNameW(process, 0, buffer, &length);
    ::CloseHandle(process);
    // On success the length leaves out the NUL, so a full buffer cannot occur.
    return ok && length < capacity ? length : 0;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto* windows = reinterpret_cast<std::vector<OpenProgramWindow>*>(lParam);
    if (!::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER) != nullptr) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == ::GetCurrentProcessId()) return TRUE;
    wchar_t path[ImagePathCapacity];
    const std::size_t length = ImagePathOfWindow(window, path, ImagePathCapacity);
    if (length == 0) return TRUE;
    const std::u16string_view image(reinterpret_cast<const char16_t*>(path), length);
    wchar_t title[WindowTitleCapacity];
    const int titleLength = ::InternalGetWindowText(window, title, static_cast<int>(WindowTitleCapacity));
    windows->push_back({std::u16string(image.substr(image.find_last_of(u"\\/") + 1)),
                        std::u16string(reinterpret_cast<const char16_t*>(title),
                                       titleLength > 0 ? static_cast<std::size_t>(titleLength) : 0)});
    return TRUE;
}

}  // namespace

std::size_t Win32ForegroundProgram::ForegroundImagePath(char16_t* buffer, std::size_t capacity) {
    return ImagePathOfWindow(::GetForegroundWindow(), reinterpret_cast<wchar_t*>(buffer), capacity);
}

std::uintptr_t Win32ForegroundProgram::ForegroundWindow(char16_t* title, std::size_t capacity,
                                                        std::size_t& titleLength) {
    titleLength = 0;
    HWND window = ::GetForegroundWindow();
    if (window == nullptr) return 0;
    // A dialog the program opened (a capture confirmation, say) is still the
    // program's window for the rest of a row.
    if (HWND owner = ::GetAncestor(window, GA_ROOTOWNER)) window = owner;
    // InternalGetWindowText reads the stored title and never sends
    // WM_GETTEXT: a window of this process would be answered by the frame,
    // which may be waiting for the chord sender that asks here.
    if (capacity > 1) {
        const int read = ::InternalGetWindowText(window, reinterpret_cast<wchar_t*>(title),
                                                 static_cast<int>(capacity < 32768 ? capacity : 32767));
        titleLength = read > 0 ? static_cast<std::size_t>(read) : 0;
    }
    return reinterpret_cast<std::uintptr_t>(window);
}

std::vector<OpenProgramWindow> OpenProgramWindows() {
    std::vector<OpenProgramWindow> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace brelkin
