#include "device/CameraButtonSource.h"

#include <string>

#include "device/CameraNotices.h"

namespace brelkin {

namespace {

NullSupportLog g_noLog;
NullNotifier g_noNotifier;

}  // namespace

CameraButtonSource::CameraButtonSource(ICameraLibrary& library, ICom& com, IOsVersion& osVersion,
                                       IDeviceNotification& notification,
                                       SequenceStep& sequenceStep)
    : m_library(library), m_com(com), m_osVersion(osVersion), m_notification(notification),
      m_sequenceStep(sequenceStep), m_log(&g_noLog), m_notifier(&g_noNotifier)
{
}

void CameraButtonSource::AttachSupport(ISupportLog& log, INotifier& notifier)
{
    m_log = &log;
    m_notifier = &notifier;
}

CameraButtonSource::~CameraButtonSource()
{
    // Without this a frame that skipped its teardown would destroy the
    // objects without CloseInterface and leave COM initialised.
    ReleaseCameraSource();
}

std::unique_ptr<ICameraObject>& CameraButtonSource::Slot(DriverKind kind)
{
    return IsBda(kind) ? m_bdaObject : m_wdmObject;
}

ICameraButton* CameraButtonSource::Selected()
{
    return Slot(m_driverKind).get();
}

bool CameraButtonSource::IsHeld(DriverKind kind) const
{
    return (IsBda(kind) ? m_bdaObject : m_wdmObject) != nullptr;
}

DriverKind CameraButtonSource::ChooseDefaultDriverKind()
{
    m_driverKind = DefaultDriverKindFor(m_osVersion.GetOsVersion());
    return m_driverKind;
}

void CameraButtonSource::RegisterCameraArrival(uintptr_t window)
{
    m_arrival.Register(m_notification, window);
}

void CameraButtonSource::OpenCamera(DriverKind kind, CameraOpenCause cause)
{
    m_com.CoInitialize();
    auto& slot = Slot(kind);
    const CameraClass cameraClass = IsBda(kind) ? CameraClass::Bda : CameraClass::Wdm;
    // A missing library or member counts as an OpenInterface that returned 0.
    slot = m_library.CreateCameraObject(cameraClass);
    const LibraryLoadReport report = m_library.LastLoad(cameraClass);
    if (report.attempted)
        m_log->Write(LibraryLoadLine(report));
    const bool userAsked = UserAsked(cause);
    bool silent = false;
    if (!slot) {
        m_log->Write(CameraOpenLine(kind, cause, CameraOpenOutcome::NoLibrary));
        // A configuration problem shows at start-up and again whenever the
        // user rescans; an arrival only repeats what the user was told.
        if (report.status != LibraryLoadStatus::Loaded && cause != CameraOpenCause::Arrival)
            Notify(*m_notifier, LibraryProblemText(report));
    } else if (slot->OpenInterface() == 0) {
        m_log->Write(CameraOpenLine(kind, cause, CameraOpenOutcome::DidNotAnswer));
        slot.reset();  // the library's destructor, without CloseInterface
        silent = true;
    } else if (slot->IsInterfaceValid() == 0) {
        // Kept open: the poll skips an invalid interface, and it may become
        // valid once the camera has settled.
        m_log->Write(CameraOpenLine(kind, cause, CameraOpenOutcome::NotValid));
        silent = true;
    } else {
        m_log->Write(CameraOpenLine(kind, cause, CameraOpenOutcome::Answered));
    }
    if (!slot)
        m_com.CoUninitialize();
    if (silent && userAsked)
        Notify(*m_notifier, CameraSilentText(kind));
    m_sequenceStep = 0;
    m_press.Forget();
}

void CameraButtonSource::CloseCamera(DriverKind kind)
{
    auto& slot = Slot(kind);
    if (!slot)
        return;
    m_log->Write(CameraCloseLine(kind));
    slot->CloseInterface();
    slot.reset();
    m_press.Forget();
    m_com.CoUninitialize();
}

void CameraButtonSource::RescanCamera(CameraOpenCause cause)
{
    m_log->Write(CameraRescanLine(m_driverKind, cause));
    // Only the selected kind: an object of the other kind stays held until
    // its kind is rescanned again or the frame goes.
    CloseCamera(m_driverKind);
    OpenCamera(m_driverKind, cause);
}

intptr_t CameraButtonSource::HandleDeviceChange(uintptr_t event, intptr_t data)
{
    // Any arrival that reaches the frame rescans, whatever the device; the
    // filter already limits them. Removal is ignored: the poll copes with an
    // interface that is no longer valid, and the next arrival reopens it.
    if (event == DeviceArrivalEvent) {
        m_log->Write(DeviceArrivalLine());
        RescanCamera(CameraOpenCause::Arrival);
    }
    return 0;
}

void CameraButtonSource::ReleaseCameraSource()
{
    CloseCamera(DriverWdm);
    CloseCamera(DriverBda);
    m_arrival.Unregister(m_notification);
}

}  // namespace brelkin
