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

// The restart delay after the n-th fault (1-based) of the last 10 minutes:
// 0 s, then 1, 2, 4 ... up to 60 s.
uint64_t RestartDelayMs(unsigned faultNumber);
// How long a camera call may take before the host counts as hung.
uint64_t HangDeadlineMs(uint32_t period);
constexpr unsigned FaultsThatStopRestarts = 5;
constexpr uint64_t FaultWindowMs = 10 * 60 * 1000;

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
    void Fault(std::string line, Text balloon);
    void Gone();
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
    bool m_held[2] = {false, false};
    bool m_wanted = false;    // the selected kind should be open
    unsigned m_pendingOpens = 0;  // Open commands the host has not answered yet
    CameraOpenCause m_cause = CameraOpenCause::StartUp;
    hostwire::MessageReader m_reader{false};
    uint32_t m_rejectedLogged = 0;

    std::vector<uint64_t> m_faults;  // times of the faults of the last 10 minutes
    bool m_stopped = false;
    bool m_restartDue = false;
    uint64_t m_restartAt = 0;
    bool m_faultBalloonShown = false;
};

}  // namespace brelkin
