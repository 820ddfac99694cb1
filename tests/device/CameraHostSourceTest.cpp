// The camera host's client over a recording fake of the process: which host
// starts, what it is told and what is taken from it, and the messages each side
// of the pipe takes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "tests/device/CameraHostFixture.h"

namespace brelkin::test {
namespace {

using hostwire::HostCall;
using hostwire::Kind;
using ::testing::ElementsAre;

TEST(CameraHostSchedule, RestartsBackOffFromZeroToAMinuteBeforeTheStop) {
    // Every fault before the one that stops the restarts.
    const struct { unsigned fault; uint64_t delay; } rows[] = {
        {1, 0}, {2, 1000}, {3, 2000}, {4, 4000}, {5, 8000}, {6, 16000}, {7, 32000}, {8, 60000}, {9, 60000}};
    ASSERT_EQ(RestartPolicy{}.faultsThatStop, 10u);
    for (const auto& row : rows) EXPECT_EQ(RestartDelayMs(row.fault), row.delay) << "fault " << row.fault;
}

// The watch's clock is the awake one: a call in flight while the computer
// sleeps is as old as the time awake since it began. The call and its start
// travel as one word.
TEST(CameraHostSchedule, ACallIsOverdueAfterItsLimitOnTheAwakeClock) {
    using hostwire::HostCall;
    const uint64_t t = 5'000'000'000;  // 58 days awake: more than 32 bits of milliseconds
    const struct {
        const char* label;
        HostCall call;
        uint64_t awakeFor;
        uint32_t period;
        bool overdue;
    } rows[] = {
        {"a poll call at 2 s", HostCall::IsButtonPressed, 2000, 50, false},
        {"a poll call past 2 s", HostCall::GetPIO, 2001, 50, true},
        {"a poll call at a long period: 20 periods", HostCall::IsInterfaceValid, 7999, 400, false},
        {"a 3 s constructor", HostCall::Constructor, 3000, 50, false},
        {"an open at 15 s", HostCall::OpenInterface, 15000, 50, false},
        {"an open past 15 s", HostCall::OpenInterface, 15001, 50, true},
        {"a 3 s CloseInterface: the open's limit", HostCall::CloseInterface, 3000, 50, false},
        {"unloading past 15 s", HostCall::Unload, 15001, 50, true},
        {"a window message past 2 s: the poll limit", HostCall::WindowMessage, 2001, 50, true},
    };
    for (const auto& row : rows) {
        const uint64_t word = hostwire::PackCall(row.call, t);
        const HostWatch watch{hostwire::CallOf(word), hostwire::StartOf(word)};
        EXPECT_EQ(watch.startedMs, t) << row.label;
        EXPECT_EQ(CallOverdueMs(watch, t + row.awakeFor, row.period), row.overdue ? row.awakeFor : 0) << row.label;
    }
    EXPECT_EQ(CallOverdueMs({static_cast<uint32_t>(HostCall::GetPIO), t + 1}, t, 50), 0u) << "a start to come";
    EXPECT_EQ(CallOverdueMs({99, 0}, t, 50), 0u) << "no call";
}

TEST(CameraHostSchedule, AHangIsTwoSecondsOrTwentyPeriodsWhicheverIsLonger) {
    const struct { uint32_t period; uint64_t deadline; } rows[] = {
        {10, 2000}, {50, 2000}, {100, 2000}, {150, 3000}, {400, 8000}};
    for (const auto& row : rows) EXPECT_EQ(HangDeadlineMs(row.period), row.deadline) << "period " << row.period;
}

TEST_F(HostFixture, TheHostOfTheLibrarysBitnessStartsAndItsAnswersAreLoggedAsBefore) {
    source.OpenCamera(DriverBda, CameraOpenCause::StartUp);
    process.Reading(ButtonReading::Down);
    source.Pump();
    EXPECT_TRUE(answer.calls.empty()) << "a reading before the open's answer is not taken";
    process.Answer(hostwire::OpenOutcome::Answered);
    source.Pump();
    EXPECT_THAT(process.starts, ElementsAre(32u));
    EXPECT_THAT(process.sent, ElementsAre(Kind::Open));
    EXPECT_THAT(log.lines, ElementsAre("Library C:\\Brelkin\\BDADLL.dll: loaded",
                                       "Camera open (BDA), start-up: the camera answered"));
    EXPECT_TRUE(source.IsHeld(DriverBda));
    EXPECT_EQ(step, 0);
    process.Reading(ButtonReading::Up);
    process.Reading(ButtonReading::Down, 100);
    source.Pump();
    EXPECT_THAT(answer.calls, ElementsAre("reading 2 at 50", "reading 3 at 100"));
    EXPECT_EQ(source.Period(), 100u);
}

TEST_F(HostFixture, WhereTheNeededHostCannotRunTheBalloonSaysWhy) {
    struct Row {
        const char* label;
        unsigned programBits, libraryBits;
        bool canRun64;
        HostStartStatus start;
        bool refuseLate;
        std::vector<unsigned> starts;
        const char* line;
        const char* balloon;
    };
    const Row rows[] = {
        {"64-bit library, 32-bit Windows", 32, 64, false, HostStartStatus::Started, false, {},
         "not loaded, a 64-bit library in a 32-bit program", "this Windows is 32-bit"},
        {"x86 installation without the x64 host", 32, 64, true, HostStartStatus::Missing, false, {64},
         "not loaded, a 64-bit library in a 32-bit program", "install BrelkinSetup-x64.exe"},
        {"own host missing", 64, 64, true, HostStartStatus::Missing, false, {64},
         "Camera host C:\\Brelkin\\BrelkinCameraHost64.exe: not found", "is missing"},
        {"host refused", 64, 32, true, HostStartStatus::Refused, false, {32},
         "cannot start, error 1260 (blocked by policy)", "cannot be started (error 1260"},
        {"host refused once its launch was under way", 64, 32, true, HostStartStatus::Started, true, {32},
         "cannot start, error 1260 (blocked by policy)", "cannot be started (error 1260"},
        {"no library: the host of Brelkin's bitness says so", 64, 0, true, HostStartStatus::Started, false, {64}, "", ""},
    };
    for (const Row& row : rows) {
        FakeHostProcess p;
        p.programBits = row.programBits;
        p.found.bits = row.libraryBits;
        p.canRun64 = row.canRun64;
        p.startStatus = row.start;
        p.refuseLate = row.refuseLate;
        RowSource row_(p, *this);
        auto& [l, n, a, s] = row_;
        s.Pump();
        EXPECT_EQ(p.starts, row.starts) << row.label;
        EXPECT_EQ(p.kills, 0) << row.label << ": not a fault";
        if (row.line[0] == 0) {
            EXPECT_THAT(p.sent, ElementsAre(Kind::Open)) << row.label;
            continue;
        }
        EXPECT_TRUE(l.Has(row.line)) << row.label;
        ASSERT_EQ(n.texts.size(), 1u) << row.label;
        EXPECT_NE(n.texts[0].find(row.balloon), std::string::npos) << row.label << ": " << n.texts[0];
        EXPECT_THAT(a.calls, ElementsAre("gone")) << row.label;
    }
}

TEST_F(HostFixture, AHostThatReportsGarbageChangesNothingAndTheGoodMessageBehindItArrives) {
    auto withByte = [](std::vector<uint8_t> bytes, size_t at, uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    uint8_t readingBytes[hostwire::ReadingSize];
    hostwire::EncodeReading(ButtonReading::Down, 50, readingBytes);
    const std::vector<uint8_t> reading(readingBytes, readingBytes + sizeof readingBytes);
    // A size of 4 with exactly 4 bytes behind it: rejected for its size.
    std::vector<uint8_t> shortReading = withByte(reading, 6, 4);
    shortReading.pop_back();
    LibraryLoadReport foreign = Loaded();
    foreign.library = u"evil.dll";
    LibraryLoadReport badStatus = Loaded();
    badStatus.status = LibraryLoadStatus::MemberMissing;
    OpenAnswered();
    const uint32_t number = process.lastOpen;
    auto loadReport = hostwire::EncodeLoadReport(CameraClass::Bda, badStatus, number);
    const struct { const char* label; std::vector<uint8_t> bytes; } rows[] = {
        {"wrong magic", withByte(reading, 0, 0x00)},
        {"unknown kind", withByte(reading, 4, 99)},
        {"a command kind from the host", withByte(reading, 4, static_cast<uint8_t>(Kind::Open))},
        {"payload longer than allowed", withByte(withByte(reading, 6, 0xFF), 7, 0xFF)},
        {"payload size that does not fit the kind", shortReading},
        {"reading value out of range", withByte(reading, 8, 7)},
        {"period 0", withByte(reading, 9, 0)},
        {"period over 400 ms", withByte(withByte(reading, 9, 0x00), 10, 0x10)},
        {"load report naming a foreign library", hostwire::EncodeLoadReport(CameraClass::Bda, foreign, number)},
        {"load report with an unknown status", withByte(loadReport, 13, 42)},
        {"a second open answer", hostwire::EncodeOpened(CameraClass::Bda, hostwire::OpenOutcome::OpenFailed, number)},
        {"an open answer for the other class",
         hostwire::EncodeOpened(CameraClass::Wdm, hostwire::OpenOutcome::Answered, number)},
        {"a second Hello", hostwire::EncodeHello(7)},
        {"random bytes", {0x13, 0x37, 0xBE, 0xEF, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}},
    };
    for (const auto& row : rows) {
        answer.calls.clear();
        process.Report(row.bytes);
        process.Reading(ButtonReading::Up);
        source.Pump();
        EXPECT_THAT(answer.calls, ElementsAre("reading 2 at 50")) << row.label;
        EXPECT_TRUE(source.IsHeld(DriverBda)) << row.label;
        EXPECT_TRUE(notifier.texts.empty()) << row.label;
        EXPECT_EQ(process.kills, 0) << row.label;
        EXPECT_EQ(source.Period(), 50u) << row.label;
    }
}

// A host of another version is told apart from a camera fault: one balloon,
// no restarts until the user asks. A host that sends only garbage is a fault.
TEST_F(HostFixture, AHostOfAnotherVersionOrOneThatSendsGarbageIsEnded) {
    struct Row {
        const char* label;
        std::vector<uint8_t> first;  // what the host sends first
        int garbage;                 // then this many unreadable messages
        const char* line;
        bool stopsRestarts;
    };
    const std::vector<uint8_t> unknownKind{0x42, 0x52, 0x4C, 0x4B, 99, 0, 0, 0};
    const Row rows[] = {
        {"a Hello of an older version", hostwire::EncodeHello(1), 0,
         "BrelkinCameraHost32.exe: protocol version 1, this Brelkin speaks 3", true},
        // A host from before the Hello waits for commands it cannot read.
        {"a host that says nothing for 5 s", {}, 0, "protocol version unknown (an older host)", true},
        {"five unreadable messages in a row", hostwire::EncodeHello(), 5,
         "Camera host for BDADLL.dll sent 5 unreadable messages in a row; the camera host was ended", false},
        {"four are only logged", hostwire::EncodeHello(), 4, "4 unexpected messages ignored", false},
    };
    for (const Row& row : rows) {
        FakeHostProcess p;
        p.hello = false;
        RowSource row_(p, *this);
        auto& [l, n, a, s] = row_;
        p.Report(row.first);
        for (int i = 0; i < row.garbage; ++i) p.Report(unknownKind);
        s.Pump();
        if (row.first.empty()) {
            for (int tick = 0; tick < 20; ++tick) {
                p.now += WatchPeriodMs;
                s.Pump();
            }
            EXPECT_EQ(p.kills, 0) << row.label << ": 5 s are allowed";
            p.now += 1;
            s.Pump();
        }
        EXPECT_TRUE(l.Has(row.line)) << row.label;
        const bool ended = row.garbage != 4;
        EXPECT_EQ(p.kills, ended ? 1 : 0) << row.label;
        EXPECT_EQ(p.starts.size(), ended && !row.stopsRestarts ? 2u : 1u) << row.label << ": restarted at once";
        if (!row.stopsRestarts) continue;
        EXPECT_EQ(s.Status().host, HostState::VersionMismatch) << row.label;
        ASSERT_EQ(n.texts.size(), 1u) << row.label;
        EXPECT_EQ(n.texts[0], "BrelkinCameraHost32.exe does not match this Brelkin; reinstall Brelkin");
        EXPECT_THAT(a.calls, ElementsAre("gone")) << row.label;
        p.now += 3600000;
        s.Pump();
        s.HandleDeviceChange(DeviceArrivalEvent, 0);
        EXPECT_EQ(p.starts.size(), 1u) << row.label << ": neither time nor an arrival restarts it";
        p.hello = true;
        s.RescanCamera(CameraOpenCause::UserRescan);
        EXPECT_EQ(p.starts.size(), 2u) << row.label;
        p.Answer(hostwire::OpenOutcome::Answered);
        s.Pump();
        EXPECT_EQ(s.Status().host, HostState::Running) << row.label;
        EXPECT_TRUE(s.IsHeld(DriverBda)) << row.label;
    }
}

TEST_F(HostFixture, RejectionsAreLoggedAtMostOnceAMinuteWithTheirCount) {
    OpenAnswered();
    const std::vector<uint8_t> unknownKind{0x42, 0x52, 0x4C, 0x4B, 99, 0, 0, 0};
    for (int minute = 0; minute < 3; ++minute) {
        for (int i = 0; i < 30; ++i) {
            process.Report(unknownKind);
            process.Reading(ButtonReading::Up);  // a good one between: never five in a row
            source.Pump();
            process.now += 2000;
        }
    }
    source.Pump();
    std::vector<std::string> lines;
    for (const std::string& line : log.lines)
        if (line.find("unexpected messages ignored") != std::string::npos) lines.push_back(line);
    // The first at once, then one a minute; all 90 counted.
    EXPECT_THAT(lines, ElementsAre("Camera host: 1 unexpected messages ignored",
                                   "Camera host: 30 unexpected messages ignored",
                                   "Camera host: 30 unexpected messages ignored",
                                   "Camera host: 29 unexpected messages ignored"));
    EXPECT_EQ(process.kills, 0);
}

// Each open carries a number; only the answer to the last one sent counts,
// and whatever overtook a slow open ends with its own kind held or its
// failure reported, and a joystick button of the old camera released.
TEST_F(HostFixture, WhatOvertakesASlowOpenEndsWithItsOwnAnswer) {
    struct Row {
        const char* label;
        void (*overtake)(CameraHostSource&);
        hostwire::OpenOutcome second;
        DriverKind held;
        const char* line;
    };
    const Row rows[] = {
        {"a driver choice", [](CameraHostSource& s) {
             s.Kind() = DriverWdm;
             s.RescanCamera(CameraOpenCause::DriverChoice);
         }, hostwire::OpenOutcome::Answered, DriverWdm, "Camera open (WDM), driver kind chosen by the user: the camera answered"},
        {"a driver choice to a kind that does not open", [](CameraHostSource& s) {
             s.Kind() = DriverWdm;
             s.RescanCamera(CameraOpenCause::DriverChoice);
         }, hostwire::OpenOutcome::NoLibrary, DriverBda, "Camera open (WDM), driver kind chosen by the user: no camera library"},
        {"a rescan", [](CameraHostSource& s) { s.RescanCamera(CameraOpenCause::UserRescan); },
         hostwire::OpenOutcome::Answered, DriverBda, "Camera open (BDA), rescan asked by the user: the camera answered"},
        {"an arrival", [](CameraHostSource& s) { s.HandleDeviceChange(DeviceArrivalEvent, 0); },
         hostwire::OpenOutcome::OpenFailed, DriverBda, "Camera open (BDA), device arrival: the camera did not answer"},
    };
    for (const Row& row : rows) {
        FakeHostProcess p;
        p.found.bits = 32;
        RowSource row_(p, *this);
        auto& [l, n, a, s] = row_;
        const uint32_t first = p.lastOpen;
        const CameraClass firstClass = p.lastOpenClass;
        s.Pump();
        EXPECT_TRUE(s.Status().opening) << row.label;
        row.overtake(s);
        EXPECT_THAT(a.calls, ::testing::Contains("gone")) << row.label << ": the old camera's button goes up";
        ASSERT_NE(p.lastOpen, first) << row.label;
        // The slow open's answer arrives first, then the later one's.
        p.Report(hostwire::EncodeOpened(firstClass, hostwire::OpenOutcome::Answered, first));
        p.Answer(row.second);
        s.Pump();
        EXPECT_EQ(std::count_if(l.lines.begin(), l.lines.end(),
                                [](const std::string& x) { return x.find("Camera open (") == 0; }),
                  1)
            << row.label << ": the overtaken answer is dropped";
        EXPECT_TRUE(l.Has(row.line)) << row.label;
        const bool opened = row.second != hostwire::OpenOutcome::NoLibrary && row.second != hostwire::OpenOutcome::OpenFailed;
        EXPECT_EQ(s.IsHeld(s.Kind()), opened) << row.label;
        EXPECT_FALSE(s.Status().opening) << row.label;
        a.calls.clear();
        p.Reading(ButtonReading::Down);
        s.Pump();
        EXPECT_EQ(a.calls.size(), opened ? 1u : 0u) << row.label << ": the new kind's readings count";
    }
}

TEST_F(HostFixture, ThePeriodAndTheModesNeedOfEveryTickReachTheRunningHost) {
    source.SetEveryTick(false);
    source.SetBasePeriod(50);  // the default: nothing to tell
    EXPECT_TRUE(process.sent.empty()) << "no host yet";
    OpenAnswered();
    source.SetBasePeriod(400);
    source.SetEveryTick(true);
    source.SetEveryTick(true);
    EXPECT_THAT(process.sent, ElementsAre(Kind::Open, Kind::Settings, Kind::Settings));
    EXPECT_EQ(source.Period(), 400u);
}

// One side's messages are never taken by the other: a host cannot be told to
// open by its own output, and Brelkin takes no command for a report.
TEST(CameraHostProtocol, EachSideTakesOnlyTheOtherSidesKindsAndTheReportSurvivesTheTrip) {
    LibraryLoadReport r;
    r.status = LibraryLoadStatus::MemberMissing;
    r.attempted = true;
    r.library = u"emDLL.dll";
    r.path = u"C:\\Brelkin\\emDLL.dll";
    r.programFolder = u"C:\\Brelkin";
    r.systemFolder = u"C:\\Windows\\SysWOW64";
    r.errorCode = 193;
    r.errorText = u"not a valid application";
    r.libraryBits = 32;
    r.programBits = 32;
    r.member = "GetPIO";
    hostwire::MessageReader brelkin(false), host(true);
    const auto report = hostwire::EncodeLoadReport(CameraClass::Wdm, r, 7);
    const auto open = hostwire::EncodeOpen(CameraClass::Bda, 100, false, 9);
    const auto hello = hostwire::EncodeHello();
    brelkin.Append(hello.data(), hello.size());
    ASSERT_EQ(brelkin.Next()->version, hostwire::ProtocolVersion);
    for (hostwire::MessageReader* reader : {&brelkin, &host}) {
        reader->Append(report.data(), report.size());
        reader->Append(open.data(), open.size());
    }
    auto taken = brelkin.Next();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->report.path, r.path);
    EXPECT_EQ(taken->report.systemFolder, r.systemFolder);
    EXPECT_EQ(taken->report.member, "GetPIO");
    EXPECT_EQ(taken->report.status, LibraryLoadStatus::MemberMissing);
    EXPECT_EQ(taken->report.errorCode, 193u);
    EXPECT_EQ(taken->openNumber, 7u);
    EXPECT_FALSE(brelkin.Next()) << "an Open command is no report";
    EXPECT_EQ(brelkin.Rejected(), 1u);
    auto command = host.Next();
    ASSERT_TRUE(command);
    EXPECT_EQ(command->kind, Kind::Open);
    EXPECT_EQ(command->cameraClass, CameraClass::Bda);
    EXPECT_EQ(command->period, 100u);
    EXPECT_EQ(command->openNumber, 9u);
    EXPECT_FALSE(command->everyTick);
    EXPECT_EQ(host.Rejected(), 1u) << "the load report is no command";
}

}  // namespace
}  // namespace brelkin::test
