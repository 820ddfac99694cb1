// Start-up of one program, run several times:
//   ProcessBench startup <exe> <runs>
// and, for Brelkin.exe over the stand-ins, its handles before and after a
// storm of arrival messages and rescan commands:
//   ProcessBench storm <exe> <count>
// and, for a program started beside it, the stand-in camera made slow:
//   ProcessBench slowcamera <ms per IsButtonPressed> <settle s> <seconds>
// holds the stand-in block with the slow call set, waits `settle` seconds,
// counts the IsButtonPressed calls over `seconds` and prints the mean period
// between them, then takes the slow call away again.
// The time from process start until the program first waits for input (its
// tray icon is added during window creation, before that), then private bytes
// and working set as the process memory query gives them; medians. Wine
// reports neither CPU times nor private bytes of another process, so
// scripts/bench reads those from the host side. Prints "key value" lines.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tools/CameraStandInState.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Child {
    PROCESS_INFORMATION info{};
    bool ok = false;
};

Child Start(const std::wstring& exe) {
    Child child;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    child.ok = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &child.info) != FALSE;
    if (!child.ok) std::fwprintf(stderr, L"cannot start %ls: error %lu\n", exe.c_str(), GetLastError());
    return child;
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(pid)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void Stop(Child& child) {
    if (!child.ok) return;
    // Closing the program's windows politely lets it remove its tray icon.
    EnumWindows(CloseWindowOf, static_cast<LPARAM>(child.info.dwProcessId));
    if (WaitForSingleObject(child.info.hProcess, 3000) != WAIT_OBJECT_0) {
        TerminateProcess(child.info.hProcess, 1);
        WaitForSingleObject(child.info.hProcess, 5000);
    }
    CloseHandle(child.info.hThread);
    CloseHandle(child.info.hProcess);
    child.ok = false;
}

// Wine answers GetProcessHandleCount with 0; its system handle list is real.
DWORD HandleCountOf(DWORD pid) {
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    struct Entry {
        ULONG ownerPid;
        BYTE type, flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    static std::vector<char> buffer(1 << 22);
    ULONG length = 0;
    if (!query || query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0) return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD mine = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == pid) ++mine;
    return mine;
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Storm(const std::wstring& exe, int count) {
    Child child = Start(exe);
    if (!child.ok) return 1;
    WaitForInputIdle(child.info.hProcess, 30000);
    Sleep(1000);
    const std::vector<HWND> windows = WindowsOf(child.info.dwProcessId);
    auto storm = [&](int n) {
        for (int i = 0; i < n; ++i)
            for (HWND window : windows) {
                DWORD_PTR result;
                SendMessageTimeoutW(window, WM_DEVICECHANGE, 0x8000, 0, SMTO_BLOCK, 2000, &result);
                SendMessageTimeoutW(window, WM_DEVICECHANGE, 0x8004, 0, SMTO_BLOCK, 2000, &result);
            }
    };
    storm(10);  // lazy allocations of the first rescans are not a leak
    Sleep(300);
    HANDLE mapping = nullptr;
    brelkin::standin::StandInState* block = brelkin::standin::OpenStandInState(&mapping);
    auto opens = [&] { return block ? block->wdm.calls.opened + block->bda.calls.opened : 0L; };
    const DWORD before = HandleCountOf(child.info.dwProcessId);
    const LONG opensBefore = opens();
    storm(count);
    Sleep(300);
    const DWORD after = HandleCountOf(child.info.dwProcessId);
    const LONG opensDuring = opens() - opensBefore;
    Stop(child);
    // After the exit every object the program made must be gone again.
    const bool balanced = block && block->wdm.calls.constructed == block->wdm.calls.destroyed &&
                          block->bda.calls.constructed == block->bda.calls.destroyed;
    std::printf("camera_opens_during_storm %ld\nobjects_balanced_after_exit %s\n", opensDuring,
                balanced ? "yes" : "no");
    brelkin::standin::CloseStandInState(block, mapping);
    std::printf("windows %zu\narrivals %d\nhandles_before %lu\nhandles_after %lu\n", windows.size(), count,
                before, after);
    return 0;
}

int Startup(const std::wstring& exe, int runs) {
    std::vector<double> startMs, privateKb, workingKb;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        Child child = Start(exe);
        if (!child.ok) return 1;
        const DWORD idle = WaitForInputIdle(child.info.hProcess, 30000);
        const double t1 = Now();
        if (idle != 0) {
            std::fprintf(stderr, "no idle wait within 30 s (result %lu)\n", idle);
            Stop(child);
            return 1;
        }
        startMs.push_back((t1 - t0) * 1000);
        Sleep(500);  // let lazy start-up work settle before reading memory
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(child.info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters)) {
            privateKb.push_back(static_cast<double>(counters.PrivateUsage) / 1024);
            workingKb.push_back(static_cast<double>(counters.WorkingSetSize) / 1024);
        }
        Stop(child);
    }
    std::printf("startup_ms %.1f\nprivate_kb %.0f\nworking_set_kb %.0f\nruns %d\n", Median(startMs),
                Median(privateKb), Median(workingKb), runs);
    return 0;
}

int SlowCamera(LONG callMs, int settleSeconds, int seconds) {
    HANDLE mapping = nullptr;
    brelkin::standin::StandInState* block = brelkin::standin::OpenStandInState(&mapping);
    if (block == nullptr) return 1;
    InterlockedExchange(&block->pressedCallMs, callMs);
    auto calls = [&] { return block->wdm.calls.pressed + block->bda.calls.pressed; };
    Sleep(static_cast<DWORD>(settleSeconds) * 1000);
    const LONG before = calls();
    const double t0 = Now();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const LONG during = calls() - before;
    const double elapsedMs = (Now() - t0) * 1000;
    InterlockedExchange(&block->pressedCallMs, 0);
    std::printf("pressed_calls %ld\nmean_period_ms %.1f\n", during, during > 0 ? elapsedMs / during : 0.0);
    brelkin::standin::CloseStandInState(block, mapping);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 4 && std::wstring(argv[1]) == L"startup") return Startup(argv[2], _wtoi(argv[3]));
    if (argc >= 4 && std::wstring(argv[1]) == L"storm") return Storm(argv[2], _wtoi(argv[3]));
    if (argc >= 5 && std::wstring(argv[1]) == L"slowcamera")
        return SlowCamera(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]));
    std::fprintf(stderr,
                 "usage: ProcessBench startup <exe> <runs> | storm <exe> <count> | slowcamera <ms> <settle> <s>\n");
    return 2;
}
