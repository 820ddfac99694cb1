#include "device/CameraHostSource.h"

#include <algorithm>

#include "device/CameraNotices.h"

namespace brelkin {

namespace {

NullSupportLog g_noLog;
NullNotifier g_noNotifier;

// How long a host told to quit (at exit, or on a switch to a host of the
// other bitness) may take to close the camera before it is ended; it ends in
// the background, Brelkin does not wait for it.
constexpr uint32_t HostQuitWaitMs = 2000;

}  // namespace

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
        m_mismatch = false;
    }
    m_cause = cause;
    m_restartDue = false;
    m_sequenceStep = 0;
    m_press.Forget();
    if (m_stopped || m_mismatch) {
        m_log->Write(CameraOpenLine(kind, cause, CameraOpenOutcome::RestartsStopped));
        Gone();
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
    m_cannotStart = Text();
    // An open still on its way is overtaken by this one, or by its failure;
    // from now on only this kind's readings count.
    m_openAnswered = true;
    m_openKind = m_driverKind;

    LibraryLoadReport refused;
    refused.status = LibraryLoadStatus::WrongBitness;
    refused.attempted = true;
    refused.library = LibraryName();
    refused.path = found.path;
    refused.libraryBits = bits;
    refused.programBits = m_process.ProgramBits();
    m_library = refused;
    m_library.status = found.path.empty() ? LibraryLoadStatus::Missing : LibraryLoadStatus::Loaded;
    if (!m_process.CanRun(bits)) {
        // The kind the user left goes too: its camera must not go on
        // pressing while the window says there is none.
        CloseHeld();
        m_library.status = LibraryLoadStatus::WrongBitness;
        m_log->Write(LibraryLoadLine(refused));
        m_log->Write(CameraOpenLine(m_driverKind, m_cause, CameraOpenOutcome::NoLibrary));
        m_cannotStart = LibraryNeedsWiderWindowsText(found.path);
        if (tell) Notify(*m_notifier, m_cannotStart);
        Gone();
        return;
    }
    if (m_hostBits != 0 && m_hostBits != bits) {
        // The other kind's library is of the other bitness: its host goes,
        // and the object it held with it. It closes the camera and ends in
        // the background.
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
                m_library.status = LibraryLoadStatus::WrongBitness;
                m_cannotStart = LibraryProblemText(refused);
                if (tell) Notify(*m_notifier, m_cannotStart);
                Gone();
            } else {
                DidNotStart(start);
            }
            return;
        }
        m_hostBits = bits;
        m_hostPath = start.path;
        m_greeted = false;
        m_hostStartedAt = m_process.NowMs();
        m_watchedAt = m_hostStartedAt;
        m_waitingForUser = false;
        m_reader = hostwire::MessageReader(false);
        m_rejectedSeen = 0;
    }
    m_openAnswered = false;
    m_openSentAt = m_process.NowMs();
    m_process.Send(hostwire::EncodeOpen(cameraClass, m_basePeriod, m_everyTick, ++m_openNumber));
    m_period = m_basePeriod;
}

void CameraHostSource::DidNotStart(const HostStart& start) {
    m_hostBits = 0;
    m_openAnswered = true;
    const std::string line = HostStartFailedLine(start);
    m_log->Write(line);
    m_log->Write(CameraOpenLine(m_driverKind, m_cause, CameraOpenOutcome::NoHost));
    m_cannotStart = HostStartFailedText(start);
    Gone();
    if (m_cause == CameraOpenCause::HostRestart) {
        // A host ran a moment ago: a start that fails now most likely passes
        // (an antivirus holding the file, an update replacing it, a brief
        // shortage). It is retried on the back-off of faults, never at once,
        // and a start that keeps failing stops the restarts with its reason.
        Remember(line, m_cannotStart);
        ScheduleRestart(m_cannotStart, true);
        return;
    }
    if (m_cause != CameraOpenCause::Arrival) Notify(*m_notifier, m_cannotStart);
}

void CameraHostSource::CloseCamera(DriverKind kind) {
    bool& held = m_held[IsBda(kind) ? 1 : 0];
    if (!held) return;
    m_log->Write(CameraCloseLine(kind));
    m_process.Send(hostwire::EncodeClose(ClassOf(kind)));
    held = false;
    if (kind == m_driverKind) Gone();
}

void CameraHostSource::CloseHeld() {
    for (DriverKind kind : {DriverWdm, DriverBda}) {
        bool& held = m_held[IsBda(kind) ? 1 : 0];
        if (!held || m_hostBits == 0) continue;
        m_log->Write(CameraCloseLine(kind));
        m_process.Send(hostwire::EncodeClose(ClassOf(kind)));
        held = false;
    }
}

void CameraHostSource::RescanCamera(CameraOpenCause cause) {
    m_log->Write(CameraRescanLine(m_driverKind, cause));
    // The kind may already be the new one (a driver choice), which is not
    // held: whatever camera answered until now is gone all the same, and a
    // joystick button it held goes up.
    if (!IsHeld(m_driverKind)) Gone();
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
        // The host closes the camera and ends; Brelkin does not wait for it.
        m_process.Send(hostwire::EncodeQuit());
        m_process.Finish(HostQuitWaitMs);
        m_hostBits = 0;
    }
    m_restartDue = false;
    m_openAnswered = true;
    m_arrival.Unregister(m_notification);
}

