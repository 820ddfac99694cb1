#include "device/CameraButtonSource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingDeviceFakes.h"
#include "tests/support/RecordingSupport.h"

namespace brelkin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct SourceFixture : ::testing::Test {
    CallLog log;
    FakeCameraLibrary library{log};
    FakeCom com{log};
    FakeOsVersion osVersion;
    FakeDeviceNotification notification{log};
    SequenceStep step = 2;
    std::unique_ptr<CameraButtonSource> source = std::make_unique<CameraButtonSource>(
        library, com, osVersion, notification, step);
};

TEST_F(SourceFixture, OpenThenCloseIsBracketedByCom)
{
    source->OpenCamera(DriverWdm);
    EXPECT_TRUE(source->IsHeld(DriverWdm));
    EXPECT_EQ(step, 0);
    EXPECT_EQ(com.outstanding, 1);
    source->CloseCamera(DriverWdm);
    EXPECT_FALSE(source->IsHeld(DriverWdm));
    EXPECT_THAT(log, ElementsAre("CoInitialize", "construct WDM", "OpenInterface WDM",
                                 "CloseInterface WDM", "destroy WDM", "CoUninitialize"));
    EXPECT_EQ(com.outstanding, 0);
}

TEST_F(SourceFixture, FailedOpenLeavesSlotEmptyWithoutCloseInterface)
{
    library.bdaOpenResult = 0;
    source->Kind() = DriverBda;
    source->OpenCamera(DriverBda);
    EXPECT_FALSE(source->IsHeld(DriverBda));
    EXPECT_EQ(source->Selected(), nullptr);
    EXPECT_EQ(step, 0) << "a failed open restarts the sequence as well";
    EXPECT_THAT(log, ElementsAre("CoInitialize", "construct BDA", "OpenInterface BDA",
                                 "destroy BDA", "CoUninitialize"));
    log.clear();
    source->CloseCamera(DriverBda);  // empty slot: nothing, no CoUninitialize
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(SourceFixture, ProblemsAreLoggedAndNotifiedByWhatStartedTheOpen)
{
    struct Row {
        const char* label;
        LibraryLoadStatus library;  // Loaded: the camera's answer decides
        uintptr_t openResult;
        CameraOpenCause cause;
        bool notified;
        const char* logged;
    };
    const Row rows[] = {
        {"missing library at start-up", LibraryLoadStatus::Missing, 1, CameraOpenCause::StartUp, true,
         "Library emDLL.dll: not found in C:\\App or C:\\Windows\\system32"},
        {"missing library on arrival", LibraryLoadStatus::Missing, 1, CameraOpenCause::Arrival, false,
         "no camera library"},
        {"member missing on a rescan", LibraryLoadStatus::MemberMissing, 1, CameraOpenCause::UserRescan, true,
         "loaded, but lacks GetPIO"},
        {"silent camera at start-up", LibraryLoadStatus::Loaded, 0, CameraOpenCause::StartUp, false,
         "Camera open (WDM), start-up: the camera did not answer"},
        {"silent camera on arrival", LibraryLoadStatus::Loaded, 0, CameraOpenCause::Arrival, false,
         "device arrival: the camera did not answer"},
        {"silent camera on a rescan", LibraryLoadStatus::Loaded, 0, CameraOpenCause::UserRescan, true,
         "rescan asked by the user: the camera did not answer"},
        {"silent camera after a driver choice", LibraryLoadStatus::Loaded, 0, CameraOpenCause::DriverChoice,
         true, "driver kind chosen by the user: the camera did not answer"},
        {"camera answers", LibraryLoadStatus::Loaded, 1, CameraOpenCause::UserRescan, false,
         "the camera answered"},
    };
    RecordingSupportLog supportLog;
    RecordingNotifier notifier;
    source->AttachSupport(supportLog, notifier);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        supportLog.lines.clear();
        notifier.texts.clear();
        library.wdmAvailable = row.library == LibraryLoadStatus::Loaded;
        library.wdmOpenResult = row.openResult;
        library.wdmReport = LibraryLoadReport{};
        library.wdmReport.status = row.library;
        library.wdmReport.attempted = true;
        library.wdmReport.library = u"emDLL.dll";
        library.wdmReport.programFolder = u"C:\\App";
        library.wdmReport.systemFolder = u"C:\\Windows\\system32";
        library.wdmReport.member = "GetPIO";
        source->CloseCamera(DriverWdm);
        source->OpenCamera(DriverWdm, row.cause);
        EXPECT_EQ(notifier.texts.size(), row.notified ? 1u : 0u);
        EXPECT_TRUE(supportLog.Has(row.logged)) << ::testing::PrintToString(supportLog.lines);
    }
    source.reset();  // its release logs too, while the log still lives
}

