#pragma once
// Every word the device part writes to the support log or shows in a balloon:
// what went wrong with a camera library or the camera, each open, close and
// rescan, and the camera host's faults. The sources decide when a line or a
// balloon is due; the words are here, kept together so that they read alike.
#include <cstdint>
#include <string>

#include "device/CameraHostProcess.h"
#include "device/CameraOpenCause.h"
#include "engine/DriverKind.h"
#include "engine/Texts.h"
#include "platform/CameraLibrary.h"

namespace brelkin {

const char* DriverKindName(DriverKind kind);

// The camera library: one support-log line per load, and the balloon that
// names the cause and the next step.
std::string LibraryLoadLine(const LibraryLoadReport& report);
// Empty() for a library that loaded.
Text LibraryProblemText(const LibraryLoadReport& report);
// A 64-bit library where Windows runs no 64-bit program.
Text LibraryNeedsWiderWindowsText(const std::u16string& path);

// How an open ended, as its support-log line says it.
enum class CameraOpenOutcome {
    NoLibrary,
    NoHost,           // the camera host did not start
    RestartsStopped,  // not tried: too many faults of the camera host
    DidNotAnswer,     // OpenInterface failed
    NotValid,         // opened, but IsInterfaceValid said no
    Answered,
};

std::string CameraOpenLine(DriverKind kind, CameraOpenCause cause, CameraOpenOutcome outcome);
std::string CameraCloseLine(DriverKind kind);
std::string CameraRescanLine(DriverKind kind, CameraOpenCause cause);
std::string DeviceArrivalLine();
// A camera that did not answer an open the user asked for.
Text CameraSilentText(DriverKind kind);

// The camera host's faults.
std::string HostCrashLine(const std::u16string& library, const HostEnd& end);
std::string HostEndedLine(const std::u16string& library, uint32_t exitCode);
std::string HostHangLine(const std::u16string& library, uint32_t call, uint64_t milliseconds);
std::string HostRestartLine(uint64_t delayMs);
std::string HostStoppedLine(unsigned faults, unsigned windowMinutes);
// A host of another protocol version: its path, the version it named (0:
// none), and the single balloon, which names the host's file.
std::string HostVersionLine(const std::u16string& hostPath, uint32_t version, uint32_t expected);
Text HostVersionText(const std::u16string& hostPath);
// A window of the library's is open during a call: the call waits for the user.
std::string HostWaitingLine();
std::string HostGarbageLine(const std::u16string& library, uint32_t inARow);
std::string HostSilentLine(const std::u16string& library, uint64_t milliseconds);
// Brelkin runs in a job that takes no job inside it for the host.
std::string HostJobRefusedLine(uint32_t errorCode);
std::string HostStartFailedLine(const HostStart& start);
std::string HostRejectedLine(uint32_t rejected);

Text HostCrashText(const std::u16string& library, uint32_t call);
Text HostEndedText(const std::u16string& library);
Text HostHangText(const std::u16string& library, uint32_t call);
Text HostStoppedText(const std::u16string& library, unsigned faults, unsigned windowMinutes);
Text HostStartFailedText(const HostStart& start);

// "IsButtonPressed", or "an unknown call" for a value that is none.
const char* HostCallText(uint32_t call);

}  // namespace brelkin
