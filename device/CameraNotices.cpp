#include "device/CameraNotices.h"

#include <cstdio>

#include "engine/Utf8.h"

namespace brelkin {

namespace {

std::u16string U16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string Bits(unsigned bits) {
    return std::u16string(TextLine(bits == 32 ? IDS_BITS_32 : IDS_BITS_64, Language::English));
}

TextArg BitsArg(unsigned bits) {
    return TextArg::Translated(bits == 32 ? IDS_BITS_32 : IDS_BITS_64);
}

// A member of the library by its own name; any other call, or "an unknown
// call", in the reader's words.
TextArg CallArg(uint32_t call) {
    using hostwire::HostCall;
    switch (call < static_cast<uint32_t>(HostCall::Count) ? static_cast<HostCall>(call) : HostCall::Count) {
    case HostCall::LoadLibrary: return TextArg::Translated(IDS_CALL_LOADING);
    case HostCall::Constructor: return TextArg::Translated(IDS_CALL_CONSTRUCTOR);
    case HostCall::Destructor: return TextArg::Translated(IDS_CALL_DESTRUCTOR);
    case HostCall::WindowMessage: return TextArg::Translated(IDS_CALL_WINDOW_MESSAGE);
    case HostCall::Unload: return TextArg::Translated(IDS_CALL_UNLOADING);
    case HostCall::Count: return TextArg::Translated(IDS_UNKNOWN_CALL);
    default: return U16(HostCallText(call));
    }
}

std::u16string Setup(unsigned bits) {
    return bits == 32 ? u"BrelkinSetup-x86.exe" : u"BrelkinSetup-x64.exe";
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

Text LibraryProblemText(const LibraryLoadReport& r) {
    switch (r.status) {
    case LibraryLoadStatus::Loaded: return {};
    case LibraryLoadStatus::Missing:
        return Text(IDS_LIBRARY_MISSING, {r.library, r.programFolder, r.systemFolder});
    case LibraryLoadStatus::WrongBitness:
        return Text(IDS_LIBRARY_WRONG_BITNESS,
                    {r.path, BitsArg(r.libraryBits), BitsArg(r.programBits), Setup(r.libraryBits)});
    case LibraryLoadStatus::LoadFailed:
        return Text(IDS_LIBRARY_LOAD_FAILED, {r.path, U16(std::to_string(r.errorCode)), r.errorText});
    case LibraryLoadStatus::NotCameraLibrary:
        return Text(IDS_LIBRARY_NOT_CAMERA, {r.path, r.library});
    case LibraryLoadStatus::MemberMissing:
        return Text(IDS_LIBRARY_MEMBER_MISSING, {r.path, U16(r.member), r.library});
    }
    return {};
}

Text LibraryNeedsWiderWindowsText(const std::u16string& path) {
    return Text(IDS_LIBRARY_NEEDS_WIDER_WINDOWS, {path});
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

Text CameraSilentText(DriverKind kind) {
    return Text(IsBda(kind) ? IDS_CAMERA_SILENT_BDA : IDS_CAMERA_SILENT_WDM);
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

Text HostVersionText(const std::u16string& hostPath) {
    const size_t slash = hostPath.find_last_of(u"\\/");
    return Text(IDS_HOST_VERSION_MISMATCH, {slash == std::u16string::npos ? hostPath : hostPath.substr(slash + 1)});
}

std::string HostWaitingLine() {
    return "Camera host: waiting for the user: the camera library shows a window";
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

Text HostCrashText(const std::u16string& library, uint32_t call) {
    return Text(IDS_HOST_CRASH, {library, CallArg(call)});
}

Text HostEndedText(const std::u16string& library) {
    return Text(IDS_HOST_ENDED, {library});
}

Text HostHangText(const std::u16string& library, uint32_t call) {
    return Text(IDS_HOST_HANG, {library, CallArg(call)});
}

Text HostStoppedText(const std::u16string& library, unsigned faults, unsigned windowMinutes) {
    return Text(IDS_HOST_STOPPED, {library, U16(std::to_string(faults)), U16(std::to_string(windowMinutes))});
}

Text HostStartFailedText(const HostStart& start) {
    if (start.status == HostStartStatus::Missing) return Text(IDS_HOST_MISSING, {start.path});
    return Text(IDS_HOST_START_FAILED, {start.path, U16(std::to_string(start.errorCode)), start.errorText});
}

}  // namespace brelkin
