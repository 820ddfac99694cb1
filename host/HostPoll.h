#pragma once
// The host's poll: opens and closes the camera objects as Brelkin asks,
// reads the selected one on a waitable timer at the adaptive period, and
// reports every reading at once.
#include <windows.h>

#include <memory>

#include "device/CameraHostProtocol.h"
#include "device/win32/VendorCameraLibrary.h"
#include "engine/AdaptivePollPeriod.h"
#include "host/HostChannel.h"
#include "platform/win32/Win32Clock.h"

namespace brelkin::host {

class HostPoll {
public:
    HostPoll(HostChannel& channel, hostwire::WatchBlock& watch, HANDLE brelkinProcess,
             std::wstring brelkinFolder);
    ~HostPoll();
    // Until Brelkin says Quit or goes; the exit code of the host.
    int Run();

private:
    void Handle(const hostwire::Message& command);
    void Open(CameraClass cameraClass, uint32_t basePeriod);
    void Close(CameraClass cameraClass);
    void Tick();
    void ArmTimer(uint32_t period);
    std::unique_ptr<ICameraObject>& Slot(CameraClass c) { return c == CameraClass::Wdm ? m_wdm : m_bda; }
    void Enter(hostwire::HostCall call);
    void Leave();

    HostChannel& m_channel;
    hostwire::WatchBlock& m_watch;
    HANDLE m_brelkin;
    HANDLE m_timer = nullptr;
    VendorCameraLibrary m_library;
    std::unique_ptr<ICameraObject> m_wdm;
    std::unique_ptr<ICameraObject> m_bda;
    bool m_polling = false;
    CameraClass m_selected = CameraClass::Wdm;
    AdaptivePollPeriod m_period;
    uint32_t m_armedPeriod = 0;
    Win32Clock m_clock;
    bool m_quit = false;

    friend class WatchedCamera;
};

}  // namespace brelkin::host
