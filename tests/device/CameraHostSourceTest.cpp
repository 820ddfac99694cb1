// The camera host's client over a recording fake of the process: which host
// starts, what it is told and what is taken from it, and the messages each side
// of the pipe takes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

#include "tests/device/CameraHostFixture.h"

namespace brelkin::test {
namespace {

using hostwire::HostCall;
using hostwire::Kind;
using ::testing::ElementsAre;

TEST(CameraHostSchedule, RestartsBackOffFromZeroToAMinute) {
    const struct { unsigned fault; uint64_t delay; } rows[] = {
        {1, 0}, {2, 1000}, {3, 2000}, {4, 4000}, {5, 8000}, {7, 32000}, {8, 60000}, {40, 60000}};
    for (const auto& row : rows) EXPECT_EQ(RestartDelayMs(row.fault), row.delay) << "fault " << row.fault;
}

TEST(CameraHostSchedule, AHangIsTwoSecondsOrTwentyPeriodsWhicheverIsLonger) {
    const struct { uint32_t period; uint64_t deadline; } rows[] = {
        {10, 2000}, {50, 2000}, {100, 2000}, {150, 3000}, {400, 8000}};
    for (const auto& row : rows) EXPECT_EQ(HangDeadlineMs(row.period), row.deadline) << "period " << row.period;
}

TEST_F(HostFixture, TheHostOfTheLibrarysBitnessStartsAndItsAnswersAreLoggedAsBefore) {
    OpenAnswered();
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
        std::vector<unsigned> starts;
        const char* line;
        const char* balloon;
    };
    const Row rows[] = {
        {"64-bit library, 32-bit Windows", 32, 64, false, HostStartStatus::Started, {},
         "not loaded, a 64-bit library in a 32-bit program", "this Windows is 32-bit"},
        {"x86 installation without the x64 host", 32, 64, true, HostStartStatus::Missing, {64},
         "not loaded, a 64-bit library in a 32-bit program", "install BrelkinSetup-x64.exe"},
        {"own host missing", 64, 64, true, HostStartStatus::Missing, {64},
         "Camera host C:\\Brelkin\\x64\\BrelkinCameraHost.exe: not found", "is missing"},
        {"host refused", 64, 32, true, HostStartStatus::Refused, {32},
         "cannot start, error 1260 (blocked by policy)", "cannot be started (error 1260"},
        {"no library: the host of Brelkin's bitness says so", 64, 0, true, HostStartStatus::Started, {64}, "", ""},
    };
    for (const Row& row : rows) {
        FakeHostProcess p;
        p.programBits = row.programBits;
        p.found.bits = row.libraryBits;
        p.canRun64 = row.canRun64;
        p.startStatus = row.start;
        RecordingSupportLog l;
        RecordingNotifier n;
        RecordingAnswer a;
        CameraHostSource s(p, osVersion, notification, step);
        s.AttachSupport(l, n);
        s.AttachAnswer(a);
        s.Kind() = DriverBda;
        s.OpenCamera(DriverBda, CameraOpenCause::StartUp);
        EXPECT_EQ(p.starts, row.starts) << row.label;
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

TEST_F(HostFixture, AHostThatReportsGarbageChangesNothing) {
    auto withByte = [](std::vector<uint8_t> bytes, size_t at, uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    uint8_t readingBytes[hostwire::ReadingSize];
    hostwire::EncodeReading(ButtonReading::Down, 50, readingBytes);
    const std::vector<uint8_t> reading(readingBytes, readingBytes + sizeof readingBytes);
    LibraryLoadReport foreign = Loaded();
    foreign.library = u"evil.dll";
    LibraryLoadReport badStatus = Loaded();
    badStatus.status = LibraryLoadStatus::MemberMissing;
    auto loadReport = hostwire::EncodeLoadReport(CameraClass::Bda, badStatus);
    const struct { const char* label; std::vector<uint8_t> bytes; } rows[] = {
        {"wrong magic", withByte(reading, 0, 0x00)},
        {"unknown kind", withByte(reading, 4, 99)},
        {"a command kind from the host", withByte(reading, 4, static_cast<uint8_t>(Kind::Open))},
        {"payload longer than allowed", withByte(withByte(reading, 6, 0xFF), 7, 0xFF)},
        {"payload size that does not fit the kind", withByte(reading, 6, 4)},
        {"reading value out of range", withByte(reading, 8, 7)},
        {"period 0", withByte(reading, 9, 0)},
        {"period over 400 ms", withByte(withByte(reading, 9, 0x00), 10, 0x10)},
        {"load report naming a foreign library", hostwire::EncodeLoadReport(CameraClass::Bda, foreign)},
        {"load report with an unknown status", withByte(loadReport, 9, 42)},
        {"a second open answer", hostwire::EncodeOpened(CameraClass::Bda, hostwire::OpenOutcome::OpenFailed)},
        {"an open answer for the other class", hostwire::EncodeOpened(CameraClass::Wdm, hostwire::OpenOutcome::Answered)},
        {"random bytes", {0x13, 0x37, 0xBE, 0xEF, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}},
    };
    OpenAnswered();
    const size_t lines = log.lines.size();
    for (const auto& row : rows) {
        answer.calls.clear();
        process.Report(row.bytes);
        source.Pump();
        EXPECT_TRUE(answer.calls.empty()) << row.label;
        EXPECT_TRUE(source.IsHeld(DriverBda)) << row.label;
        EXPECT_TRUE(notifier.texts.empty()) << row.label;
        EXPECT_EQ(process.kills, 0) << row.label;
        EXPECT_EQ(source.Period(), 50u) << row.label;
    }
    for (size_t i = lines; i < log.lines.size(); ++i)
        EXPECT_THAT(log.lines[i], ::testing::HasSubstr("unexpected messages ignored"));
    // And the stream still works once the host speaks properly again.
    answer.calls.clear();
    process.Reading(ButtonReading::Down);
    source.Pump();
    EXPECT_THAT(answer.calls, ElementsAre("reading 3 at 50"));
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

TEST_F(HostFixture, ReadingsBeforeTheOpenIsAnsweredAreNotTaken) {
    source.OpenCamera(DriverBda, CameraOpenCause::StartUp);
    process.Reading(ButtonReading::Down);
    source.Pump();
    EXPECT_TRUE(answer.calls.empty());
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
    const auto report = hostwire::EncodeLoadReport(CameraClass::Wdm, r);
    const auto open = hostwire::EncodeOpen(CameraClass::Bda, 100, false);
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
    EXPECT_FALSE(brelkin.Next()) << "an Open command is no report";
    EXPECT_EQ(brelkin.Rejected(), 1u);
    auto command = host.Next();
    ASSERT_TRUE(command);
    EXPECT_EQ(command->kind, Kind::Open);
    EXPECT_EQ(command->cameraClass, CameraClass::Bda);
    EXPECT_EQ(command->period, 100u);
    EXPECT_FALSE(command->everyTick);
    EXPECT_EQ(host.Rejected(), 1u) << "the load report is no command";
}

}  // namespace
}  // namespace brelkin::test
