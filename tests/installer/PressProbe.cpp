// Test helper: presses the stand-in camera's button briefly and reports the keys
// that a running Brelkin types into a focused window of this process.
//   PressProbe <count> <timeout ms>
// Prints the virtual-key codes of the first <count> key-downs, in decimal, and
// exits 0 when that many arrived in time, 1 when fewer did, 2 on a setup error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "tests/shell/KeyTarget.h"
#include "tools/CameraStandInState.h"

namespace {

using e2e::g_keyDowns;
using e2e::KeyWindowProc;
using e2e::Pump;

void HoldButton(brelkin::standin::StandInState& state, LONG down) {
    InterlockedExchange(&state.wdm.buttonPressed, down);
    InterlockedExchange(&state.bda.buttonPressed, down);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: PressProbe <count> <timeout ms>\n");
        return 2;
    }
    const size_t count = static_cast<size_t>(_wtoi(argv[1]));
    const DWORD timeout = static_cast<DWORD>(_wtoi(argv[2]));

    WNDCLASSW wc{};
    wc.lpfnWndProc = KeyWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BrelkinPressProbe";
    RegisterClassW(&wc);
    HWND target = CreateWindowExW(0, wc.lpszClassName, L"Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                                  200, nullptr, nullptr, wc.hInstance, nullptr);
    if (!target) return 2;
    const ULONGLONG focusEnd = GetTickCount64() + 5000;
    while ((GetForegroundWindow() != target || GetFocus() != target) && GetTickCount64() < focusEnd) {
        SetForegroundWindow(target);
        SetFocus(target);
        Pump(100);
    }
    if (GetFocus() != target) {
        std::fprintf(stderr, "PressProbe: the window did not get the focus\n");
        return 2;
    }

    HANDLE mapping = nullptr;
    brelkin::standin::StandInState* state = brelkin::standin::OpenStandInState(&mapping);
    if (!state) return 2;
    g_keyDowns.clear();
    // A tap, not a hold: a deployed long press would answer a held button
    // with its own chords, and a press released before it sends the mode's.
    HoldButton(*state, 1);
    const ULONGLONG end = GetTickCount64() + timeout;
    const ULONGLONG release = GetTickCount64() + 300;
    while (g_keyDowns.size() < count && GetTickCount64() < release) Pump(20);
    HoldButton(*state, 0);
    while (g_keyDowns.size() < count && GetTickCount64() < end) Pump(20);
    // The keys of a tick that was under way still arrive here, not elsewhere.
    Pump(600);
    brelkin::standin::CloseStandInState(state, mapping);
    DestroyWindow(target);

    for (size_t i = 0; i < g_keyDowns.size() && i < count; ++i)
        std::printf(i ? " %u" : "%u", static_cast<unsigned>(g_keyDowns[i]));
    std::printf("\n");
    return g_keyDowns.size() >= count ? 0 : 1;
}
