#include "device/CameraNotices.h"

#include <gtest/gtest.h>

namespace brelkin {
namespace {

// The open, close, rescan and arrival lines that no source test reaches,
// next to two it does, as the support log has always spelled them.
TEST(CameraNotices, CameraLinesSpellKindCauseAndOutcome)
{
    struct Row {
        const char* label;
        std::string line;
        const char* expected;
    };
    const Row rows[] = {
        {"no library", CameraOpenLine(DriverWdm, CameraOpenCause::StartUp, CameraOpenOutcome::NoLibrary),
         "Camera open (WDM), start-up: no camera library"},
        {"no host", CameraOpenLine(DriverBda, CameraOpenCause::Arrival, CameraOpenOutcome::NoHost),
         "Camera open (BDA), device arrival: no camera host"},
        {"stopped", CameraOpenLine(DriverBda, CameraOpenCause::HostRestart, CameraOpenOutcome::RestartsStopped),
         "Camera open (BDA), restart after a camera library fault: not opened, restarts of the camera host are "
         "stopped"},
        {"silent", CameraOpenLine(DriverWdm, CameraOpenCause::UserRescan, CameraOpenOutcome::DidNotAnswer),
         "Camera open (WDM), rescan asked by the user: the camera did not answer (OpenInterface failed)"},
        {"not valid", CameraOpenLine(DriverBda, CameraOpenCause::DriverChoice, CameraOpenOutcome::NotValid),
         "Camera open (BDA), driver kind chosen by the user: opened, but the interface is not valid"},
        {"answered", CameraOpenLine(DriverWdm, CameraOpenCause::StartUp, CameraOpenOutcome::Answered),
         "Camera open (WDM), start-up: the camera answered"},
        {"close", CameraCloseLine(DriverBda), "Camera close (BDA)"},
        {"rescan", CameraRescanLine(DriverWdm, CameraOpenCause::Arrival), "Rescan (WDM), device arrival"},
        {"arrival", DeviceArrivalLine(), "Device arrival"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.line, row.expected) << row.label;
}

}  // namespace
}  // namespace brelkin
