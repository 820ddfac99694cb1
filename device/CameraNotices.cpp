#include "device/CameraNotices.h"

#include <cstdio>

#include "engine/Utf8.h"

namespace brelkin {

namespace {

std::u16string Bits(unsigned bits) {
    return bits == 32 ? u"32-bit" : u"64-bit";
}

std::u16string Setup(unsigned bits) {
    return bits == 32 ? u"BrelkinSetup-x86.exe" : u"BrelkinSetup-x64.exe";
}

std::u16string U16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::string Hex(uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

const char* CauseName(CameraOpenCause cause) {
    switch (cause) {
    case CameraOpenCause::StartUp: return "start-up";
    case CameraOpenCause::Arrival: return "device arrival";
    case CameraOpenCause::UserRescan: return "rescan asked by the user";
    case CameraOpenCause::DriverChoice: return "driver kind chosen by the user";
    case CameraOpenCause::PolicyChange: return "driver kind set by policy";
    case CameraOpenCause::HostRestart: return "restart after a camera library fault";
    }
    return "?";
}

const char* OutcomeName(CameraOpenOutcome outcome) {
    switch (outcome) {
    case CameraOpenOutcome::NoLibrary: return "no camera library";
    case CameraOpenOutcome::NoHost: return "no camera host";
    case CameraOpenOutcome::RestartsStopped: return "not opened, restarts of the camera host are stopped";
    case CameraOpenOutcome::DidNotAnswer: return "the camera did not answer (OpenInterface failed)";
    case CameraOpenOutcome::NotValid: return "opened, but the interface is not valid";
    case CameraOpenOutcome::Answered: return "the camera answered";
    }
    return "?";
}

// "Camera close (WDM)": what happened, and to which kind.
std::string KindLine(const char* what, DriverKind kind) {
    return std::string(what) + " (" + DriverKindName(kind) + ")";
}

}  // namespace

const char* DriverKindName(DriverKind kind) {
    return IsBda(kind) ? "BDA" : "WDM";
}

std::string LibraryLoadLine(const LibraryLoadReport& r) {
    const std::string where = ToUtf8(r.path.empty() ? r.library : r.path);
    std::string line = "Library " + where + ": ";
    const std::string error = r.errorCode == 0 ? std::string()
        : ", error " + std::to_string(r.errorCode) + " (" + ToUtf8(r.errorText) + ")";
    switch (r.status) {
    case LibraryLoadStatus::Loaded: return line + "loaded";
    case LibraryLoadStatus::Missing:
        return line + "not found in " + ToUtf8(r.programFolder) + " or " + ToUtf8(r.systemFolder) + error;
    case LibraryLoadStatus::WrongBitness:
        return line + "not loaded, a " + ToUtf8(Bits(r.libraryBits)) + " library in a " +
               ToUtf8(Bits(r.programBits)) + " program" + error;
    case LibraryLoadStatus::LoadFailed: return line + "not loaded" + error;
    case LibraryLoadStatus::NotCameraLibrary: return line + "not a camera library" + error;
    case LibraryLoadStatus::MemberMissing: return line + "loaded, but lacks " + r.member;
    }
    return line;
}

std::u16string LibraryProblemText(const LibraryLoadReport& r) {
    switch (r.status) {
    case LibraryLoadStatus::Loaded: return {};
    case LibraryLoadStatus::Missing:
        return r.library + u" is neither in Brelkin's folder (" + r.programFolder +
               u") nor in the system folder (" + r.systemFolder + u"). Copy the camera's " + r.library +
               u" into one of them, then choose \"Rescan Camera\".";
    case LibraryLoadStatus::WrongBitness:
        return r.path + u" is a " + Bits(r.libraryBits) + u" library; this Brelkin is " +
               Bits(r.programBits) + u": install " + Setup(r.libraryBits) + u".";
    case LibraryLoadStatus::LoadFailed:
        return r.path + u" cannot be loaded (error " + U16(std::to_string(r.errorCode)) + u": " +
               r.errorText + u"). Reinstall the camera's software.";
    case LibraryLoadStatus::NotCameraLibrary:
        return r.path + u" is not the camera library Brelkin needs. Copy the camera vendor's " +
               r.library + u" over it, then choose \"Rescan Camera\".";
    case LibraryLoadStatus::MemberMissing:
        return r.path + u" lacks " + U16(r.member) +
               u", which Brelkin needs. Install the camera vendor's current " + r.library + u".";
    }
    return {};
}

std::u16string LibraryNeedsWiderWindowsText(const std::u16string& path) {
    return path + u" is a 64-bit library, and this Windows is 32-bit, so no program can load it. Install the "
                  u"camera vendor's 32-bit library instead.";
}

std::string CameraOpenLine(DriverKind kind, CameraOpenCause cause, CameraOpenOutcome outcome) {
    return KindLine("Camera open", kind) + ", " + CauseName(cause) + ": " + OutcomeName(outcome);
}

std::string CameraCloseLine(DriverKind kind) {
    return KindLine("Camera close", kind);
}

std::string CameraRescanLine(DriverKind kind, CameraOpenCause cause) {
    return KindLine("Rescan", kind) + ", " + CauseName(cause);
}

std::string DeviceArrivalLine() {
    return "Device arrival";
}

std::u16string CameraSilentText(DriverKind kind) {
    return IsBda(kind)
        ? u"The camera does not answer through the BDA driver. Check that it is plugged in, or "
          u"choose WDM under \"WDM/BDA Setting\"."
        : u"The camera does not answer through the WDM driver. Check that it is plugged in, or "
          u"choose BDA under \"WDM/BDA Setting\".";
}

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

std::string HostStoppedLine(unsigned faults, unsigned windowMinutes) {
    return "Camera host: " + std::to_string(faults) + " faults within " + std::to_string(windowMinutes) +
           " minutes, not restarted until \"Rescan Camera\" or a driver choice";
}

std::string HostVersionLine(const std::u16string& hostPath, uint32_t version, uint32_t expected) {
    return "Camera host " + ToUtf8(hostPath) + ": protocol version " +
           (version == 0 ? std::string("unknown (an older host)") : std::to_string(version)) + ", this Brelkin speaks " +
           std::to_string(expected) + "; not restarted until \"Rescan Camera\" or a driver choice";
}

std::u16string HostVersionText() {
    return u"BrelkinCameraHost.exe does not match this Brelkin; reinstall Brelkin";
}

std::string HostGarbageLine(const std::u16string& library, uint32_t inARow) {
    return "Camera host for " + ToUtf8(library) + " sent " + std::to_string(inARow) +
           " unreadable messages in a row; the camera host was ended";
}

std::string HostSilentLine(const std::u16string& library, uint64_t milliseconds) {
    return "Camera host for " + ToUtf8(library) + " had not answered an open after " +
           std::to_string(milliseconds) + " ms; the camera host was ended";
}

std::string HostJobRefusedLine(uint32_t errorCode) {
    return "Camera host: not in a job of its own (error " + std::to_string(errorCode) +
           ", Brelkin's own job forbids it); it ends with Brelkin through its pipe and Brelkin's process handle";
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

std::u16string HostEndedText(const std::u16string& library) {
    return u"The camera host that reads " + library +
           u" ended unexpectedly. Brelkin restarted it; the button works again in a moment.";
}

std::u16string HostHangText(const std::u16string& library, uint32_t call) {
    return u"The camera library " + library + u" stopped answering in " + U16(HostCallText(call)) +
           u". Brelkin restarted it; the button works again in a moment.";
}

std::u16string HostStoppedText(const std::u16string& library, unsigned faults, unsigned windowMinutes) {
    return u"The camera library " + library + u" failed " + U16(std::to_string(faults)) + u" times within " +
           U16(std::to_string(windowMinutes)) + u" minutes, so Brelkin stopped restarting it. Check the camera's "
           u"cable and software, then choose \"Rescan Camera\".";
}

std::u16string HostStartFailedText(const HostStart& start) {
    if (start.status == HostStartStatus::Missing)
        return start.path + u" is missing, and Brelkin cannot read the camera without it. Reinstall Brelkin.";
    return start.path + u" cannot be started (error " + U16(std::to_string(start.errorCode)) + u": " +
           start.errorText + u"). Ask whoever manages this computer to allow it, then choose \"Rescan Camera\".";
}

}  // namespace brelkin
