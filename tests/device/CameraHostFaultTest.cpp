// The camera host's faults as its client sees them: a crash, a call past its
// deadline, a watch block that means nothing, and the limit on restarts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/device/CameraHostFixture.h"

namespace brelkin::test {
namespace {

using hostwire::HostCall;
using hostwire::Kind;
using ::testing::ElementsAre;

TEST_F(HostFixture, ACrashIsLoggedAnsweredAsGoneAndRestartedAtOnceWithOneBalloon) {
    OpenAnswered();
    answer.calls.clear();
    process.Crash(static_cast<uint32_t>(HostCall::IsButtonPressed));
    source.Pump();
    EXPECT_TRUE(log.Has("Camera library crashed: BDADLL.dll, exception 0xC0000005 at BDADLL.dll+0x16F6 in IsButtonPressed"));
    EXPECT_TRUE(log.Has("Camera host: restarting now"));
    EXPECT_THAT(process.starts, ElementsAre(32u, 32u));
    EXPECT_THAT(answer.calls, ElementsAre("gone"));
    EXPECT_FALSE(source.IsHeld(DriverBda));
    ASSERT_EQ(notifier.texts.size(), 1u);
    EXPECT_THAT(notifier.texts[0], ::testing::HasSubstr("crashed in IsButtonPressed"));
    process.Answer(hostwire::OpenOutcome::Answered);
    source.Pump();
    EXPECT_TRUE(log.Has("Camera open (BDA), restart after a camera library fault: the camera answered"));
    EXPECT_EQ(source.Status().host, HostState::Running);
    EXPECT_EQ(source.Status().camera, CameraState::Answering);
    // The second crash is logged, not shown again.
    process.Crash(static_cast<uint32_t>(HostCall::GetPIO));
    source.Pump();
    EXPECT_EQ(notifier.texts.size(), 1u);
    EXPECT_TRUE(log.Has("Camera host: restarting in 1 s"));
    // What the Camera Status window reads meanwhile.
    EXPECT_EQ(source.Status().host, HostState::Restarting);
    EXPECT_EQ(source.Status().restartAtMs, process.now + 1000);
    EXPECT_EQ(source.Status().camera, CameraState::NoCameraObject);
    EXPECT_THAT(source.Status().lastFault, ::testing::HasSubstr("in GetPIO"));
}

TEST_F(HostFixture, ACallOrASilencePastItsLimitEndsTheHostAndTheCameraIsGone) {
    const struct {
        const char* label;
        HostCall call;  // none: a host that answers no open
        uint32_t period;
        uint64_t limit;
        const char* line;
        uint64_t lateBy;  // the call's first watch comes this late: both programs were paused
    } rows[] = {
        {"a poll call at 50 ms: 2 s", HostCall::IsButtonPressed, 50, 2000,
         "Camera library hung: BDADLL.dll, IsButtonPressed had not returned after 2001 ms; the camera host was ended", 0},
        {"a poll call at 200 ms: twenty periods", HostCall::GetPIO, 200, 4000,
         "Camera library hung: BDADLL.dll, GetPIO had not returned after 4001 ms; the camera host was ended", 0},
        {"a window message: the poll limit", HostCall::WindowMessage, 50, 2000,
         "Camera library hung: BDADLL.dll, a window message of the camera library had not returned after 2001 ms", 0},
        {"a close: the open's limit", HostCall::CloseInterface, 50, OpenLimitMs,
         "CloseInterface had not returned after 15001 ms", 0},
        {"no answer to an open", HostCall{}, 0, OpenAnswerLimitMs,
         "Camera host for BDADLL.dll had not answered an open after 20001 ms; the camera host was ended", 0},
        {"a poll call in Modern Standby for hours: its watch starts again", HostCall::IsButtonPressed, 50, 2000,
         "IsButtonPressed had not returned after 2001 ms", 3 * 3600 * 1000},
    };
    for (const auto& row : rows) {
        FakeHostProcess p;
        RowSource r(p, *this);
        auto& [l, n, a, s] = r;
        s.Pump();
        if (row.period != 0) {
            p.Answer(hostwire::OpenOutcome::Answered);
            p.Reading(ButtonReading::Up, row.period);
            s.Pump();
            p.watch = {static_cast<uint32_t>(row.call), p.now};
        }
        a.calls.clear();
        if (row.lateBy != 0) {
            p.now += row.lateBy;
            s.Pump();
            EXPECT_EQ(p.kills, 0) << row.label << ": a late watch judges nothing";
        }
        // The watch timer's ticks.
        for (uint64_t t = 0; t < row.limit; t += WatchPeriodMs) {
            p.now += std::min<uint64_t>(WatchPeriodMs, row.limit - t);
            s.Pump();
        }
        EXPECT_EQ(p.kills, 0) << row.label << ": still in time";
        p.now += 1;
        s.Pump();
        EXPECT_EQ(p.kills, 1) << row.label;
        EXPECT_TRUE(l.Has(row.line)) << row.label;
        if (row.call == HostCall::WindowMessage) {
            EXPECT_THAT(n.texts, ElementsAre(::testing::HasSubstr(
                                     "stopped answering in a window message of the camera library")));
        }
        EXPECT_THAT(s.Status().lastFault, ::testing::HasSubstr(row.line)) << row.label;
        EXPECT_THAT(a.calls, ElementsAre("gone")) << row.label;
        EXPECT_EQ(p.starts.size(), 2u) << row.label << ": restarted";
    }
}

// A message box of the library's during a call waits for the user however
// long: the call is not judged, presses are not answered, the box may come to
// the front. Once it is gone, the call has its limit again.
TEST_F(HostFixture, AWindowOfTheLibraryDuringACallWaitsForTheUser) {
    OpenAnswered();
    answer.calls.clear();
    process.watch = {static_cast<uint32_t>(HostCall::IsButtonPressed), process.now, true};
    for (int tick = 0; tick < 240; ++tick) {  // a minute
        process.now += WatchPeriodMs;
        process.Reading(ButtonReading::Down);
        source.Pump();
    }
    EXPECT_EQ(process.kills, 0);
    EXPECT_EQ(process.foregroundAllowed, 1);
    EXPECT_THAT(answer.calls, ElementsAre("gone")) << "no press while the window is open";
    EXPECT_EQ(source.Status().host, HostState::WaitingForUser);
    EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), HostWaitingLine()), 1);
    process.watch.libraryWindow = false;
    for (int tick = 0; tick < 8; ++tick, process.now += WatchPeriodMs) source.Pump();
    EXPECT_EQ(process.kills, 0) << "the window's time is not the call's";
    EXPECT_EQ(source.Status().host, HostState::Running);
    process.now += 1;
    source.Pump();
    EXPECT_EQ(process.kills, 1);
}

