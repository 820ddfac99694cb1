// Press-to-first-key latency and chord timing of a running Brelkin.exe:
//   LatencyBench <path of Brelkin.exe> [presses] [PollPeriod] [latency|short|long|double]
// Before the start the custom row is set in the registry to A then B at one
// time with a 30 ms delay, over the WDM stand-in, and PollPeriod (50) too.
// latency: each press comes at a random phase of a 400 ms span: the
// stand-in's button goes down, and the time until the first WM_KEYDOWN
// reaches this program's focused window is the latency; the button goes up as
// soon as that key arrives. The key-down to key-up spans are the holds
// (25 ms), key A up to key B down the delay.
// long: as latency with the long press set to the custom row: the button is
// held until the first key, which the long press sends at its time (700 ms).
// double: the double press set to the custom row: a 60 ms press, and the time
// from its release to the first key (the single press, after the 400 ms wait);
// every other press is followed 100 ms after its release by a second one, and
// the time from that one's press to the first key is the double press's.
// The other modes set no gesture.
// short: timed presses of 40, 60, 100, 200 and 300 ms, 50 of each at random
// phases, each answered by no A, one A, or more.
// start: `presses` starts of Brelkin with the button already held: the time
// from CreateProcess to the first key down.
// crash: `presses` starts; once the held button is answered, the stand-in's
// IsButtonPressed crashes once: the time from the crash to the first key down
// after it (the camera host's first restart).
// blocked: as crash, and through the crash and the restart (until 1 s after
// the first key after it) a window of Brelkin's is sent WM_NULL every 10 ms:
// how long the interface thread took to answer each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tools/CameraStandInState.h"

namespace {

constexpr DWORD DelayTimeMs = 30;
constexpr double HoldMs = 25;

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / frequency;
}

