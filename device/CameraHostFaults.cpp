#include "device/CameraHostSource.h"

#include <algorithm>

#include "device/CameraNotices.h"

// The camera host's faults: when a call is overdue, how a fault ends the
// host, and when the next start is due.
namespace brelkin {

uint64_t RestartDelayMs(unsigned faultNumber, uint64_t maxDelayMs) {
    if (faultNumber <= 1) return 0;
    const unsigned doublings = faultNumber - 2;
    return doublings >= 16 ? maxDelayMs : std::min<uint64_t>(maxDelayMs, 1000ull << doublings);
}

uint64_t HangDeadlineMs(uint32_t period) {
    return std::max<uint64_t>(2000, 20ull * period);
}

uint64_t CallOverdueMs(const HostWatch& watch, uint64_t nowMs, uint32_t period) {
    using hostwire::HostCall;
    if (watch.call == 0 || watch.call >= static_cast<uint32_t>(HostCall::Count)) return 0;
    if (watch.startedMs > nowMs) return 0;  // not a time this clock has shown
    uint64_t limit = HangDeadlineMs(period);
    switch (static_cast<HostCall>(watch.call)) {
    case HostCall::LoadLibrary:
    case HostCall::Constructor:
    case HostCall::OpenInterface:
    case HostCall::CloseInterface:
    case HostCall::Destructor:
    case HostCall::Unload: limit = OpenLimitMs; break;
    default: break;  // the poll calls and a window message
    }
    const uint64_t took = nowMs - watch.startedMs;
    return took > limit ? took : 0;
}

void CameraHostSource::Remember(std::string line, Text shown) {
    m_lastFault = std::move(line);
    m_lastFaultText = std::move(shown);
    m_lastFaultMs = m_process.NowMs();
    m_lastFaultTime = m_process.LocalTimeNow();
}

void CameraHostSource::CountRejections(uint64_t now) {
    m_rejectedPending += m_reader.Rejected() - m_rejectedSeen;
    m_rejectedSeen = m_reader.Rejected();
    if (m_rejectedPending == 0) return;
    // At most one line a minute, with the count: a host that sends garbage
    // must not rotate the log away.
    if (m_rejectionLogged && now - m_rejectionLoggedAt < RejectionLogEveryMs) return;
    m_log->Write(HostRejectedLine(m_rejectedPending));
    m_rejectedPending = 0;
    m_rejectionLogged = true;
    m_rejectionLoggedAt = now;
}

void CameraHostSource::EndHost() {
    m_process.Kill();
    m_hostBits = 0;
    m_held[0] = m_held[1] = false;
    m_openAnswered = true;
    m_waitingForUser = false;
    Gone();
}

void CameraHostSource::Fault(std::string line, Text balloon) {
    m_log->Write(line);
    Remember(line, balloon);
    EndHost();
    ScheduleRestart(balloon, false);
}

void CameraHostSource::ScheduleRestart(const Text& balloon, bool startFailed) {
    const uint64_t now = m_process.NowMs();
    const uint64_t window = m_policy.windowMs;
    m_faults.erase(std::remove_if(m_faults.begin(), m_faults.end(),
                                  [now, window](uint64_t t) { return now - t >= window; }),
                   m_faults.end());
    m_faults.push_back(now);
    const auto minutes = static_cast<unsigned>(window / 60000);
    const auto faults = static_cast<unsigned>(m_faults.size());
    if (faults >= m_policy.faultsThatStop) {
        m_stopped = true;
        m_restartDue = false;
        m_log->Write(HostStoppedLine(faults, minutes));
        // A host that cannot be started: its reason, and what to do about it.
        Notify(*m_notifier, startFailed ? m_cannotStart : HostStoppedText(LibraryName(), faults, minutes));
        return;
    }
    // One balloon per session: a camera that keeps failing is named once,
    // and again when the restarts stop.
    if (!m_faultBalloonShown) {
        m_faultBalloonShown = true;
        Notify(*m_notifier, balloon);
    }
    const uint64_t delay = RestartDelayMs(faults, m_policy.maxDelayMs);
    m_log->Write(HostRestartLine(delay));
    m_restartDue = true;
    m_restartAt = now + delay;
    if (delay == 0 && !startFailed) {
        m_restartDue = false;
        m_cause = CameraOpenCause::HostRestart;
        StartAndOpen();
    }
}

}  // namespace brelkin
