#include "device/JoystickOutput.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingDeviceFakes.h"
#include "engine/ButtonPoll.h"

namespace brelkin::test {
namespace {

using ::testing::ElementsAre;

std::vector<uint8_t> ExpectedRecord(uint8_t button)
{
    std::vector<uint8_t> bytes(54, 0);
    bytes[0] = 0x43; bytes[1] = 0x41; bytes[2] = 0x54; bytes[3] = 0x53;
    bytes[4] = 0x08;
    bytes[37] = 0x10;
    bytes[38] = button;
    return bytes;
}

TEST(JoystickOutput, OpensTheControlDeviceAsGiven)
{
    CallLog log;
    FakeDeviceIo io{log};
    FakeVJoyLibrary vjoy{log};
    JoystickOutput out{io, vjoy};
    out.OpenJoystickOutput();
    EXPECT_EQ(io.openedName, u"\\\\.\\PPJoyIOCTL1");
    EXPECT_THAT(log, ElementsAre("CreateFile access=1073741824 share=2 disposition=3 flags=0"));
    EXPECT_EQ(out.Handle(), 42u);
}

TEST(JoystickOutput, FirstRequestCarriesTheExactRecord)
{
    for (bool pressed : {false, true}) {
        SCOPED_TRACE(pressed ? "button down" : "button up");
        CallLog log;
        FakeDeviceIo io{log};
        FakeVJoyLibrary vjoy{log};
        JoystickOutput out{io, vjoy};
        out.OpenJoystickOutput();
        out.SendJoystickButton(pressed);
        ASSERT_EQ(io.requests.size(), 1u);
        const IoRequest& r = io.requests[0];
        EXPECT_EQ(r.handle, 42u);
        EXPECT_EQ(r.code, 0x220000u);
        EXPECT_EQ(r.input, ExpectedRecord(pressed ? 1 : 0));
        EXPECT_FALSE(r.hasOutput);
        EXPECT_EQ(r.outputSize, 0u);
        EXPECT_TRUE(r.hasBytesReturned);
    }
}

TEST(JoystickOutput, OnlyTheButtonByteChangesBetweenRequests)
{
    CallLog log;
    FakeDeviceIo io{log};
    FakeVJoyLibrary vjoy{log};
    JoystickOutput out{io, vjoy};
    out.OpenJoystickOutput();
    for (bool pressed : {true, true, true, false, false})
        out.SendJoystickButton(pressed);
    ASSERT_EQ(io.requests.size(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(io.requests[i].input, ExpectedRecord(i < 3 ? 1 : 0)) << "request " << i;
}

TEST(JoystickOutput, AbsentDriverSendsNothingAndClosesNothing)
{
    for (DeviceHandle failed : {InvalidDeviceHandle, NoDeviceHandle}) {
        CallLog log;
        FakeDeviceIo io{log};
        FakeVJoyLibrary vjoy{log};
        io.createResult = failed;
        {
            JoystickOutput out{io, vjoy};
            out.OpenJoystickOutput();
            EXPECT_EQ(out.Handle(), failed) << "stored whatever it is";
            out.SendJoystickButton(true);
            EXPECT_EQ(out.State().digital[0], 1);
            out.CloseJoystickOutput(true);
        }
        EXPECT_THAT(log, ElementsAre(::testing::StartsWith("CreateFile"), "load vJoy"))
            << "handle " << failed;
    }
}

TEST(JoystickOutput, ClosesOnceEvenWhenDestroyedAfterClose)
{
    CallLog log;
    FakeDeviceIo io{log};
    FakeVJoyLibrary vjoy{log};
    {
        JoystickOutput out{io, vjoy};
        out.OpenJoystickOutput();
        out.CloseJoystickOutput(false);
        out.SendJoystickButton(false);  // after the close: no request on a stale handle
    }
    EXPECT_THAT(log, ElementsAre(::testing::StartsWith("CreateFile"), "CloseHandle 42"));
}

// PPJoy's device as the test asks for it, and vJoy installed and ready.
struct TwoDrivers {
    explicit TwoDrivers(bool ppjoyPresent)
    {
        io.createResult = ppjoyPresent ? 42 : InvalidDeviceHandle;
        vjoy.driver.loadFailure = VJoyLoadFailure::None;
    }
    CallLog log;
    FakeDeviceIo io{log};
    FakeVJoyLibrary vjoy{log};
    JoystickOutput out{io, vjoy};
};

TEST(JoystickOutput, PPJoyIsPreferredAndVJoyIsNotEvenLoaded)
{
    TwoDrivers d{true};
    d.out.OpenJoystickOutput();
    d.out.SendJoystickButton(true);
    EXPECT_EQ(d.out.Status().backEnd, JoystickBackEnd::PPJoy);
    EXPECT_THAT(d.log, ElementsAre(::testing::StartsWith("CreateFile"), "DeviceIoControl"));
}

TEST(JoystickOutput, VJoyCarriesTheButtonWhenPPJoyIsAbsent)
{
    for (VJoyDeviceStatus status : {VJoyDeviceStatus::Free, VJoyDeviceStatus::Own}) {
        const bool free = status == VJoyDeviceStatus::Free;
        SCOPED_TRACE(free ? "device free" : "device already ours");
        TwoDrivers d{false};
        d.vjoy.driver.status = status;
        d.out.OpenJoystickOutput();
        EXPECT_EQ(d.out.Status().backEnd, JoystickBackEnd::VJoy);
        for (bool pressed : {true, true, false})
            d.out.SendJoystickButton(pressed);
        d.out.CloseJoystickOutput(false);
        CallLog expected{"load vJoy", "vJoyEnabled", "GetVJDStatus 1", "GetVJDButtonNumber 1"};
        if (free) expected.push_back("AcquireVJD 1");
        for (const char* call : {"SetBtn 1 device 1 button 1", "SetBtn 1 device 1 button 1",
                                 "SetBtn 0 device 1 button 1", "RelinquishVJD 1", "unload vJoy"})
            expected.push_back(call);
        EXPECT_EQ(CallLog(d.log.begin() + 1, d.log.end()), expected);
        EXPECT_TRUE(d.io.requests.empty());
    }
}

TEST(JoystickOutput, EachVJoyRefusalMeansNoOutputAndSaysWhy)
{
    struct Row {
        const char* label;
        void (*prepare)(FakeVJoyDriver&);
        JoystickRefusal refusal;
        const char* lastCall;  // the call that refused
    };
    const Row rows[] = {
        {"not installed", [](FakeVJoyDriver& v) { v.loadFailure = VJoyLoadFailure::NotInstalled; },
         JoystickRefusal::VJoyNotInstalled, "load vJoy"},
        {"library unusable", [](FakeVJoyDriver& v) { v.loadFailure = VJoyLoadFailure::NoLibrary; },
         JoystickRefusal::VJoyLibraryUnusable, "load vJoy"},
        {"function missing", [](FakeVJoyDriver& v) { v.loadFailure = VJoyLoadFailure::MissingFunction; },
         JoystickRefusal::VJoyFunctionMissing, "load vJoy"},
        {"driver disabled", [](FakeVJoyDriver& v) { v.enabled = false; },
         JoystickRefusal::VJoyDriverDisabled, "vJoyEnabled"},
        {"device busy", [](FakeVJoyDriver& v) { v.status = VJoyDeviceStatus::Busy; },
         JoystickRefusal::VJoyDeviceBusy, "GetVJDStatus 1"},
        {"device missing", [](FakeVJoyDriver& v) { v.status = VJoyDeviceStatus::Missing; },
         JoystickRefusal::VJoyDeviceMissing, "GetVJDStatus 1"},
        {"status unknown", [](FakeVJoyDriver& v) { v.status = VJoyDeviceStatus::Unknown; },
         JoystickRefusal::VJoyDeviceMissing, "GetVJDStatus 1"},
        {"no button", [](FakeVJoyDriver& v) { v.buttons = 0; },
         JoystickRefusal::VJoyDeviceWithoutButton, "GetVJDButtonNumber 1"},
        {"acquire fails", [](FakeVJoyDriver& v) { v.acquireResult = false; },
         JoystickRefusal::VJoyAcquireFailed, "AcquireVJD 1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        TwoDrivers d{false};
        row.prepare(d.vjoy.driver);
        d.out.OpenJoystickOutput();
        EXPECT_EQ(d.out.Status().backEnd, JoystickBackEnd::None);
        EXPECT_EQ(d.out.Status().refusal, row.refusal);
        const auto refused = std::find(d.log.begin(), d.log.end(), row.lastCall);
        ASSERT_NE(refused, d.log.end());
        // A refused library is unloaded at once; nothing else is called.
        const bool loaded = d.vjoy.driver.loadFailure == VJoyLoadFailure::None;
        EXPECT_EQ(d.log.end() - refused, loaded ? 2 : 1);
        const size_t before = d.log.size();
        d.out.SendJoystickButton(true);
        d.out.ReleaseJoystickButton();
        d.out.CloseJoystickOutput(true);
        EXPECT_EQ(d.log.size(), before) << d.log.back();
        EXPECT_STRNE(DescribeJoystickRefusal(row.refusal), DescribeJoystickRefusal(JoystickRefusal::None));
    }
}

// What the driver was told after the ticks: "1" pressed, "0" released.
std::string Told(const TwoDrivers& d)
{
    std::string told;
    for (const IoRequest& r : d.io.requests) told += r.input[38] ? '1' : '0';
    for (const std::string& call : d.log)
        if (call.rfind("SetBtn ", 0) == 0) told += call[7];
    return told;
}

TEST(JoystickOutput, NoPressIsLeftHeldOnLeavingJoystickModeOrAtExit)
{
    struct Row {
        const char* label;
        const char* ticks;  // the poll's sends
        bool leave;         // the user chooses a preset afterwards
        bool exitInJoystickMode;
        const char* told;
    };
    const Row rows[] = {
        {"held, then a preset", "11", true, false, "110"},
        {"released, then a preset", "10", true, false, "10"},
        {"never read, then a preset", "", true, false, ""},
        {"held at exit", "11", false, true, "110"},
        {"released at exit: one released state all the same", "10", false, true, "100"},
        {"no tick before exit", "", false, true, "0"},
        {"held, a preset, then exit in it", "1", true, false, "10"},
        {"exit in a key mode, joystick never used", "", false, false, ""},
    };
    for (bool ppjoy : {true, false}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(ppjoy ? "PPJoy, " : "vJoy, ") + row.label);
            TwoDrivers d{ppjoy};
            d.out.OpenJoystickOutput();
            for (const char* tick = row.ticks; *tick; ++tick) d.out.SendJoystickButton(*tick == '1');
            if (row.leave) d.out.ReleaseJoystickButton();
            d.out.CloseJoystickOutput(row.exitInJoystickMode);
            EXPECT_EQ(Told(d), row.told);
            // Released first, then closed or relinquished.
            EXPECT_EQ(d.log[d.log.size() - (ppjoy ? 1 : 2)], ppjoy ? "CloseHandle 42" : "RelinquishVJD 1");
        }
    }
}

}  // namespace
}  // namespace brelkin::test

namespace brelkin::test {
namespace {

struct NoKeys final : IKeyboardInput, ISleeper {
    uintptr_t GetMessageExtraInfo() override { return 0; }
    uint16_t ScanCode(uint16_t) override { return 0; }
    unsigned SendKeyEvent(const KeyEvent&) override { return static_cast<unsigned>(++events); }
    void Sleep(uint32_t) override {}
    int events = 0;
};

// The camera going away while joystick mode holds the button, tick by tick
// through the poll's answer: D down, U up, - no reading (no camera object,
// interface not valid, GetPIO failing, the camera host failing), B port bit 0
// (the tick is skipped), C the camera closed (rescan, driver switch, exit).
TEST(JoystickOutput, TheCameraGoingAwayReleasesAHeldButtonOnce)
{
    struct Row {
        const char* label;
        const char* ticks;
        const char* told;
    };
    const Row rows[] = {
        {"interface not valid while held", "DD-", "110"},
        {"no reading on many ticks: one release", "D---", "10"},
        {"host fault, then the camera back and held", "D-D", "101"},
        {"no reading while up: nothing", "DU--", "10"},
        {"port bit 0 while held: no write", "DBBD", "11"},
        {"port bit 0, then no reading", "DB-", "10"},
        {"camera closed while held", "DC", "10"},
        {"camera closed twice: one release", "DCC", "10"},
        {"camera closed, then no reading", "DC-", "10"},
        {"camera closed while up", "DUC", "10"},
        {"camera closed before any tick", "C", ""},
    };
    for (bool ppjoy : {true, false}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(ppjoy ? "PPJoy, " : "vJoy, ") + row.label);
            TwoDrivers d{ppjoy};
            d.out.OpenJoystickOutput();
            TriggerState state;
            state.triggerMode = 0;
            PressFilter press;
            NoKeys keys;
            ImmediatePressSender sender{keys, keys};
            uint64_t now = 0;
            for (const char* tick = row.ticks; *tick; ++tick) {
                now += 50000;
                switch (*tick) {
                case 'C': d.out.ReleaseIfHeld(); break;
                case 'B': AnswerReading(state, ButtonReading::PortBusy, now, press, d.out, sender); break;
                case '-': AnswerReading(state, ButtonReading::NoReading, now, press, d.out, sender); break;
                default:
                    AnswerReading(state, *tick == 'D' ? ButtonReading::Down : ButtonReading::Up, now, press, d.out,
                                  sender);
                }
            }
            EXPECT_EQ(Told(d), row.told);
            EXPECT_EQ(keys.events, 0);
        }
    }
}

}  // namespace
}  // namespace brelkin::test
