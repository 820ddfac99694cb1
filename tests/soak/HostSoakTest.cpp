// The camera host crashing again and again: 200 crashes and restarts in a row,
// through the real host process, its pipes, its job and its reader thread,
// leave this process with the handles and threads it had before.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "device/CameraHostSource.h"
#include "device/win32/Win32CameraHostProcess.h"
#include "device/win32/Win32DevicePlatform.h"
#include "tests/soak/HandleCount.h"
#include "tools/CameraStandInState.h"

namespace {

using namespace brelkin;

class CountingLog final : public ISupportLog {
public:
    void Write(std::string_view event) override {
        if (event.find("Camera library crashed") == 0) ++crashes;
        if (event.find("the camera answered") != std::string_view::npos) ++opens;
        if (event.find(": cannot start") != std::string_view::npos && failedStarts++ == 0)
            firstFailedStart = std::string(event);
        // The lines before a stall say why: a start that failed names its error.
        last = last.substr(last.size() > 600 ? last.size() - 600 : 0) + "\n  " + std::string(event);
    }
    long crashes = 0;
    long opens = 0;
    long failedStarts = 0;  // retried: printed, not a failure
    std::string firstFailedStart;
    std::string last;
};

DWORD ThreadCount() {
    DWORD threads = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++threads;
    CloseHandle(snapshot);
    return threads;
}

struct Counts {
    DWORD handles, threads;
    bool operator==(const Counts& o) const { return handles == o.handles && threads == o.threads; }
};

// Hosts told to quit and reader threads of ended hosts finish in the
// background: the counts are taken once they have.
Counts SettledCounts(const Counts* expected) {
    Counts c{};
    for (int i = 0; i < 100; ++i) {
        Sleep(100);
        const Counts now{soak::ProcessHandleCount(), ThreadCount()};
        if (i > 2 && (expected ? now == *expected : now == c)) return now;
        c = now;
    }
    return c;
}

// Runs the source until `crashes` crashes were restarted; false on a stall.
// Prints the longest Pump, the interface thread's share of a crash and its
// restart (a figure, not a test: speed targets live in the bench).
bool CrashAndRestart(CameraHostSource& source, CountingLog& log, long crashes) {
    const long target = log.crashes + crashes;
    const ULONGLONG until = GetTickCount64() + 170000;
    ULONGLONG longest = 0;
    while (log.crashes < target && GetTickCount64() < until) {
        const ULONGLONG before = GetTickCount64();
        source.Pump();
        longest = std::max(longest, GetTickCount64() - before);
        Sleep(2);
    }
    std::printf("%ld crashes: the longest Pump took %llu ms\n", crashes, longest);
    if (log.crashes < target) {
        // What a stall leaves: the hosts still there, and this process's threads.
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
            if ((lstrcmpiW(entry.szExeFile, L"BrelkinCameraHost32.exe") == 0 ||
                 lstrcmpiW(entry.szExeFile, L"BrelkinCameraHost64.exe") == 0))
                std::printf("host %lu alive, %lu threads\n", entry.th32ProcessID, entry.cntThreads);
        CloseHandle(snapshot);
        const CameraStatus status = source.Status();
        std::printf("stalled with %lu threads here; host state %d, camera state %d, opening %d\n", ThreadCount(),
                    static_cast<int>(status.host), static_cast<int>(status.camera), status.opening ? 1 : 0);
    }
    return log.crashes >= target;
}

TEST(Soak, TwoHundredHostCrashesAndRestartsLeaveTheHandlesAndThreadsAsTheyWere) {
    HANDLE mapping = nullptr;
    standin::StandInState* block = standin::OpenStandInState(&mapping);
    ASSERT_NE(block, nullptr);
    standin::ResetStandInState(*block);
    InterlockedExchange(&block->faultPressed, standin::FaultCrashAlways);

    Win32OsVersion osVersion;
    Win32DeviceNotification notification;
    SequenceStep step = 0;
    CountingLog log;
    NullNotifier notifier;
    // The test switch: restarts at once, and never stopped.
    const RestartPolicy everyFaultAtOnce{0, 100000, 30 * 60 * 1000};
    // One source and its host process, run until `crashes` more crashes were restarted.
    auto run = [&](long crashes) {
        Win32CameraHostProcess process;
        CameraHostSource source(process, osVersion, notification, step);
        source.AttachSupport(log, notifier);
        source.SetRestartPolicy(everyFaultAtOnce);
        source.Kind() = DriverWdm;
        source.OpenCamera(DriverWdm, CameraOpenCause::StartUp);
        const bool restarted = CrashAndRestart(source, log, crashes);
        source.ReleaseCameraSource();
        return restarted;
    };
    // The first hosts: the loader, COM and the job machinery set themselves
    // up once per process.
    ASSERT_TRUE(run(5)) << "no crash: is BrelkinCameraHost32.exe or 64 beside the test? " << log.last;
    const Counts before = SettledCounts(nullptr);
    const ULONGLONG started = GetTickCount64();
    EXPECT_TRUE(run(200)) << log.crashes << " crashes; the last lines:" << log.last;
    const Counts after = SettledCounts(&before);
    std::printf("200 host crashes and restarts in %llu ms; handles %lu -> %lu, threads %lu -> %lu\n",
                GetTickCount64() - started, before.handles, after.handles, before.threads, after.threads);
    if (log.failedStarts > 0)
        std::printf("%ld starts failed and were retried, the first: %s\n", log.failedStarts,
                    log.firstFailedStart.c_str());
    ASSERT_GT(before.handles, 0u) << "no way to count this process's handles";
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.threads, before.threads);
    EXPECT_GE(log.opens, 200) << "each restarted host opened the camera";

    standin::ResetStandInState(*block);
    standin::CloseStandInState(block, mapping);
}

}  // namespace
