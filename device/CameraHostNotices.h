#pragma once
// The words for the camera host's faults: the support-log lines and the
// balloons, kept together so that they read alike.
#include <cstdint>
#include <string>

#include "device/CameraHostProcess.h"

namespace brelkin {

std::string HostCrashLine(const std::u16string& library, const HostEnd& end);
std::string HostEndedLine(const std::u16string& library, uint32_t exitCode);
std::string HostHangLine(const std::u16string& library, uint32_t call, uint64_t milliseconds);
std::string HostRestartLine(uint64_t delayMs);
std::string HostStoppedLine(unsigned faults);
std::string HostStartFailedLine(const HostStart& start);
std::string HostRejectedLine(uint32_t rejected);

std::u16string HostCrashText(const std::u16string& library, uint32_t call);
std::u16string HostHangText(const std::u16string& library, uint32_t call);
std::u16string HostStoppedText(const std::u16string& library);
std::u16string HostStartFailedText(const HostStart& start);
// A 64-bit library where Windows runs no 64-bit program.
std::u16string LibraryNeedsWiderWindowsText(const std::u16string& path);

// "IsButtonPressed", or "an unknown call" for a value that is none.
const char* HostCallText(uint32_t call);

}  // namespace brelkin

namespace brelkin {
std::u16string HostEndedText(const std::u16string& library);
}  // namespace brelkin
