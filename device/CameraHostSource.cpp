#include "device/CameraHostSource.h"

#include <algorithm>

#include "device/CameraNotices.h"

namespace brelkin {

namespace {

NullSupportLog g_noLog;
NullNotifier g_noNotifier;

// How long Brelkin waits at exit, or on a switch to a host of the other
// bitness, for a host to close the camera before it is ended.
constexpr uint32_t HostQuitWaitMs = 2000;

bool UserAsked(CameraOpenCause cause) {
    return cause == CameraOpenCause::UserRescan || cause == CameraOpenCause::DriverChoice;
}

}  // namespace

uint64_t RestartDelayMs(unsigned faultNumber) {
    if (faultNumber <= 1) return 0;
    const unsigned doublings = faultNumber - 2;
    return doublings >= 6 ? 60000 : std::min<uint64_t>(60000, 1000ull << doublings);
}

uint64_t HangDeadlineMs(uint32_t period) {
    return std::max<uint64_t>(2000, 20ull * period);
}

CameraHostSource::CameraHostSource(ICameraHostProcess& process, IOsVersion& osVersion,
                                   IDeviceNotification& notification, SequenceStep& sequenceStep)
    : m_process(process), m_osVersion(osVersion), m_notification(notification), m_sequenceStep(sequenceStep),
      m_log(&g_noLog), m_notifier(&g_noNotifier) {}

CameraHostSource::~CameraHostSource() {
    ReleaseCameraSource();
}

void CameraHostSource::AttachSupport(ISupportLog& log, INotifier& notifier) {
    m_log = &log;
    m_notifier = &notifier;
}

void CameraHostSource::SetBasePeriod(uint32_t basePeriod) {
    const uint32_t base = AdaptivePollPeriod(basePeriod).BasePeriod();
    if (base == m_basePeriod) return;
    m_basePeriod = base;
    m_period = base;
    if (m_hostBits != 0) m_process.Send(hostwire::EncodeSettings(m_basePeriod, m_everyTick));
}

void CameraHostSource::SetEveryTick(bool everyTick) {
    if (everyTick == m_everyTick) return;
    m_everyTick = everyTick;
    if (m_hostBits != 0) m_process.Send(hostwire::EncodeSettings(m_basePeriod, m_everyTick));
}

DriverKind CameraHostSource::ChooseDefaultDriverKind() {
    m_driverKind = DefaultDriverKindFor(m_osVersion.GetOsVersion());
    return m_driverKind;
}

void CameraHostSource::RegisterCameraArrival(uintptr_t window) {
    m_process.NotifyWindow(window);
    m_arrival.Register(m_notification, window);
}

std::u16string CameraHostSource::LibraryName() const {
    return IsBda(m_driverKind) ? u"BDADLL.dll" : u"emDLL.dll";
}

void CameraHostSource::OpenCamera(DriverKind kind, CameraOpenCause cause) {
    if (UserAsked(cause)) {
        // The user's own request is the one way out of stopped restarts.
        m_faults.clear();
        m_stopped = false;
    }
    m_cause = cause;
    m_restartDue = false;
    m_sequenceStep = 0;
    m_press.Forget();
    if (m_stopped) {
        m_log->Write(CameraOpenLine(kind, cause, CameraOpenOutcome::RestartsStopped));
        return;
    }
    StartAndOpen();
}

void CameraHostSource::StartAndOpen() {
    const CameraClass cameraClass = ClassOf(m_driverKind);
    const bool tell = m_cause != CameraOpenCause::Arrival;
    const FoundLibrary found = m_process.FindLibrary(cameraClass);
    // A library that is not there, or is no program file, goes to the host
    // of Brelkin's own bitness, which says what it found.
    const unsigned bits = found.bits != 0 ? found.bits : m_process.ProgramBits();

    LibraryLoadReport refused;
    refused.status = LibraryLoadStatus::WrongBitness;
    refused.attempted = true;
    refused.library = LibraryName();
    refused.path = found.path;
    refused.libraryBits = bits;
    refused.programBits = m_process.ProgramBits();
    if (!m_process.CanRun(bits)) {
        m_log->Write(LibraryLoadLine(refused));
        m_log->Write(CameraOpenLine(m_driverKind, m_cause, CameraOpenOutcome::NoLibrary));
        if (tell) Notify(*m_notifier, LibraryNeedsWiderWindowsText(found.path));
        Gone();
        return;
    }
    if (m_hostBits != 0 && m_hostBits != bits) {
        // The other kind's library is of the other bitness: its host goes,
        // and the object it held with it.
        m_process.Send(hostwire::EncodeQuit());
        m_process.Finish(HostQuitWaitMs);
        for (int i = 0; i < 2; ++i)
            if (m_held[i]) m_log->Write(CameraCloseLine(i == 0 ? DriverWdm : DriverBda));
        m_held[0] = m_held[1] = false;
        m_hostBits = 0;
    }
    if (m_hostBits == 0) {
        const HostStart start = m_process.Start(bits);
        if (start.status != HostStartStatus::Started) {
            if (start.status == HostStartStatus::Missing && bits != m_process.ProgramBits()) {
                // This installation has no host of the library's bitness:
                // the other setup has.
                m_log->Write(LibraryLoadLine(refused));
                m_log->Write(CameraOpenLine(m_driverKind, m_cause, CameraOpenOutcome::NoLibrary));
                if (tell) Notify(*m_notifier, LibraryProblemText(refused));
            } else {
                m_log->Write(HostStartFailedLine(start));
                m_log->Write(CameraOpenLine(m_driverKind, m_cause, CameraOpenOutcome::NoHost));
                if (tell) Notify(*m_notifier, HostStartFailedText(start));
            }
            Gone();
            return;
        }
        m_hostBits = bits;
        m_reader = hostwire::MessageReader(false);
        m_rejectedLogged = 0;
    }
    m_process.Send(hostwire::EncodeOpen(cameraClass, m_basePeriod, m_everyTick));
    ++m_pendingOpens;
    m_period = m_basePeriod;
}

void CameraHostSource::CloseCamera(DriverKind kind) {
    bool& held = m_held[IsBda(kind) ? 1 : 0];
    if (!held) return;
    m_log->Write(CameraCloseLine(kind));
    m_process.Send(hostwire::EncodeClose(ClassOf(kind)));
    held = false;
    if (kind == m_driverKind) Gone();
}

void CameraHostSource::RescanCamera(CameraOpenCause cause) {
    m_log->Write(CameraRescanLine(m_driverKind, cause));
    CloseCamera(m_driverKind);
    OpenCamera(m_driverKind, cause);
}

intptr_t CameraHostSource::HandleDeviceChange(uintptr_t event, intptr_t data) {
    if (event == DeviceArrivalEvent) {
        m_log->Write(DeviceArrivalLine());
        RescanCamera(CameraOpenCause::Arrival);
    }
    return 0;
}

void CameraHostSource::ReleaseCameraSource() {
    CloseCamera(DriverWdm);
    CloseCamera(DriverBda);
    if (m_hostBits != 0) {
        m_process.Send(hostwire::EncodeQuit());
        m_process.Finish(HostQuitWaitMs);
        m_hostBits = 0;
    }
    m_restartDue = false;
    m_pendingOpens = 0;
    m_arrival.Unregister(m_notification);
}

void CameraHostSource::Gone() {
    m_press.Forget();
    if (m_answer) m_answer->CameraGone();
}

void CameraHostSource::Handle(const hostwire::Message& m) {
    const CameraClass selected = ClassOf(m_driverKind);
    switch (m.kind) {
    case hostwire::Kind::LoadReport:
        if (m.cameraClass != selected || m_pendingOpens == 0) return;
        if (m.report.attempted) m_log->Write(LibraryLoadLine(m.report));
        // A configuration problem shows at start-up and whenever the user
        // rescans; an arrival only repeats what the user was told.
        if (m.report.status != LibraryLoadStatus::Loaded && m_cause != CameraOpenCause::Arrival &&
            m_pendingOpens == 1)
            Notify(*m_notifier, LibraryProblemText(m.report));
        return;
    case hostwire::Kind::Opened: {
        if (m.cameraClass != selected || m_pendingOpens == 0) return;
        // An earlier open that a rescan overtook: the host has already
        // replaced its object.
        if (--m_pendingOpens > 0) return;
        CameraOpenOutcome outcome = CameraOpenOutcome::NoLibrary;
        bool silent = false;
        bool& held = m_held[selected == CameraClass::Bda ? 1 : 0];
        switch (m.outcome) {
        case hostwire::OpenOutcome::NoLibrary: break;
        case hostwire::OpenOutcome::OpenFailed:
            outcome = CameraOpenOutcome::DidNotAnswer;
            silent = true;
            break;
        case hostwire::OpenOutcome::NotValid:
            outcome = CameraOpenOutcome::NotValid;
            held = true;
            silent = true;
            break;
        case hostwire::OpenOutcome::Answered:
            outcome = CameraOpenOutcome::Answered;
            held = true;
            break;
        }
        m_log->Write(CameraOpenLine(m_driverKind, m_cause, outcome));
        if (silent && UserAsked(m_cause)) Notify(*m_notifier, CameraSilentText(m_driverKind));
        m_press.Forget();
        return;
    }
    case hostwire::Kind::Reading:
        if (m_pendingOpens > 0 || !m_held[selected == CameraClass::Bda ? 1 : 0]) return;
        if (m.period < MinPollPeriod || m.period > MaxPollPeriod) return;
        m_period = m.period;
        if (m_answer) m_answer->Answer(m.reading, m.period);
        return;
    default: return;
    }
}

void CameraHostSource::Pump() {
    if (m_hostBits == 0) {
        if (m_restartDue && m_process.NowMs() >= m_restartAt) {
            m_restartDue = false;
            m_cause = CameraOpenCause::HostRestart;
            StartAndOpen();
        }
        return;
    }
    uint8_t buffer[1024];
    for (size_t n; (n = m_process.Receive(buffer, sizeof buffer)) > 0;) {
        m_reader.Append(buffer, n);
        while (auto m = m_reader.Next()) Handle(*m);
    }
    if (m_reader.Rejected() != m_rejectedLogged) {
        m_log->Write(HostRejectedLine(m_reader.Rejected() - m_rejectedLogged));
        m_rejectedLogged = m_reader.Rejected();
    }
    const std::u16string library = LibraryName();
    HostEnd end;
    if (m_process.Ended(end)) {
        m_hostBits = 0;
        if (end.crashRecorded)
            Fault(HostCrashLine(library, end), HostCrashText(library, end.call));
        else
            Fault(HostEndedLine(library, end.exitCode), HostEndedText(library));
        return;
    }
    const HostWatch watch = m_process.Watch();
    if (watch.call == 0 || watch.call >= static_cast<uint32_t>(hostwire::HostCall::Count)) return;
    const uint64_t now = m_process.NowMs();
    if (watch.startedMs > now) return;  // not a time this clock has shown
    const uint64_t took = now - watch.startedMs;
    if (took <= HangDeadlineMs(m_period)) return;
    Fault(HostHangLine(library, watch.call, took), HostHangText(library, watch.call));
}

void CameraHostSource::Fault(std::string line, Text balloon) {
    m_log->Write(line);
    m_process.Kill();
    m_hostBits = 0;
    m_held[0] = m_held[1] = false;
    m_pendingOpens = 0;
    Gone();
    const uint64_t now = m_process.NowMs();
    m_faults.erase(std::remove_if(m_faults.begin(), m_faults.end(),
                                  [now](uint64_t t) { return now - t >= FaultWindowMs; }),
                   m_faults.end());
    m_faults.push_back(now);
    if (m_faults.size() >= FaultsThatStopRestarts) {
        m_stopped = true;
        m_restartDue = false;
        m_log->Write(HostStoppedLine(static_cast<unsigned>(m_faults.size())));
        Notify(*m_notifier, HostStoppedText(LibraryName()));
        return;
    }
    // One balloon per session: a camera that keeps failing is named once,
    // and again when the restarts stop.
    if (!m_faultBalloonShown) {
        m_faultBalloonShown = true;
        Notify(*m_notifier, balloon);
    }
    const uint64_t delay = RestartDelayMs(static_cast<unsigned>(m_faults.size()));
    m_log->Write(HostRestartLine(delay));
    m_restartDue = true;
    m_restartAt = now + delay;
    if (delay == 0) {
        m_restartDue = false;
        m_cause = CameraOpenCause::HostRestart;
        StartAndOpen();
    }
}

}  // namespace brelkin
