#pragma once
// What the camera host's client knows of the library, the host and the camera
// at this moment, kept up to date where each of them changes, so that the
// Camera Status window reads it without asking the host anything.
#include <cstdint>
#include <string>

#include "engine/ButtonPoll.h"
#include "engine/Texts.h"
#include "platform/CameraLibrary.h"
#include "platform/Clock.h"

namespace brelkin {

enum class HostState {
    NotStarted,
    Running,
    Restarting,   // after a fault, at `restartAtMs`
    Stopped,      // too many faults; Rescan Camera tries again
    CannotStart,  // `cannotStart` says why
    VersionMismatch,  // a host of another version; a rescan tries again
    WaitingForUser,   // running, and a window of the library's waits for the user
};

enum class CameraState {
    NoCameraObject,
    Answering,
    NotValid,
    PortBusy,
};

struct CameraStatus {
    // Found by Brelkin, then as the host reported its load (the folders
    // looked in come with a library that is missing).
    LibraryLoadReport library;
    HostState host = HostState::NotStarted;
    unsigned hostBits = 0;
    uint64_t restartAtMs = 0;  // NowMs of the host process's clock
    Text cannotStart;
    bool opening = false;  // an open is on its way to the host's answer
    CameraState camera = CameraState::NoCameraObject;
    ButtonReading reading = ButtonReading::NoReading;  // the last one
    // The last camera or host fault as the support log wrote it; empty: none.
    std::string lastFault;
    // Its balloon, which the window shows in its language; Empty(): none.
    Text lastFaultText;
    uint64_t lastFaultMs = 0;
    ClockTime lastFaultTime;  // local, taken when it happened
    uint64_t nowMs = 0;       // the awake clock when this was taken
};

// An answering camera's state as a reading shows it; no reading means the
// interface is not valid (or GetPIO failed) while an object is held.
inline CameraState CameraStateOf(ButtonReading reading) {
    switch (reading) {
    case ButtonReading::NoReading: return CameraState::NotValid;
    case ButtonReading::PortBusy: return CameraState::PortBusy;
    default: return CameraState::Answering;
    }
}

}  // namespace brelkin