TEST_F(SourceFixture, MissingLibraryIsAFailedOpenWithBalancedCom)
{
    library.wdmAvailable = false;
    source->OpenCamera(DriverWdm);
    EXPECT_FALSE(source->IsHeld(DriverWdm));
    EXPECT_THAT(log, ElementsAre("CoInitialize", "library missing WDM", "CoUninitialize"));
    EXPECT_EQ(step, 0);
}

TEST_F(SourceFixture, RescanWithEmptySlotOnlyOpens)
{
    source->RescanCamera();
    EXPECT_THAT(log, ElementsAre("CoInitialize", "construct WDM", "OpenInterface WDM"));
    log.clear();
    step = 1;
    source->RescanCamera();
    EXPECT_THAT(log, ElementsAre("CloseInterface WDM", "destroy WDM", "CoUninitialize",
                                 "CoInitialize", "construct WDM", "OpenInterface WDM"));
    EXPECT_EQ(step, 0);
    EXPECT_EQ(com.outstanding, 1);
}

TEST_F(SourceFixture, RescanSwitchAndArrivalWhileHeldMakeTheNextDownReadingAPress)
{
    struct Row { const char* label; void (*change)(CameraButtonSource&); };
    const Row rows[] = {
        {"rescan", [](CameraButtonSource& s) { s.RescanCamera(); }},
        {"driver switch", [](CameraButtonSource& s) { s.Kind() = DriverBda; s.RescanCamera(); }},
        {"arrival", [](CameraButtonSource& s) { s.HandleDeviceChange(DeviceArrivalEvent, 0); }},
    };
    for (const Row& r : rows) {
        source->Kind() = DriverWdm;
        source->OpenCamera(DriverWdm);
        PressFilter& press = source->Press();
        press.SetPeriod(50);
        ASSERT_TRUE(press.Read(true, 0)) << r.label;
        ASSERT_FALSE(press.Read(true, 50000)) << r.label << ": still held, no repeat yet";
        r.change(*source);
        EXPECT_TRUE(press.Read(true, 100000)) << r.label;
        source->HandleDeviceChange(0x8004, 0);  // a removal reopens nothing and forgets nothing
        EXPECT_FALSE(press.Read(true, 150000)) << r.label << " then a removal";
        source->ReleaseCameraSource();
    }
}

