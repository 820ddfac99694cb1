// Baseline for the idle cost: a bare Win32 program with one hidden window and
// one timer whose ticks do nothing.
//   BareTimer [period ms, 400]
#include <windows.h>

#include <cwchar>

namespace {
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) return 0;
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const UINT period = commandLine && *commandLine ? static_cast<UINT>(std::wcstoul(commandLine, nullptr, 10)) : 400;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"BrelkinBenchBareTimer";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetTimer(window, 1, period ? period : 400, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
