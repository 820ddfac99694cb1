#include "device/CameraHostSource.h"

// The Camera Status window's view of the host, the library and the camera.
namespace brelkin {

CameraStatus CameraHostSource::Status() const {
    CameraStatus s;
    if (m_hostBits != 0) s.host = m_waitingForUser ? HostState::WaitingForUser : HostState::Running;
    else if (m_mismatch) s.host = HostState::VersionMismatch;
    else if (m_stopped) s.host = HostState::Stopped;
    else if (m_restartDue) s.host = HostState::Restarting;
    else if (!m_cannotStart.Empty()) s.host = HostState::CannotStart;
    s.library = m_library;
    s.hostBits = m_hostBits;
    s.restartAtMs = m_restartDue ? m_restartAt : 0;
    s.cannotStart = m_cannotStart;
    s.opening = m_hostBits != 0 && !m_openAnswered;
    s.reading = m_lastReading;
    // An object held and no reading since its open: the open's answer says
    // whether it answers.
    if (!m_held[IsBda(m_driverKind) ? 1 : 0]) s.camera = CameraState::NoCameraObject;
    else if (m_readingSinceOpen) s.camera = CameraStateOf(m_lastReading);
    else s.camera = m_lastOpen == CameraOpenOutcome::Answered ? CameraState::Answering : CameraState::NotValid;
    s.lastFault = m_lastFault;
    s.lastFaultText = m_lastFaultText;
    s.lastFaultMs = m_lastFaultMs;
    s.lastFaultTime = m_lastFaultTime;
    s.nowMs = m_process.NowMs();
    return s;
}

}  // namespace brelkin
