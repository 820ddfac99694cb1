// The camera library in the camera host: its faults never end Brelkin.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/shell/EndToEndDeviceFixture.h"

namespace {

using namespace e2e;

// The camera hosts that the given Brelkin started and that still run.
std::vector<DWORD> HostsOf(DWORD brelkin) {
    std::vector<DWORD> hosts;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return hosts;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == brelkin && _wcsicmp(entry.szExeFile, BRELKIN_HOST_NAME_W) == 0)
            hosts.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return hosts;
}

// Key downs reach the test's window within `ms` of a held button.
bool PressAnsweredWithin(standin::ClassState& camera, DWORD ms) {
    g_keyDowns.clear();
    InterlockedExchange(&camera.buttonPressed, 1);
    const ULONGLONG until = GetTickCount64() + ms;
    while (g_keyDowns.empty() && GetTickCount64() < until) Pump(10);
    InterlockedExchange(&camera.buttonPressed, 0);
    Pump(300);
    return !g_keyDowns.empty();
}

TEST_F(EndToEndDevice, ACrashInIsButtonPressedIsLoggedAndPressesAreAnsweredAgain) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(PressAnsweredWithin(Bda(), 3000));
    InterlockedExchange(&state->faultPressed, standin::FaultCrashOnce);
    ASSERT_TRUE(WaitForLog("Camera library crashed: BDADLL.dll, exception 0xC0000005 at BDADLL.dll+0x", 5000))
        << SupportLog();
    const ULONGLONG crashed = GetTickCount64();
    EXPECT_NE(SupportLog().find(" in IsButtonPressed"), std::string::npos);
    EXPECT_TRUE(WaitForLog("Camera open (BDA), restart after a camera library fault: the camera answered", 2000));
    // Within 3 s of the crash.
    const ULONGLONG spent = std::min<ULONGLONG>(GetTickCount64() - crashed, 2500);
    EXPECT_TRUE(PressAnsweredWithin(Bda(), static_cast<DWORD>(3000 - spent)));
    EXPECT_NE(SupportLog().find("Notification: The camera library BDADLL.dll crashed in IsButtonPressed."),
              std::string::npos);
    EXPECT_TRUE(p.Running());
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, AHangingCallEndsTheHostWhileTheFrameKeepsAnswering) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    InterlockedExchange(&state->faultPressed, standin::FaultHangOnce);
    ASSERT_TRUE(WaitFor([&] { return state->faultsFired == 1; }, 3000));
    // While the host hangs, while it is ended at 2 s and while the next one
    // starts and opens, the frame answers at once.
    const ULONGLONG until = GetTickCount64() + 8000;
    ULONGLONG slowest = 0;
    while (Bda().calls.opened < 2 && GetTickCount64() < until) {
        const ULONGLONG sent = GetTickCount64();
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
        slowest = std::max(slowest, GetTickCount64() - sent);
        Sleep(50);
    }
    ASSERT_EQ(Bda().calls.opened, 2) << "the host was not replaced\n" << SupportLog();
    EXPECT_LE(slowest, 200u) << "the frame waited on the host";
    ASSERT_TRUE(WaitForLog("Camera library hung: BDADLL.dll, IsButtonPressed had not returned after ", 1000))
        << SupportLog();
    standin::ReleaseHangs(*state);
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, AHostKilledFromOutsideIsRestartedAndKillingBrelkinLeavesNoHost) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    std::vector<DWORD> hosts = HostsOf(p.pi.dwProcessId);
    ASSERT_EQ(hosts.size(), 1u);
    HANDLE host = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, hosts[0]);
    ASSERT_NE(host, nullptr);
    TerminateProcess(host, 7);
    WaitForSingleObject(host, 5000);
    CloseHandle(host);
    ASSERT_TRUE(WaitForLog("Camera host for BDADLL.dll ended unexpectedly, exit code 0x7", 5000)) << SupportLog();
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 2; }, 3000));
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    hosts = HostsOf(p.pi.dwProcessId);
    ASSERT_EQ(hosts.size(), 1u);

    // Killed, Brelkin cannot ask its host to go: the job and the broken pipe end it.
    TerminateProcess(p.pi.hProcess, 9);
    WaitForSingleObject(p.pi.hProcess, 5000);
    EXPECT_TRUE(WaitFor([&] { return HostsOf(p.pi.dwProcessId).empty(); }, 5000)) << "a host outlived Brelkin";
}

