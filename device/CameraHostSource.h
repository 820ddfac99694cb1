#pragma once
// The main frame's camera when the camera library runs in the camera host:
// the same driver kinds, opens, closes, rescans and arrivals, and their
// support-log lines, as the in-process CameraButtonSource, with the host's
// faults on top: a crash or a hang ends the host, is logged, and the host is
// started again after a back-off, until too many faults stop it.
#include <cstdint>
#include <string>
#include <vector>

#include "device/CameraButtonSource.h"
#include "device/CameraHostProcess.h"
#include "device/CameraHostProtocol.h"
#include "device/CameraNotices.h"
#include "device/CameraOpenCause.h"
#include "device/CameraStatus.h"
#include "device/DefaultDriverKind.h"
#include "engine/Texts.h"
#include "engine/AdaptivePollPeriod.h"
#include "engine/ButtonPoll.h"

namespace brelkin {

// Where the host's readings go, in order, on the frame's thread.
class IReadingAnswer {
public:
    virtual ~IReadingAnswer() = default;
    // `period` is the period the host's tick ran at.
    virtual void Answer(ButtonReading reading, uint32_t period) = 0;
    // The camera went away (a fault, a close, a host that did not start):
    // the last reading no longer holds.
    virtual void CameraGone() = 0;
};

// When the host is restarted after a fault, and when it no longer is.
struct RestartPolicy {
    // The n-th fault (1-based) of the window: 0 s, then 1, 2, 4 ... up to this.
    uint64_t maxDelayMs = 60000;
    // This many faults within the window stop the restarts: 0, 1, 2, 4, 8,
    // 16, 32, 60, 60 s after the first nine, and the tenth stops them.
    unsigned faultsThatStop = 10;
    uint64_t windowMs = 30 * 60 * 1000;
};
uint64_t RestartDelayMs(unsigned faultNumber, uint64_t maxDelayMs = RestartPolicy{}.maxDelayMs);
// How long a poll call (IsInterfaceValid, GetPIO, IsButtonPressed, and a
// window message of the library's) may take before the host counts as hung.
uint64_t HangDeadlineMs(uint32_t period);
// Loading the library, its constructor and OpenInterface together: a library
// scanned at logon or a graph being built takes seconds, and is not hung.
// CloseInterface, the destructor and unloading each get as long: a graph torn
// down after a replug is as slow as one being built.
constexpr uint64_t OpenLimitMs = 15000;
// How long a call of the watch block may have run (both awake milliseconds)
// past its limit; 0 while in time or when the watch means nothing.
uint64_t CallOverdueMs(const HostWatch& watch, uint64_t nowMs, uint32_t period);
// A host that answers an open neither with its answer nor with a call in the
// watch block in this time is ended.
constexpr uint64_t OpenAnswerLimitMs = OpenLimitMs + 5000;
// A host that has sent nothing this long after its start is of a version
// from before the Hello.
constexpr uint64_t HelloLimitMs = 5000;
// A watch that comes this much later than its 250 ms: both programs were
// paused (Modern Standby may keep the awake clock going), so the time a call
// seems to have taken is no hang. Its watch starts again.
constexpr uint64_t WatchPeriodMs = 250;
constexpr uint64_t WatchLateMs = 2000;
// More unreadable messages than this in a row end the host as a fault.
constexpr uint32_t BadMessagesInARow = 4;
constexpr uint64_t RejectionLogEveryMs = 60000;

class CameraHostSource {
public:
    CameraHostSource(ICameraHostProcess& process, IOsVersion& osVersion, IDeviceNotification& notification,
                     SequenceStep& sequenceStep);
    ~CameraHostSource();
    CameraHostSource(const CameraHostSource&) = delete;
    CameraHostSource& operator=(const CameraHostSource&) = delete;

    DriverKind& Kind() { return m_driverKind; }
    PressFilter& Press() { return m_press; }
    bool IsHeld(DriverKind kind) const { return m_held[IsBda(kind) ? 1 : 0]; }
    // The period of the host's last reading, or the setting before one.
    uint32_t Period() const { return m_period; }
    bool RestartsStopped() const { return m_stopped; }
    // What the Camera Status window shows of the library, the host and the camera.
    CameraStatus Status() const;
    // The tests' switch: a shorter back-off, or no stop.
    void SetRestartPolicy(const RestartPolicy& policy) { m_policy = policy; }

    void AttachSupport(ISupportLog& log, INotifier& notifier);
    void AttachAnswer(IReadingAnswer& answer) { m_answer = &answer; }
    void SetBasePeriod(uint32_t basePeriod);
    // Joystick mode needs every tick's reading; a key mode only the changes.
    void SetEveryTick(bool everyTick);

