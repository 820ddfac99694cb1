#pragma once
// A window of the test's own that records the key-downs that reach it, and a
// message pump that keeps it receiving them for a while.
#include <windows.h>

#include <vector>

namespace e2e {

inline std::vector<WPARAM> g_keyDowns;

inline LRESULT CALLBACK KeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        g_keyDowns.push_back(wParam);
        return 0;
    }
    if (message == WM_KEYUP || message == WM_SYSKEYUP) return 0;  // no menu loop for Alt
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
