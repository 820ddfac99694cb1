#include "device/CameraHostNotices.h"

#include <cstdio>

#include "support/Utf8.h"

namespace brelkin {

namespace {

std::string Hex(uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

std::u16string U16(const char* ascii) {
    std::u16string out;
    for (; *ascii; ++ascii) out.push_back(static_cast<char16_t>(*ascii));
    return out;
}

}  // namespace

const char* HostCallText(uint32_t call) {
    if (call >= static_cast<uint32_t>(hostwire::HostCall::Count)) return "an unknown call";
    return hostwire::HostCallName(static_cast<hostwire::HostCall>(call));
}

std::string HostCrashLine(const std::u16string& library, const HostEnd& end) {
    const std::string module = end.module.empty() ? std::string("an unknown module") : ToUtf8(end.module);
    return "Camera library crashed: " + ToUtf8(library) + ", exception " + Hex(end.exceptionCode, 8) + " at " +
           module + "+" + Hex(end.offset, 1) + " in " + HostCallText(end.call);
}

std::string HostEndedLine(const std::u16string& library, uint32_t exitCode) {
    return "Camera host for " + ToUtf8(library) + " ended unexpectedly, exit code " + Hex(exitCode, 1);
}

std::string HostHangLine(const std::u16string& library, uint32_t call, uint64_t milliseconds) {
    return "Camera library hung: " + ToUtf8(library) + ", " + HostCallText(call) + " had not returned after " +
           std::to_string(milliseconds) + " ms; the camera host was ended";
}

std::string HostRestartLine(uint64_t delayMs) {
    return delayMs == 0 ? std::string("Camera host: restarting now")
                        : "Camera host: restarting in " + std::to_string(delayMs / 1000) + " s";
}

std::string HostStoppedLine(unsigned faults) {
    return "Camera host: " + std::to_string(faults) +
           " faults within 10 minutes, not restarted until \"Rescan Camera\" or a driver choice";
}

std::string HostStartFailedLine(const HostStart& start) {
    const std::string path = ToUtf8(start.path);
    if (start.status == HostStartStatus::Missing) return "Camera host " + path + ": not found";
    return "Camera host " + path + ": cannot start, error " + std::to_string(start.errorCode) + " (" +
           ToUtf8(start.errorText) + ")";
}

std::string HostRejectedLine(uint32_t rejected) {
    return "Camera host: " + std::to_string(rejected) + " unexpected messages ignored";
}

std::u16string HostCrashText(const std::u16string& library, uint32_t call) {
    return u"The camera library " + library + u" crashed in " + U16(HostCallText(call)) +
           u". Brelkin restarted it; the button works again in a moment.";
}

std::u16string HostHangText(const std::u16string& library, uint32_t call) {
    return u"The camera library " + library + u" stopped answering in " + U16(HostCallText(call)) +
           u". Brelkin restarted it; the button works again in a moment.";
}

std::u16string HostStoppedText(const std::u16string& library) {
    return u"The camera library " + library +
           u" failed five times within 10 minutes, so Brelkin stopped restarting it. Check the camera's "
           u"cable and software, then choose \"Rescan Camera\".";
}

std::u16string HostStartFailedText(const HostStart& start) {
    if (start.status == HostStartStatus::Missing)
        return start.path + u" is missing, and Brelkin cannot read the camera without it. Reinstall Brelkin.";
    return start.path + u" cannot be started (error " + U16(std::to_string(start.errorCode).c_str()) + u": " +
           start.errorText + u"). Ask whoever manages this computer to allow it, then choose \"Rescan Camera\".";
}

std::u16string LibraryNeedsWiderWindowsText(const std::u16string& path) {
    return path + u" is a 64-bit library, and this Windows is 32-bit, so no program can load it. Install the "
                  u"camera vendor's 32-bit library instead.";
}

}  // namespace brelkin

namespace brelkin {

std::u16string HostEndedText(const std::u16string& library) {
    return u"The camera host that reads " + library +
           u" ended unexpectedly. Brelkin restarted it; the button works again in a moment.";
}

}  // namespace brelkin
