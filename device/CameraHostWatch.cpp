#include "device/CameraHostSource.h"

#include <algorithm>

#include "device/CameraNotices.h"

// The watch of a running host: the call in flight against its limit, a window
// of the library's that waits for the user, a host that never said Hello or
// never answered an open.
namespace brelkin {

void CameraHostSource::OtherVersion(uint32_t version) {
    // Not a fault of the camera: restarting the same host changes nothing.
    m_greeted = true;
    std::string line = HostVersionLine(m_hostPath, version, hostwire::ProtocolVersion);
    m_log->Write(line);
    const Text text = HostVersionText(m_hostPath);
    if (!m_versionBalloonShown) {
        m_versionBalloonShown = true;
        Notify(*m_notifier, text);
    }
    Remember(std::move(line), text);
    EndHost();
    m_mismatch = true;
    m_restartDue = false;
}

void CameraHostSource::WaitForUser(bool window) {
    if (window && !m_waitingForUser) {
        m_log->Write(HostWaitingLine());
        m_process.AllowForeground();
        // Nothing is typed into the library's window, and a joystick button
        // goes up.
        Gone();
    }
    m_waitingForUser = window;
}

bool CameraHostSource::Watch(uint64_t now) {
    HostWatch watch = m_process.Watch();
    WaitForUser(watch.libraryWindow);
    if (watch.libraryWindow) {
        // Every clock stands still until the user has answered the window.
        m_watchFrom = now;
        return true;
    }
    const std::u16string library = LibraryName();
    watch.startedMs = std::max(watch.startedMs, m_watchFrom);
    if (const uint64_t took = CallOverdueMs(watch, now, m_period)) {
        Fault(HostHangLine(library, watch.call, took), HostHangText(library, watch.call));
        return false;
    }
    if (!m_greeted) {
        const uint64_t since = std::max(m_hostStartedAt, m_watchFrom);
        if (now >= since && now - since > HelloLimitMs) {
            OtherVersion(0);
            return false;
        }
    }
    // A host that neither answers an open nor is inside a call of it.
    const bool inCall = watch.call != 0 && watch.call < static_cast<uint32_t>(hostwire::HostCall::Count);
    const uint64_t sent = std::max(m_openSentAt, m_watchFrom);
    if (!m_openAnswered && !inCall && now >= sent && now - sent > OpenAnswerLimitMs) {
        Fault(HostSilentLine(library, now - sent), HostEndedText(library));
        return false;
    }
    return true;
}

}  // namespace brelkin
