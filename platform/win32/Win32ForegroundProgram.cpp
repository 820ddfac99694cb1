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

BOOL CALLBACK CollectProgram(HWND window, LPARAM lParam) {
    auto* programs = reinterpret_cast<std::vector<std::u16string>*>(lParam);
    if (!::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER) != nullptr) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == ::GetCurrentProcessId()) return TRUE;
    wchar_t path[ImagePathCapacity];
    const std::size_t length = ImagePathOfWindow(window, path, ImagePathCapacity);
    if (length == 0) return TRUE;
    const std::u16string_view image(reinterpret_cast<const char16_t*>(path), length);
    const std::u16string_view name = image.substr(image.find_last_of(u"\\/") + 1);
    // Two windows of one program are one entry: file names compare as the
    // file system does, without regard to case.
    for (const std::u16string& known : *programs) {
        if (::CompareStringOrdinal(reinterpret_cast<const wchar_t*>(known.data()), static_cast<int>(known.size()),
                                   reinterpret_cast<const wchar_t*>(name.data()), static_cast<int>(name.size()),
                                   TRUE) == CSTR_EQUAL)
            return TRUE;
    }
    programs->emplace_back(name);
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

std::vector<std::u16string> ProgramsWithOpenWindows() {
    std::vector<std::u16string> programs;
    ::EnumWindows(CollectProgram, reinterpret_cast<LPARAM>(&programs));
    return programs;
}

}  // namespace brelkin