// Readings carry no kind: once the chosen kind cannot run, the old kind's
// camera is closed and whatever it still sends is dropped.
TEST_F(HostFixture, ADriverChoiceThatCannotRunClosesTheOldKind) {
    process.programBits = 32;
    process.canRun64 = false;
    OpenAnswered();
    answer.calls.clear();
    process.found.bits = 64;
    source.Kind() = DriverWdm;
    source.RescanCamera(CameraOpenCause::DriverChoice);
    EXPECT_FALSE(source.IsHeld(DriverBda));
    EXPECT_EQ(process.sent.back(), Kind::Close);
    EXPECT_TRUE(log.Has("Camera close (BDA)"));
    process.Reading(ButtonReading::Down);
    source.Pump();
    EXPECT_THAT(answer.calls, ::testing::Each("gone"));
}

TEST_F(HostFixture, AHostOutsideAJobOfItsOwnIsLoggedOnce) {
    process.jobRefusal = 5;
    OpenAnswered();
    process.Crash(static_cast<uint32_t>(HostCall::IsButtonPressed));
    source.Pump();
    source.Pump();
    EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), HostJobRefusedLine(5)), 1);
    EXPECT_THAT(process.starts, ElementsAre(32u, 32u));
}

TEST_F(HostFixture, AWatchBlockWithValuesThatMeanNothingIsIgnored) {
    OpenAnswered();
    const HostWatch rows[] = {{99, 0}, {static_cast<uint32_t>(HostCall::Count), 0},
                              {static_cast<uint32_t>(HostCall::GetPIO), process.now + 100000}};
    for (const HostWatch& w : rows) {
        process.watch = w;
        source.Pump();
    }
    EXPECT_EQ(process.kills, 0);
}

