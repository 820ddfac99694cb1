#pragma once
// The host's poll: opens and closes the camera objects as Brelkin asks,
// reads the selected one on a waitable timer at the adaptive period, and
// reports every reading at once. One thread does all of it and makes every
// call into the library, in a single-threaded apartment that pumps its
// messages while it waits: a library's hidden window, its timers, its posted
// messages and the COM calls into its objects arrive as they did on Brelkin's
// interface thread.
#include <windows.h>

#include <array>
#include <memory>
#include <optional>

#include "device/CameraHostProtocol.h"
#include "device/win32/VendorCameraLibrary.h"
#include "engine/AdaptivePollPeriod.h"
#include "host/HostChannel.h"
#include "host/LibraryWindows.h"
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
    void Open(CameraClass cameraClass, uint32_t basePeriod, bool everyTick, uint32_t openNumber);
    void DispatchMessages();
    void Settings(uint32_t basePeriod, bool everyTick);
    void Close(CameraClass cameraClass);
    void Tick();
    void ArmTimer(uint32_t period);
    std::unique_ptr<ICameraObject>& Slot(CameraClass c) { return c == CameraClass::Wdm ? m_wdm : m_bda; }
    // `startedMs`: the start of the open for the open's calls, which share
    // one limit; 0 for now.
    void Enter(hostwire::HostCall call, uint64_t startedMs = 0);
    void Leave();
    // The library's own unloading at the end: the binding's hold, then the
    // load's, whose release runs the library's DllMain.
    void Unload();

    HostChannel& m_channel;
    hostwire::WatchBlock& m_watch;
    HANDLE m_brelkin;
    HANDLE m_timer = nullptr;
    std::wstring m_brelkinFolder;
    // Reset at the end, inside the published unload.
    std::optional<VendorCameraLibrary> m_library;
    // The load of each class's library, made in a call of its own.
    std::array<HMODULE, 2> m_loaded{};
    LibraryWindows m_windows;
    // After a window of the library was shown, Down reads as Up until the
    // button is let go.
    bool m_swallowDown = false;
    std::unique_ptr<ICameraObject> m_wdm;
    std::unique_ptr<ICameraObject> m_bda;
    bool m_polling = false;
    CameraClass m_selected = CameraClass::Wdm;
    AdaptivePollPeriod m_period;
    uint32_t m_armedPeriod = 0;
    bool m_everyTick = true;
    bool m_sentAny = false;
    ButtonReading m_lastSent = ButtonReading::NoReading;
    uint32_t m_lastSentPeriod = 0;
    Win32Clock m_clock;
    bool m_quit = false;
    // The bench's switch: wait without pumping, as the host once did.
    bool m_pump = true;

    friend class WatchedCamera;
};

}  // namespace brelkin::host
