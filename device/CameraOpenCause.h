#pragma once

namespace brelkin {

// What opened or rescanned the camera. Only a user's own request makes a
// silent camera a notification: at logon or on an arrival a camera that is
// not there yet is normal.
enum class CameraOpenCause {
    StartUp,
    Arrival,
    UserRescan,    // "Rescan Camera" or a double click on the icon
    DriverChoice,  // a new kind chosen under "WDM/BDA Setting"
    PolicyChange,  // a new kind that a refreshed policy sets
    HostRestart,   // the camera host started again after a fault
};

// A deliberate choice: the user's own, or the administrator's through a policy.
inline bool UserAsked(CameraOpenCause cause) {
    return cause == CameraOpenCause::UserRescan || cause == CameraOpenCause::DriverChoice ||
           cause == CameraOpenCause::PolicyChange;
}

}  // namespace brelkin
