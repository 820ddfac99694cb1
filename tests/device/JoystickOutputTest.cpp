#include "device/JoystickOutput.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingDeviceFakes.h"

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
    JoystickOutput out{io};
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
        JoystickOutput out{io};
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
    JoystickOutput out{io};
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
        io.createResult = failed;
        {
            JoystickOutput out{io};
            out.OpenJoystickOutput();
            EXPECT_EQ(out.Handle(), failed) << "stored whatever it is";
            out.SendJoystickButton(true);
            EXPECT_EQ(out.State().digital[0], 1);
            out.CloseJoystickOutput();
        }
        EXPECT_THAT(log, ElementsAre(::testing::StartsWith("CreateFile")))
            << "handle " << failed;
    }
}

TEST(JoystickOutput, ClosesOnceEvenWhenDestroyedAfterClose)
{
    CallLog log;
    FakeDeviceIo io{log};
    {
        JoystickOutput out{io};
        out.OpenJoystickOutput();
        out.CloseJoystickOutput();
        out.SendJoystickButton(false);  // after the close: no request on a stale handle
    }
    EXPECT_THAT(log, ElementsAre(::testing::StartsWith("CreateFile"), "CloseHandle 42"));
}

}  // namespace
}  // namespace brelkin::test
