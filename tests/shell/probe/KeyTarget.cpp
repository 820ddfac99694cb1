// A window that takes the focus and records the keys it receives into a shared
// block, so that an end-to-end test can tell programs apart by their file
// names: the test copies this one executable under several names.
//   BrelkinKeyTarget <block name>
#include <windows.h>

#include "tests/shell/probe/KeyTargetBlock.h"

namespace {

brelkin::probe::KeyTargetBlock* g_block = nullptr;

LRESULT CALLBACK KeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        const LONG n = g_block->count;
        if (n < static_cast<LONG>(sizeof g_block->keys / sizeof g_block->keys[0])) {
            g_block->keys[n] = static_cast<LONG>(wParam);
            InterlockedExchange(&g_block->count, n + 1);
        }
        return 0;
    }
    if (message == WM_KEYUP || message == WM_SYSKEYUP) return 0;  // no menu loop for Alt
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, commandLine);
    if (!mapping) return 2;
    g_block = static_cast<brelkin::probe::KeyTargetBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!g_block) return 3;
    WNDCLASSW wc{};
    wc.lpfnWndProc = KeyProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"BrelkinKeyTarget";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, commandLine, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 300,
                                  200, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (!g_block->quit) {
        if (g_block->yield) {
            // Another window is being given the focus: leave it there.
        } else if (GetForegroundWindow() != window || GetFocus() != window) {
            SetForegroundWindow(window);
            SetFocus(window);
        } else {
            InterlockedExchange(&g_block->focused, 1);
        }
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    DestroyWindow(window);
    return 0;
}
