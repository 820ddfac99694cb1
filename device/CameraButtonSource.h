#pragma once
// The camera's capture button with the camera library loaded into this
// process: one slot per closed library class, the selected driver kind, and
// the arrival registration. Only the benchmarks' in-process baseline and the
// tools use it; Brelkin reads the camera through the camera host.
#include <cstdint>
#include <memory>
#include <string>

#include "device/CameraArrival.h"
#include "device/CameraOpenCause.h"
#include "device/DefaultDriverKind.h"
#include "engine/DriverKind.h"
#include "engine/ActionPreset.h"
#include "platform/CameraButton.h"
#include "engine/PressFilter.h"
#include "platform/CameraLibrary.h"
#include "platform/Com.h"
#include "platform/DeviceNotification.h"
#include "platform/Notifier.h"
#include "platform/OsVersion.h"
#include "platform/SupportLog.h"

namespace brelkin {

class CameraButtonSource {
public:
    CameraButtonSource(ICameraLibrary& library, ICom& com, IOsVersion& osVersion,
                       IDeviceNotification& notification, SequenceStep& sequenceStep);
    ~CameraButtonSource();  // releases whatever is still held
    CameraButtonSource(const CameraButtonSource&) = delete;
    CameraButtonSource& operator=(const CameraButtonSource&) = delete;

    DriverKind& Kind() { return m_driverKind; }
    // The object of the selected kind, or null: what the poll reads.
    ICameraButton* Selected();
    bool IsHeld(DriverKind kind) const;
    // What the poll tells apart presses with; every open and close of a
    // camera object makes it forget the last reading, so a rescan, a driver
    // switch or an arrival while the button is held is a new press.
    PressFilter& Press() { return m_press; }

    // Where opens, closes and their problems are reported; nowhere until then.
    void AttachSupport(ISupportLog& log, INotifier& notifier);

    DriverKind ChooseDefaultDriverKind();
    void RegisterCameraArrival(uintptr_t window);
    void OpenCamera(DriverKind kind, CameraOpenCause cause = CameraOpenCause::StartUp);
    void CloseCamera(DriverKind kind);
    void RescanCamera(CameraOpenCause cause = CameraOpenCause::UserRescan);
    intptr_t HandleDeviceChange(uintptr_t event, intptr_t data);
    void ReleaseCameraSource();

private:
    std::unique_ptr<ICameraObject>& Slot(DriverKind kind);

    ICameraLibrary& m_library;
    ICom& m_com;
    IOsVersion& m_osVersion;
    IDeviceNotification& m_notification;
    SequenceStep& m_sequenceStep;

    std::unique_ptr<ICameraObject> m_wdmObject;
    std::unique_ptr<ICameraObject> m_bdaObject;
    DriverKind m_driverKind = DriverWdm;
    PressFilter m_press;
    CameraArrivalRegistration m_arrival;
    ISupportLog* m_log;
    INotifier* m_notifier;
};

}  // namespace brelkin
