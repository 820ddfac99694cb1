#pragma once
// What the camera host's client needs of the operating system: finding the
// library to read its bitness, starting and ending the host of a bitness,
// the two pipes and the watch block. The Win32 one is in device/win32/; the
// tests drive the client through a recording fake.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/CameraHostProtocol.h"
#include "platform/CameraLibrary.h"
#include "platform/Clock.h"

namespace brelkin {

// Posted to the window given to NotifyWindow whenever the host has sent
// something (WM_APP + 0x31).
constexpr uint32_t CameraHostReportMessage = 0x8000 + 0x31;

// Where the library of a class is, as the host of its bitness will find it.
struct FoundLibrary {
    std::u16string path;  // empty: in neither place
    unsigned bits = 0;    // 32 or 64 from the PE header; 0 unknown
};

enum class HostStartStatus { Started, Missing, Refused };

struct HostStart {
    HostStartStatus status = HostStartStatus::Started;
    std::u16string path;  // the host program's full path
    uint32_t errorCode = 0;
    std::u16string errorText;
};

// How a host ended, as far as its exit code and watch block tell; the
// client checks every field.
struct HostEnd {
    uint32_t exitCode = 0;
    bool crashRecorded = false;
    uint32_t exceptionCode = 0;
    uint32_t call = 0;  // hostwire::HostCall, unchecked
    std::u16string module;
    uint64_t offset = 0;
    // Refused: the host never ran, its start failed after Start returned
    // (the process is created beside the interface thread). The path may be
    // left to the caller, who asked for the start.
    HostStart start;
};

struct HostWatch {
    uint32_t call = 0;  // hostwire::HostCall, unchecked
    uint64_t startedMs = 0;
    // A window of the library's is open during the call: it waits for the user.
    bool libraryWindow = false;
};

class ICameraHostProcess {
public:
    virtual ~ICameraHostProcess() = default;
    virtual unsigned ProgramBits() const = 0;
    // False where a host of that bitness cannot run: 64 on 32-bit Windows.
    virtual bool CanRun(unsigned bits) const = 0;
    virtual FoundLibrary FindLibrary(CameraClass cameraClass) = 0;
    virtual void NotifyWindow(uintptr_t window) = 0;

    // One host at a time; a running one is ended first. Started means on
    // its way: a failure to create the process may still come as an end.
    virtual HostStart Start(unsigned bits) = 0;
    virtual bool Send(const std::vector<uint8_t>& bytes) = 0;
    // What the host has sent since the last call; never waits.
    virtual size_t Receive(uint8_t* buffer, size_t capacity) = 0;
    virtual HostWatch Watch() = 0;
    // True once the running host has ended; fills `end`.
    virtual bool Ended(HostEnd& end) = 0;
    // Ends the host and lets go of it at once; it finishes ending in the
    // background. Never waits on the host.
    virtual void Kill() = 0;
    // After a Quit: lets go of the host at once, which gets `milliseconds` to
    // close the camera and end before it is ended, in the background.
    virtual void Finish(uint32_t milliseconds) = 0;
    // Awake milliseconds (QueryUnbiasedInterruptTime): the clock of the
    // watch block, which stands still while the computer sleeps.
    virtual uint64_t NowMs() = 0;
    // The local time of day, taken when a fault happens: working it out
    // later from the awake clock would be early by any time slept since.
    virtual ClockTime LocalTimeNow() { return {}; }
    // Once the host runs: 0, or the error that kept it out of a job of its
    // own (Brelkin's own job forbids one).
    virtual uint32_t JobRefusal() = 0;
    // Lets the running host bring a window of the library's to the front.
    virtual void AllowForeground() = 0;
};

}  // namespace brelkin