TEST_F(SourceFixture, SwitchWdmToBdaAndBackKeepsTheOtherHeldAndTearsDownInOrder)
{
    source->Kind() = DriverWdm;
    source->OpenCamera(DriverWdm);
    ICameraButton* wdm = source->Selected();
    ASSERT_NE(wdm, nullptr);

    source->Kind() = DriverBda;
    source->RescanCamera();
    EXPECT_TRUE(source->IsHeld(DriverWdm));
    EXPECT_TRUE(source->IsHeld(DriverBda));
    EXPECT_NE(source->Selected(), wdm) << "the poll must read the BDA object now";
    EXPECT_EQ(com.outstanding, 2);

    log.clear();
    source->Kind() = DriverWdm;
    source->RescanCamera();
    EXPECT_THAT(log, ElementsAre("CloseInterface WDM", "destroy WDM", "CoUninitialize",
                                 "CoInitialize", "construct WDM", "OpenInterface WDM"));
    EXPECT_TRUE(source->IsHeld(DriverBda));

    source->RegisterCameraArrival(9);
    log.clear();
    source->ReleaseCameraSource();
    EXPECT_THAT(log, ElementsAre("CloseInterface WDM", "destroy WDM", "CoUninitialize",
                                 "CloseInterface BDA", "destroy BDA", "CoUninitialize",
                                 "Unregister 77"));
    EXPECT_EQ(com.outstanding, 0);
    log.clear();
    source.reset();  // a second release (the destructor's) does nothing more
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(SourceFixture, AnyNonZeroKindSelectsBda)
{
    source->Kind() = 2;  // a stored UseBDA of 2
    source->RescanCamera();
    EXPECT_TRUE(source->IsHeld(DriverBda));
    EXPECT_FALSE(source->IsHeld(DriverWdm));
    EXPECT_EQ(source->Kind(), 2) << "the stored value passes through unchanged";
    source->Kind() = -1;
    EXPECT_NE(source->Selected(), nullptr);
}

TEST_F(SourceFixture, OnlyArrivalRescansAndEveryEventReturnsZero)
{
    source->OpenCamera(DriverWdm);
    log.clear();
    EXPECT_EQ(source->HandleDeviceChange(0x8004, 1234), 0);  // DBT_DEVICEREMOVECOMPLETE
    EXPECT_EQ(source->HandleDeviceChange(0x0007, 0), 0);     // DBT_DEVNODES_CHANGED
    EXPECT_THAT(log, IsEmpty());
    EXPECT_EQ(source->HandleDeviceChange(0x8000, 0), 0);  // arrival, data not examined
    EXPECT_THAT(log, ElementsAre("CloseInterface WDM", "destroy WDM", "CoUninitialize",
                                 "CoInitialize", "construct WDM", "OpenInterface WDM"));
}

TEST_F(SourceFixture, RegistersTheCaptureInterfaceFilterForTheWindow)
{
    source->RegisterCameraArrival(0xABCD);
    EXPECT_THAT(log, ElementsAre("Register window=43981 flags=0"));
    const uint8_t expected[32] = {
        0x20, 0, 0, 0,  0x05, 0, 0, 0,  0, 0, 0, 0,
        0x3D, 0x77, 0xE8, 0x65, 0x56, 0x8F, 0xD0, 0x11,
        0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96,
        0, 0,  0, 0};
    EXPECT_THAT(notification.filter, ::testing::ElementsAreArray(expected));
}

TEST_F(SourceFixture, TeardownWithoutRegistrationDoesNotUnregister)
{
    struct Row {
        const char* label;
        DeviceNotificationEntries entries;
        DeviceNotifyHandle registerResult;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"register entry missing", {false, true}, 77, {}},
        {"registration failed", {true, true}, NoDeviceNotify, {"Register window=1 flags=0"}},
        // Calling a missing unregister entry would crash; skip it.
        {"unregister entry missing", {true, false}, 77, {"Register window=1 flags=0"}},
        {"both found", {true, true}, 77, {"Register window=1 flags=0", "Unregister 77"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        log.clear();
        notification.entries = row.entries;
        notification.registerResult = row.registerResult;
        CameraButtonSource s(library, com, osVersion, notification, step);
        s.RegisterCameraArrival(1);
        s.ReleaseCameraSource();
        EXPECT_EQ(log, row.expected);
    }
}

TEST(DefaultDriverKind, ByOperatingSystemVersion)
{
    struct Row {
        uint32_t major, minor;
        DriverKind expected;
    } const rows[] = {
        {4, 10, DriverWdm}, {5, 0, DriverWdm}, {5, 1, DriverWdm}, {5, 2, DriverBda},
        {6, 0, DriverBda},  {6, 2, DriverBda}, {10, 0, DriverBda}, {0, 0, DriverWdm},
    };
    for (const Row& row : rows) {
        CallLog log;
        FakeCameraLibrary library{log};
        FakeCom com{log};
        FakeOsVersion os;
        os.version = {row.major, row.minor};
        FakeDeviceNotification notification{log};
        SequenceStep step = 0;
        CameraButtonSource source(library, com, os, notification, step);
        EXPECT_EQ(source.ChooseDefaultDriverKind(), row.expected)
            << "version " << row.major << "." << row.minor;
        EXPECT_EQ(source.Kind(), row.expected);
    }
}

}  // namespace
}  // namespace brelkin::test