TEST_F(HostFixture, TenFaultsInThirtyMinutesStopTheRestartsUntilTheUserRescans) {
    OpenAnswered();
    std::vector<std::string> delays;
    for (unsigned fault = 1; fault <= 10; ++fault) {
        process.Crash(static_cast<uint32_t>(HostCall::IsButtonPressed));
        source.Pump();
        delays.push_back(log.lines.back());
        const CameraStatus status = source.Status();
        if (fault < 10) {
            EXPECT_EQ(status.host, fault == 1 ? HostState::Running : HostState::Restarting) << fault;
            EXPECT_EQ(status.lastFaultMs, process.now);
        }
        process.now += RestartDelayMs(fault);
        source.Pump();  // the restart falls due
    }
    // The schedule the README gives, each delay run once.
    EXPECT_THAT(delays, ElementsAre("Camera host: restarting now", "Camera host: restarting in 1 s",
                                    "Camera host: restarting in 2 s", "Camera host: restarting in 4 s",
                                    "Camera host: restarting in 8 s", "Camera host: restarting in 16 s",
                                    "Camera host: restarting in 32 s", "Camera host: restarting in 60 s",
                                    "Camera host: restarting in 60 s", ::testing::HasSubstr("10 faults")));
    EXPECT_EQ(process.starts.size(), 10u);
    EXPECT_TRUE(source.RestartsStopped());
    EXPECT_EQ(source.Status().host, HostState::Stopped);
    EXPECT_TRUE(log.Has("Camera host: 10 faults within 30 minutes, not restarted until \"Rescan Camera\" or a driver choice"));
    EXPECT_THAT(notifier.texts.back(), ::testing::HasSubstr("failed 10 times within 30 minutes, so Brelkin stopped"));
    process.now += 3600000;
    source.Pump();
    source.HandleDeviceChange(DeviceArrivalEvent, 0);
    EXPECT_EQ(process.starts.size(), 10u) << "neither time nor an arrival restarts it";
    source.RescanCamera(CameraOpenCause::UserRescan);
    EXPECT_EQ(process.starts.size(), 11u);
    EXPECT_FALSE(source.RestartsStopped());
}

// A host that cannot be started right after a fault (an antivirus holding
// the file, an update replacing it) is retried on the back-off, not given up,
// and the start that keeps failing stops the restarts with its own reason.
TEST_F(HostFixture, ARestartWhoseHostCannotStartIsRetriedOnTheBackOff) {
    for (const bool recovers : {true, false}) {
        FakeHostProcess p;
        RowSource row(p, *this);
        auto& [l, n, a, s] = row;
        s.Pump();
        p.Answer(hostwire::OpenOutcome::Answered);
        s.Pump();
        p.startStatus = HostStartStatus::Refused;
        p.Crash(static_cast<uint32_t>(HostCall::IsButtonPressed));
        s.Pump();
        EXPECT_EQ(p.starts.size(), 2u) << "the failed start is not retried at once";
        EXPECT_TRUE(l.Has("Camera host C:\\Brelkin\\BrelkinCameraHost32.exe: cannot start, error 1260 (blocked by policy)"));
        EXPECT_EQ(l.lines.back(), "Camera host: restarting in 1 s");
        EXPECT_EQ(s.Status().host, HostState::Restarting);
        p.now += 1000;
        s.Pump();
        EXPECT_EQ(p.starts.size(), 3u);
        if (recovers) {
            p.startStatus = HostStartStatus::Started;
            p.now += 2000;
            s.Pump();
            p.Answer(hostwire::OpenOutcome::Answered);
            s.Pump();
            EXPECT_TRUE(s.IsHeld(DriverBda));
            EXPECT_EQ(n.texts.size(), 1u) << "the crash's balloon only";
            continue;
        }
        for (unsigned fault = 3; fault <= 10; ++fault) {
            p.now += RestartDelayMs(fault);
            s.Pump();
        }
        EXPECT_TRUE(s.RestartsStopped());
        EXPECT_EQ(p.starts.size(), 10u);
        EXPECT_THAT(n.texts.back(), ::testing::HasSubstr("cannot be started (error 1260"));
    }
}

TEST_F(HostFixture, FaultsOlderThanThirtyMinutesNoLongerCount) {
    OpenAnswered();
    for (int fault = 0; fault < 12; ++fault) {
        process.Crash(static_cast<uint32_t>(HostCall::IsButtonPressed));
        source.Pump();
        process.now += 4 * 60 * 1000;  // one fault every four minutes: never ten in thirty
        source.Pump();
    }
    EXPECT_FALSE(source.RestartsStopped());
    EXPECT_EQ(process.starts.size(), 13u);
}

TEST_F(HostFixture, CloseAndExitAreLoggedAsBeforeAndAnsweredAsGone) {
    OpenAnswered();
    answer.calls.clear();
    source.RescanCamera(CameraOpenCause::UserRescan);
    EXPECT_THAT(process.sent, ElementsAre(Kind::Open, Kind::Close, Kind::Open));
    EXPECT_TRUE(log.Has("Rescan (BDA), rescan asked by the user"));
    EXPECT_TRUE(log.Has("Camera close (BDA)"));
    EXPECT_THAT(answer.calls, ElementsAre("gone"));
    process.Report(hostwire::EncodeOpened(CameraClass::Bda, hostwire::OpenOutcome::OpenFailed, process.lastOpen));
    source.Pump();
    EXPECT_TRUE(log.Has("Camera open (BDA), rescan asked by the user: the camera did not answer (OpenInterface failed)"));
    EXPECT_EQ(notifier.texts.size(), 1u) << "a silent camera on the user's rescan";
    source.ReleaseCameraSource();
    EXPECT_EQ(process.sent.back(), Kind::Quit);
}

}  // namespace
}  // namespace brelkin::test