// The whole schedule up to the stop takes minutes (the native tests walk it):
// here the first three faults, at once and after 1 and 2 s.
TEST_F(EndToEndDevice, FaultsInARowAreRestartedWithTheBackOff) {
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    InterlockedExchange(&state->faultPressed, standin::FaultCrashAlways);
    ASSERT_TRUE(WaitForLog("Camera host: restarting in 2 s", 10000)) << SupportLog();
    InterlockedExchange(&state->faultPressed, standin::FaultNone);
    EXPECT_EQ(state->faultsFired, 3);
    const std::string log = SupportLog();
    EXPECT_LT(log.find("Camera host: restarting now"), log.find("Camera host: restarting in 1 s"));
    ASSERT_TRUE(WaitFor([&] { return Bda().calls.opened == 4; }, 5000)) << SupportLog();
    // The balloons of the faults may have moved the focus.
    ASSERT_TRUE(Focus(target));
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, LibrariesInTheCurrentFolderAndOnThePathAreNeverLoaded) {
    const std::wstring exe = Install(L"BrelkinProbe.exe", {});
    const std::wstring planted = TestDir() + L"\\planted";
    CreateDirectoryW(planted.c_str(), nullptr);
    const std::wstring standins = WinPath(BRELKIN_STANDIN_DIR);
    for (const wchar_t* dll : {L"\\emDLL.dll", L"\\BDADLL.dll"})
        ASSERT_TRUE(WaitFor([&] { return CopyFileW((standins + dll).c_str(), (planted + dll).c_str(), FALSE) != 0; }));
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe, planted.c_str(), planted.c_str());
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), start-up: no camera library")) << SupportLog();
    EXPECT_NE(SupportLog().find("Library BDADLL.dll: not found in "), std::string::npos) << SupportLog();
    EXPECT_EQ(Bda().calls.constructed, 0);
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, TheX64BrelkinReadsThe32BitLibrariesThroughTheX86Host) {
#if !defined(BRELKIN_X64_BIN_DIR)
    GTEST_SKIP() << "runs in the x86 run, under Wine's WoW64 mode, with the x64 build's program";
#else
    const std::wstring x64 = WinPath(BRELKIN_X64_BIN_DIR);
    if (GetFileAttributesW((x64 + L"\\Brelkin.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no x64 build at " << BRELKIN_X64_BIN_DIR << " (build the win64 preset first)";
    target = CreateKeyWindow();
    ASSERT_NE(target, nullptr);
    const std::wstring standins = WinPath(BRELKIN_STANDIN_DIR);
    // The x64 program with this (x86) build's libraries and host only.
    const std::wstring exe = Install(L"Brelkin.exe", {standins + L"\\emDLL.dll", standins + L"\\BDADLL.dll"}, x64);
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), start-up: the camera answered")) << SupportLog();
    EXPECT_NE(SupportLog().find("x64"), std::string::npos);
    ASSERT_TRUE(Focus(target));
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000));
    EXPECT_EQ(Exit(p, frame), 0u);
#endif
}

// What real vendor libraries do, in the host as in Brelkin's own process.
//
// A constructor that takes three seconds is an open, not a hang; a button that
// reaches the library as a message posted to its thread is read.
TEST_F(EndToEndDevice, ASlowConstructorOpensAndAButtonPostedAsAMessageIsRead) {
    InterlockedExchange(&state->constructorMs, 3000);
    InterlockedExchange(&state->buttonByMessage, 1);
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), start-up: the camera answered")) << SupportLog();
    EXPECT_EQ(SupportLog().find("hung"), std::string::npos) << SupportLog();
    EXPECT_EQ(Bda().calls.constructed, 1);
    EXPECT_TRUE(PressAnsweredWithin(Bda(), 3000)) << "the host's thread does not pump its messages";
    EXPECT_GT(state->buttonMessagesTaken, 0);
    EXPECT_EQ(Exit(p, frame), 0u);
}

TEST_F(EndToEndDevice, ALibraryLoadsItsCompanionFromBesideItselfByName) {
    InterlockedExchange(&state->loadCompanion, 1);
    const std::wstring standins = WinPath(BRELKIN_STANDIN_DIR);
    const std::wstring exe = Install(L"BrelkinProbe.exe", {standins + L"\\emDLL.dll", standins + L"\\BDADLL.dll",
                                                           standins + L"\\BrelkinStandInCompanion.dll"});
    Process p;
    HWND frame = StartAndWaitForFrame(p, exe);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForLog("Camera open (BDA), start-up: the camera answered")) << SupportLog();
    EXPECT_GE(state->companionCalls, 1);
    EXPECT_EQ(SupportLog().find("crashed"), std::string::npos) << SupportLog();
    EXPECT_EQ(Exit(p, frame), 0u);
}

// A process the library started with inherited handles holds none of the
// host's: a crash and the restart never stall the frame, and the process goes
// with the host's job.
TEST_F(EndToEndDevice, AChildProcessOfTheLibraryNeverStallsTheFrameThroughACrash) {
    InterlockedExchange(&state->childLivesMs, 30000);
    Process p;
    HWND frame = StartWithAFocusedKeyWindow(p);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return state->childProcessId != 0; }, 5000));
    HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(state->childProcessId));
    ASSERT_NE(child, nullptr);
    // A process that ended on its own would prove nothing of the job.
    ASSERT_EQ(WaitForSingleObject(child, 500), static_cast<DWORD>(WAIT_TIMEOUT)) << "the library's process did not run";
    InterlockedExchange(&state->childLivesMs, 0);  // the restarted library starts none
    InterlockedExchange(&state->faultPressed, standin::FaultCrashOnce);
    const ULONGLONG until = GetTickCount64() + 8000;
    ULONGLONG slowest = 0;
    bool restarted = false;
    while (GetTickCount64() < until && !restarted) {
        const ULONGLONG sent = GetTickCount64();
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
        slowest = std::max(slowest, GetTickCount64() - sent);
        restarted = SupportLog().find("restart after a camera library fault: the camera answered") != std::string::npos;
        Sleep(100);
    }
    EXPECT_TRUE(restarted) << SupportLog();
    EXPECT_LE(slowest, 300u) << "the frame waited on the host";
    EXPECT_EQ(WaitForSingleObject(child, 5000), WAIT_OBJECT_0) << "the library's process outlived its host";
    CloseHandle(child);
    EXPECT_EQ(Exit(p, frame), 0u);
}

}  // namespace
