#pragma once
// A window of the test's own that records the key messages that reach it, and a
// message pump that keeps it receiving them for a while.
#include <windows.h>

#include <vector>

namespace e2e {

inline std::vector<WPARAM> g_keyDowns;

// Every key message, downs and ups, with the scan code and flags of its lParam.
struct KeyMessage {
    UINT message;
    WPARAM vk;
    LPARAM lParam;
};
inline std::vector<KeyMessage> g_keyMessages;

inline LRESULT CALLBACK KeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (down || message == WM_KEYUP || message == WM_SYSKEYUP) {
        if (down) g_keyDowns.push_back(wParam);
        g_keyMessages.push_back({message, wParam, lParam});
        return 0;  // no menu loop for Alt
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

inline void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < end);
}

}  // namespace e2e