    DriverKind ChooseDefaultDriverKind();
    void RegisterCameraArrival(uintptr_t window);
    void OpenCamera(DriverKind kind, CameraOpenCause cause = CameraOpenCause::StartUp);
    void CloseCamera(DriverKind kind);
    void RescanCamera(CameraOpenCause cause = CameraOpenCause::UserRescan);
    intptr_t HandleDeviceChange(uintptr_t event, intptr_t data);
    void ReleaseCameraSource();

    // On the frame's thread, on every report message and poll timer: takes
    // what the host sent, answers its readings, and watches for a crash, a
    // hang or a restart that is due.
    void Pump();

private:
    void StartAndOpen();
    void Handle(const hostwire::Message& message);
    void Opened(const hostwire::Message& message);
    // A host of another version: one balloon, no restarts until the user asks.
    void OtherVersion(uint32_t version);
    // Judges the call in flight and the host's silences; false once the host
    // was ended.
    bool Watch(uint64_t now);
    // Whether a window of the library's is open; on its opening the log
    // says so, the window may come to the front and the button goes up.
    void WaitForUser(bool window);
    // The kinds the running host holds are closed: another kind was chosen.
    void CloseHeld();
    void Fault(std::string line, Text balloon);
    // Counts a fault and schedules the next start: at once for a fault of a
    // running host, through Pump for a host that could not be started.
    void ScheduleRestart(const Text& balloon, bool startFailed);
    void EndHost();
    // The last fault, for the Camera Status window: its log line, and its
    // balloon where it has one.
    void Remember(std::string line, Text shown);
    void DidNotStart(const HostStart& start);
    void Gone();
    void CountRejections(uint64_t now);
    CameraClass ClassOf(DriverKind kind) const { return IsBda(kind) ? CameraClass::Bda : CameraClass::Wdm; }
    std::u16string LibraryName() const;

    ICameraHostProcess& m_process;
    IOsVersion& m_osVersion;
    IDeviceNotification& m_notification;
    SequenceStep& m_sequenceStep;
    ISupportLog* m_log;
    INotifier* m_notifier;
    IReadingAnswer* m_answer = nullptr;

    DriverKind m_driverKind = DriverWdm;
    PressFilter m_press;
    CameraArrivalRegistration m_arrival;

    uint32_t m_basePeriod = DefaultPollPeriod;
    uint32_t m_period = DefaultPollPeriod;
    bool m_everyTick = true;
    unsigned m_hostBits = 0;  // of the running host; 0 none
    std::u16string m_hostPath;
    bool m_greeted = false;   // the running host's Hello arrived
    uint64_t m_hostStartedAt = 0;
    // The watch's own clock: the last watch, and the time before which no
    // call or silence counts (a late watch moved it on).
    uint64_t m_watchedAt = 0;
    uint64_t m_watchFrom = 0;
    bool m_waitingForUser = false;  // a window of the library's is open
    bool m_held[2] = {false, false};
    // Every Open carries the next number; only the answer with the number of
    // the last one sent counts, whatever overtook what.
    uint32_t m_openNumber = 0;
    bool m_openAnswered = true;
    DriverKind m_openKind = DriverWdm;
    uint64_t m_openSentAt = 0;
    CameraOpenCause m_cause = CameraOpenCause::StartUp;
    hostwire::MessageReader m_reader{false};
    uint32_t m_rejectedSeen = 0;     // of m_reader
    uint32_t m_rejectedPending = 0;  // not logged yet
    bool m_rejectionLogged = false;
    uint64_t m_rejectionLoggedAt = 0;
    bool m_jobRefusalLogged = false;

    RestartPolicy m_policy;
    std::vector<uint64_t> m_faults;  // times of the faults within the window
    bool m_stopped = false;
    bool m_mismatch = false;         // a host of another version; restarts wait for the user
    bool m_versionBalloonShown = false;
    bool m_restartDue = false;
    uint64_t m_restartAt = 0;
    bool m_faultBalloonShown = false;
    Text m_cannotStart;  // why the host cannot start; empty: it can
    bool m_readingSinceOpen = false;
    CameraOpenOutcome m_lastOpen = CameraOpenOutcome::NoLibrary;
    ButtonReading m_lastReading = ButtonReading::NoReading;
    LibraryLoadReport m_library;  // found by Brelkin, then as the host loaded it
    std::string m_lastFault;
    Text m_lastFaultText;
    uint64_t m_lastFaultMs = 0;
    ClockTime m_lastFaultTime;
};

}  // namespace brelkin