void CameraHostSource::Gone() {
    m_press.Forget();
    m_lastReading = ButtonReading::NoReading;
    if (m_answer) m_answer->CameraGone();
}


void CameraHostSource::Handle(const hostwire::Message& m) {
    switch (m.kind) {
    case hostwire::Kind::Hello:
        if (m_greeted) return;
        m_greeted = true;
        if (m.version != hostwire::ProtocolVersion) OtherVersion(m.version);
        return;
    case hostwire::Kind::LoadReport:
        if (m.openNumber != m_openNumber || m_openAnswered || m.cameraClass != ClassOf(m_openKind)) return;
        if (m.report.attempted) {
            m_log->Write(LibraryLoadLine(m.report));
            m_library = m.report;
        }
        if (m.report.status != LibraryLoadStatus::Loaded)
            Remember(LibraryLoadLine(m.report), LibraryProblemText(m.report));
        // A configuration problem shows at start-up and whenever the user
        // rescans; an arrival only repeats what the user was told.
        if (m.report.status != LibraryLoadStatus::Loaded && m_cause != CameraOpenCause::Arrival)
            Notify(*m_notifier, LibraryProblemText(m.report));
        return;
    case hostwire::Kind::Opened:
        // An earlier open that a rescan, an arrival or a driver choice
        // overtook: the host has replaced its object, or holds one the
        // later open closes or replaces.
        if (m.openNumber != m_openNumber || m_openAnswered || m.cameraClass != ClassOf(m_openKind)) return;
        Opened(m);
        return;
    case hostwire::Kind::Reading:
        // Readings carry no kind: they count while the host polls the kind
        // Brelkin asked for, and not while a window of the library's waits.
        if (!m_openAnswered || m_openKind != m_driverKind || !m_held[IsBda(m_openKind) ? 1 : 0] ||
            m_waitingForUser)
            return;
        if (m.period < MinPollPeriod || m.period > MaxPollPeriod) return;
        m_period = m.period;
        m_lastReading = m.reading;
        m_readingSinceOpen = true;
        if (m_answer) m_answer->Answer(m.reading, m.period);
        return;
    default: return;
    }
}

void CameraHostSource::Opened(const hostwire::Message& m) {
    m_openAnswered = true;
    CameraOpenOutcome outcome = CameraOpenOutcome::NoLibrary;
    bool silent = false;
    bool& held = m_held[m.cameraClass == CameraClass::Bda ? 1 : 0];
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
    m_lastOpen = outcome;
    m_readingSinceOpen = false;
    m_log->Write(CameraOpenLine(m_openKind, m_cause, outcome));
    // Without a library the load report before it has said why.
    if (outcome != CameraOpenOutcome::Answered)
        Remember(CameraOpenLine(m_openKind, m_cause, outcome),
                 silent ? CameraSilentText(m_openKind) : m_lastFaultText);
    if (silent && UserAsked(m_cause)) Notify(*m_notifier, CameraSilentText(m_openKind));
    if (!held) Gone();
    m_press.Forget();
}


void CameraHostSource::Pump() {
    const uint64_t now = m_process.NowMs();
    if (now > m_watchedAt + WatchPeriodMs + WatchLateMs) m_watchFrom = now;
    m_watchedAt = now;
    if (m_hostBits == 0) {
        CountRejections(now);
        if (m_restartDue && now >= m_restartAt) {
            m_restartDue = false;
            m_cause = CameraOpenCause::HostRestart;
            StartAndOpen();
        }
        return;
    }
    // A window that opened since the last watch: what the host sent since is
    // not answered.
    WaitForUser(m_process.Watch().libraryWindow);
    uint8_t buffer[1024];
    for (size_t n; m_hostBits != 0 && (n = m_process.Receive(buffer, sizeof buffer)) > 0;) {
        m_reader.Append(buffer, n);
        while (m_hostBits != 0) {
            auto m = m_reader.Next();
            if (!m) break;
            Handle(*m);
        }
    }
    CountRejections(now);
    if (m_hostBits == 0) return;  // a host of another version
    const std::u16string library = LibraryName();
    HostEnd end;
    if (m_process.Ended(end)) {
        m_hostBits = 0;
        if (end.start.status != HostStartStatus::Started) {
            // The process could not be created: as a host that cannot start,
            // not a fault of the camera.
            if (end.start.path.empty()) end.start.path = m_hostPath;
            DidNotStart(end.start);
        } else if (end.crashRecorded)
            Fault(HostCrashLine(library, end), HostCrashText(library, end.call));
        else
            Fault(HostEndedLine(library, end.exitCode), HostEndedText(library));
        return;
    }
    if (m_greeted && !m_jobRefusalLogged) {
        if (const uint32_t error = m_process.JobRefusal()) {
            m_jobRefusalLogged = true;
            m_log->Write(HostJobRefusedLine(error));
        }
    }
    if (m_reader.RejectedInARow() > BadMessagesInARow) {
        Fault(HostGarbageLine(library, m_reader.RejectedInARow()), HostEndedText(library));
        return;
    }
    Watch(now);
}

}  // namespace brelkin
