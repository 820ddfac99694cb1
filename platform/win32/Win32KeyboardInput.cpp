#include "platform/win32/Win32KeyboardInput.h"

#include <windows.h>

namespace brelkin {

#if defined(_M_IX86) || defined(__i386__)
// The 32-bit record layout that SendInput is given the size of.
static_assert(sizeof(INPUT) == 28, "INPUT must have its 32-bit layout");
#elif defined(_M_X64) || defined(__x86_64__)
static_assert(sizeof(INPUT) == 40, "INPUT must have its 64-bit layout");
#endif

static_assert(KeyEventKeyUp == KEYEVENTF_KEYUP, "key-up flag mismatch");
static_assert(KeyEventExtendedKey == KEYEVENTF_EXTENDEDKEY, "extended-key flag mismatch");

uintptr_t Win32KeyboardInput::GetMessageExtraInfo() {
    return static_cast<uintptr_t>(::GetMessageExtraInfo());
}

uint16_t Win32KeyboardInput::ScanCode(uint16_t vk) {
    // No foreground window (a desktop switch) gives thread 0, whose layout is
    // this thread's own: the nearest guess there is.
    HWND front = ::GetForegroundWindow();
    const DWORD thread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    const UINT scan = ::MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, ::GetKeyboardLayout(thread));
    return scan <= 0xFFFF ? static_cast<uint16_t>(scan) : 0;
}

unsigned Win32KeyboardInput::SendKeyEvent(const KeyEvent& event) {
    INPUT record{};
    record.type = INPUT_KEYBOARD;
    record.ki.wVk = event.vk;
    record.ki.wScan = event.scan;
    record.ki.dwFlags = event.flags;
    record.ki.time = event.time;
    record.ki.dwExtraInfo = static_cast<ULONG_PTR>(event.extraInfo);
    return ::SendInput(1, &record, sizeof(INPUT));
}

void Win32KeyboardInput::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace brelkin