struct KeyTimes {
    double aDown = 0, aUp = 0, bDown = 0, bUp = 0;
};
KeyTimes g_keys;
int g_aDowns = 0;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const double now = NowMs();
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        if (wParam == 'A') ++g_aDowns;
        if (wParam == 'A' && g_keys.aDown == 0) g_keys.aDown = now;
        if (wParam == 'B' && g_keys.bDown == 0) g_keys.bDown = now;
        return 0;
    }
    if (message == WM_KEYUP || message == WM_SYSKEYUP) {
        if (wParam == 'A' && g_keys.aUp == 0) g_keys.aUp = now;
        if (wParam == 'B' && g_keys.bUp == 0) g_keys.bUp = now;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Handles messages until `done` holds or the time runs out.
template <typename F>
bool PumpUntil(double deadlineMs, F&& done) {
    MSG message;
    while (!done()) {
        const double left = deadlineMs - NowMs();
        if (left <= 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

// `gesture`: LongPressKey or DoublePressKey, set to the custom row; null: none.
bool WriteSettings(DWORD pollPeriod, const wchar_t* gesture) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    auto dword = [&](const wchar_t* name, DWORD value) {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
               ERROR_SUCCESS;
    };
    const wchar_t mode[] = L"Custom Setting";
    bool ok = dword(L"Key1", 'A') && dword(L"Key2", 'B') && dword(L"Key3", 0) && dword(L"KeyEx1", 0) &&
              dword(L"KeyEx2", 0) && dword(L"KeyEx3", 0) && dword(L"OneByOne", 0) &&
              dword(L"DelayTime", DelayTimeMs) && dword(L"UseBDA", 0) &&
              dword(L"PollPeriod", pollPeriod);
    ok = ok && RegSetValueExW(key, L"DefaultKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(mode), sizeof mode) ==
                   ERROR_SUCCESS;
    RegDeleteValueW(key, L"LongPressKey");
    RegDeleteValueW(key, L"DoublePressKey");
    if (gesture != nullptr)
        ok = ok && RegSetValueExW(key, gesture, 0, REG_SZ, reinterpret_cast<const BYTE*>(mode), sizeof mode) ==
                       ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};
BOOL CALLBACK FindWindowOf(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<WindowSearch*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->pid) return TRUE;
    s->found = window;
    return FALSE;
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(pid)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

struct Stats {
    double median, p99, max;
};
Stats Summarise(std::vector<double> v) {
    if (v.empty()) return {0, 0, 0};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

void PrintRow(const char* name, const std::vector<double>& v, const char* against) {
    const Stats s = Summarise(v);
    std::printf("%-30s %6zu %9.1f %9.1f %9.1f   %s\n", name, v.size(), s.median, s.p99, s.max, against);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: LatencyBench <Brelkin.exe> [presses]\n");
        return 2;
    }
    int presses = argc > 2 ? _wtoi(argv[2]) : 200;
    const DWORD pollPeriod = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 50;
    const std::wstring mode = argc > 4 ? argv[4] : L"latency";
    const bool shortPresses = mode == L"short";
    const bool longPress = mode == L"long";
    const bool doublePress = mode == L"double";
    const wchar_t* gesture = longPress ? L"LongPressKey" : doublePress ? L"DoublePressKey" : nullptr;
    HANDLE mapping = nullptr;
    brelkin::standin::StandInState* block = brelkin::standin::OpenStandInState(&mapping);
    if (block == nullptr || !WriteSettings(pollPeriod, gesture)) {
        std::fprintf(stderr, "cannot set up the stand-in block or the settings\n");
        return 2;
    }
    brelkin::standin::ResetStandInState(*block);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TargetProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BrelkinLatencyTarget";
    RegisterClassW(&windowClass);
    HWND target = CreateWindowExW(0, windowClass.lpszClassName, L"Latency target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  50, 50, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(target);
    SetFocus(target);

    if (mode == L"start" || mode == L"crash" || mode == L"blocked") {
        const bool blocked = mode == L"blocked";
        const bool crash = mode == L"crash" || blocked;
        std::vector<double> times, answers;
        for (int run = 0; run < presses; ++run) {
            brelkin::standin::ResetStandInState(*block);
            SetForegroundWindow(target);
            SetFocus(target);
            g_keys = {};
            block->wdm.buttonPressed = 1;
            std::wstring line = L"\"" + std::wstring(argv[1]) + L"\"";
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            const double started = NowMs();
            if (!CreateProcessW(argv[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 2;
            const bool first = PumpUntil(started + 10000, [] { return g_keys.aDown != 0; });
            if (first && !crash) times.push_back(g_keys.aDown - started);
            if (first && crash && !blocked) {
                InterlockedExchange(&block->faultPressed, brelkin::standin::FaultCrashOnce);
                PumpUntil(NowMs() + 5000, [&] { return block->faultsFired != 0; });
                const double crashed = NowMs();
                g_keys = {};
                if (PumpUntil(crashed + 10000, [] { return g_keys.aDown != 0; })) times.push_back(g_keys.aDown - crashed);
            }
            if (first && blocked) {
                WindowSearch search{pi.dwProcessId, nullptr};
                EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
                InterlockedExchange(&block->faultPressed, brelkin::standin::FaultCrashOnce);
                PumpUntil(NowMs() + 5000, [&] { return block->faultsFired != 0; });
                const double crashed = NowMs();
                g_keys = {};
                double end = crashed + 10000;
                while (search.found && NowMs() < end) {
                    const double sent = NowMs();
                    DWORD_PTR result = 0;
                    SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                    answers.push_back(NowMs() - sent);
                    PumpUntil(NowMs() + 10, [] { return false; });
                    if (g_keys.aDown != 0 && end > g_keys.aDown + 1000) end = g_keys.aDown + 1000;
                }
                if (g_keys.aDown != 0) times.push_back(g_keys.aDown - crashed);
            }
            block->wdm.buttonPressed = 0;
            EnumWindows(CloseWindowOf, static_cast<LPARAM>(pi.dwProcessId));
            if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
            PumpUntil(NowMs() + 500, [] { return false; });
        }
        brelkin::standin::CloseStandInState(block, mapping);
        std::printf("%-30s %6s %9s %9s %9s\n", "ms", "n", "median", "p99", "max");
        PrintRow(crash ? "crash to first key down" : "start to first key down", times,
                 crash ? "(target <= 1500 for the first restart)" : "(target <= 1000)");
        if (blocked) {
            PrintRow("frame answer through it", answers, "(target: none later than 50)");
            std::printf("answers later than 50 ms: %zu of %zu\n",
                        static_cast<size_t>(std::count_if(answers.begin(), answers.end(), [](double a) { return a > 50; })),
                        answers.size());
        }
        std::printf("runs without a key within 10 s: %d of %d\n", presses - static_cast<int>(times.size()), presses);
        return times.empty() ? 1 : 0;
    }

    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION app{};
    if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &app)) {
        std::fprintf(stderr, "cannot start Brelkin.exe: error %lu\n", GetLastError());
        return 2;
    }
    WaitForInputIdle(app.hProcess, 30000);
    PumpUntil(NowMs() + 1000, [] { return false; });
    SetForegroundWindow(target);
    SetFocus(target);

    std::mt19937 random(12345);
    std::uniform_real_distribution<double> phase(0, 400);
    if (shortPresses) {
        std::printf("PollPeriod %lu ms: short presses at random phases\n", pollPeriod);
        std::printf("%-14s %6s %10s %10s %10s %10s\n", "press ms", "n", "answered", "once", "twice+", "share");
        for (LONG length : {40, 60, 100, 200, 300}) {
            int answered = 0, once = 0, more = 0;
            for (int i = 0; i < 50; ++i) {
                PumpUntil(NowMs() + phase(random), [] { return false; });
                if (GetFocus() != target) SetFocus(target);
                g_aDowns = 0;
                brelkin::standin::SetTimedPress(*block, 0, length);
                // The press, a repeat's worth more, and the chords' own time.
                PumpUntil(NowMs() + length + 400 + 4 * 30, [] { return false; });
                answered += g_aDowns > 0;
                once += g_aDowns == 1;
                more += g_aDowns > 1;
            }
            std::printf("%-14ld %6d %10d %10d %10d %9.0f%%\n", length, 50, answered, once, more,
                        answered * 100.0 / 50);
        }
        presses = 0;  // the latency part below is not run
    }
    std::vector<double> latency, holds, delays, secondPress;
    int lost = 0;
    for (int i = 0; i < presses; ++i) {
        PumpUntil(NowMs() + phase(random), [] { return false; });
        if (GetFocus() != target) SetFocus(target);
        g_keys = {};
        double down = NowMs();
        block->wdm.buttonPressed = 1;
        bool second = false;
        if (doublePress) {
            // The single press is sent after the release, so that is when its time starts.
            PumpUntil(down + 60, [] { return false; });
            block->wdm.buttonPressed = 0;
            down = NowMs();
            if (i % 2 == 1) {
                PumpUntil(down + 100, [] { return false; });
                down = NowMs();
                block->wdm.buttonPressed = 1;
                second = true;
            }
        }
        const bool first = PumpUntil(down + 4000, [] { return g_keys.aDown != 0; });
        block->wdm.buttonPressed = 0;
        if (!first) {
            ++lost;
            continue;
        }
        (second ? secondPress : latency).push_back(g_keys.aDown - down);
        if (PumpUntil(NowMs() + 2000, [] { return g_keys.bUp != 0; })) {
            holds.push_back(g_keys.aUp - g_keys.aDown);
            holds.push_back(g_keys.bUp - g_keys.bDown);
            delays.push_back(g_keys.bDown - g_keys.aUp);
        }
        // Let the rest of the tick (the delay after B) pass before the next press.
        PumpUntil(NowMs() + DelayTimeMs + 10, [] { return false; });
    }

    EnumWindows(CloseWindowOf, static_cast<LPARAM>(app.dwProcessId));
    if (WaitForSingleObject(app.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(app.hProcess, 1);
    CloseHandle(app.hThread);
    CloseHandle(app.hProcess);
    brelkin::standin::CloseStandInState(block, mapping);

    if (shortPresses) return 0;
    char bound[96];
    std::snprintf(bound, sizeof bound, "bound %lu + %.0f ms hold = %.0f ms (target p99 <= %.0f)", pollPeriod, HoldMs,
                  pollPeriod + HoldMs, pollPeriod + HoldMs + 10);
    std::printf("PollPeriod %lu ms\n", pollPeriod);
    char holdNote[64], delayNote[64];
    std::snprintf(holdNote, sizeof holdNote, "against %.0f ms", HoldMs);
    std::snprintf(delayNote, sizeof delayNote, "against DelayTime %lu ms", DelayTimeMs);
    std::printf("%-30s %6s %9s %9s %9s\n", "ms", "n", "median", "p99", "max");
    if (longPress) {
        PrintRow("long press: down to first key", latency, "against LongPressTime 700 ms + the bound");
    } else if (doublePress) {
        PrintRow("single press: up to first key", latency, "against DoublePressTime 400 ms + the bound");
        PrintRow("double press: 2nd down to key", secondPress, bound);
    } else {
        PrintRow("button down to first key down", latency, bound);
    }
    PrintRow("key down to key up (hold)", holds, holdNote);
    PrintRow("at one time: A up to B down", delays, delayNote);
    std::printf("presses without a key within 4 s: %d of %d\n", lost, presses);
    return latency.empty() ? 1 : 0;
}
