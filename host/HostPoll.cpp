#include "host/HostPoll.h"

#include <objbase.h>

#include "device/win32/LibraryFiles.h"
#include "device/win32/VendorCameraLibrary.h"
#include "engine/ButtonPoll.h"
#include "engine/TimedCameraButton.h"
#include "host/DllSearch.h"
#include "platform/win32/AwakeClock.h"

namespace brelkin::host {

using hostwire::HostCall;

// The selected object with every call written into the watch block first,
// so that Brelkin's watchdog and the crash record know which call it was.
class WatchedCamera final : public ICameraButton {
public:
    WatchedCamera(HostPoll& poll, ICameraObject& camera) : m_poll(poll), m_camera(camera) {}
    int32_t IsInterfaceValid() override {
        m_poll.Enter(HostCall::IsInterfaceValid);
        const int32_t r = m_camera.IsInterfaceValid();
        m_poll.Leave();
        return r;
    }
    int32_t GetPIO(uint32_t* value) override {
        m_poll.Enter(HostCall::GetPIO);
        const int32_t r = m_camera.GetPIO(value);
        m_poll.Leave();
        return r;
    }
    int32_t IsButtonPressed() override {
        m_poll.Enter(HostCall::IsButtonPressed);
        const int32_t r = m_camera.IsButtonPressed();
        m_poll.Leave();
        return r;
    }

private:
    HostPoll& m_poll;
    ICameraObject& m_camera;
};

namespace {
// Not in older SDK headers; Windows 10 1803 and later know it.
constexpr DWORD HighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
}  // namespace

HostPoll::HostPoll(HostChannel& channel, hostwire::WatchBlock& watch, HANDLE brelkinProcess,
                   std::wstring brelkinFolder)
    : m_channel(channel), m_watch(watch), m_brelkin(brelkinProcess), m_brelkinFolder(brelkinFolder),
      m_library(std::in_place, std::move(brelkinFolder)), m_windows(watch) {
    wchar_t wait[8] = {};
    m_pump = GetEnvironmentVariableW(L"BRELKIN_BENCH_HOST_WAIT", wait, 8) == 0 || wcscmp(wait, L"plain") != 0;
    // The high-resolution timer where Windows has it: the plain one fires
    // on the 15.6 ms clock tick, which makes a 50 ms period about 62.5 ms.
    m_timer = CreateWaitableTimerExW(nullptr, nullptr, HighResolutionTimer, TIMER_ALL_ACCESS);
    if (m_timer == nullptr) m_timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
}

HostPoll::~HostPoll() {
    if (m_timer) CloseHandle(m_timer);
}

void HostPoll::Enter(HostCall call, uint64_t startedMs) {
    // One interlocked 64-bit write: the x86 host too publishes the call and
    // its start together, never half of it.
    const uint64_t word = hostwire::PackCall(call, startedMs != 0 ? startedMs : AwakeMilliseconds());
    InterlockedExchange64(reinterpret_cast<volatile LONG64*>(&m_watch.callWord), static_cast<LONG64>(word));
}

void HostPoll::Leave() {
    InterlockedExchange64(reinterpret_cast<volatile LONG64*>(&m_watch.callWord), 0);
    m_windows.CallEnded();
}

void HostPoll::Unload() {
    Enter(HostCall::Unload);
    m_library.reset();
    for (HMODULE& module : m_loaded) {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
    Leave();
}

void HostPoll::DispatchMessages() {
    // A bounded round: a library that posts to itself on every message, or
    // a paint that is never validated, still lets the handles be seen.
    MSG msg;
    for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) continue;  // the library's, not ours: Brelkin says when
        TranslateMessage(&msg);
        // Each message is a call into the library like a poll call: a hang
        // in its window procedure is seen and timed.
        Enter(HostCall::WindowMessage);
        DispatchMessageW(&msg);
        Leave();
    }
}

int HostPoll::Run() {
    // BDA's library uses COM on the thread that calls it: a single-threaded
    // apartment, which this loop pumps.
    CoInitialize(nullptr);
    m_windows.Install();
    while (!m_quit) {
        HANDLE handles[3] = {m_channel.CommandEvent(), m_brelkin, m_timer};
        const DWORD count = m_polling ? 3 : 2;
        // MWMO_INPUTAVAILABLE: messages already seen but left in the queue
        // (by a library's own PeekMessage) wake the loop too.
        const DWORD r = m_pump ? MsgWaitForMultipleObjectsEx(count, handles, INFINITE, QS_ALLINPUT,
                                                             MWMO_INPUTAVAILABLE)
                               : WaitForMultipleObjects(count, handles, FALSE, INFINITE);
        if (r == WAIT_OBJECT_0) {
            hostwire::Message command;
            while (!m_quit && m_channel.TakeCommand(command)) Handle(command);
            if (m_channel.Broken()) m_quit = true;
        } else if (r == WAIT_OBJECT_0 + 1) {
            m_quit = true;  // Brelkin ended
        } else if (r == WAIT_OBJECT_0 + 2) {
            Tick();
        } else if (r != WAIT_OBJECT_0 + count) {
            m_quit = true;
        }
        // After every wake, not only when the queue wins the wait: a tick
        // that lasts its period wins every wait and would starve the
        // library's messages.
        if (m_pump && !m_quit) DispatchMessages();
    }
    Close(CameraClass::Wdm);
    Close(CameraClass::Bda);
    Unload();
    CoUninitialize();
    return 0;
}

void HostPoll::Handle(const hostwire::Message& command) {
    switch (command.kind) {
    case hostwire::Kind::Open: Open(command.cameraClass, command.period, command.everyTick, command.openNumber); break;
    case hostwire::Kind::Settings: Settings(command.period, command.everyTick); break;
    case hostwire::Kind::Close: Close(command.cameraClass); break;
    case hostwire::Kind::Quit: m_quit = true; break;
    default: break;
    }
}

void HostPoll::Settings(uint32_t basePeriod, bool everyTick) {
    m_everyTick = everyTick;
    if (AdaptivePollPeriod(basePeriod).BasePeriod() == m_period.BasePeriod()) return;
    m_period = AdaptivePollPeriod(basePeriod);
    if (m_polling) ArmTimer(m_period.Period());
}

void HostPoll::Open(CameraClass cameraClass, uint32_t basePeriod, bool everyTick, uint32_t openNumber) {
    m_everyTick = everyTick;
    m_sentAny = false;
    Close(cameraClass);
    auto& slot = Slot(cameraClass);
    // A library in Brelkin's folder finds what sits beside it; one in the
    // system folder already does.
    if (!m_brelkinFolder.empty() && IsFile(m_brelkinFolder + L"\\" + CameraLibraryFile(cameraClass)))
        AddLibraryFolder(m_brelkinFolder);
    // Loading, the constructor and OpenInterface share the open's limit.
    uint64_t openStarted = AwakeMilliseconds();
    m_windows.TakeWaitedMs();
    HMODULE& loaded = m_loaded[cameraClass == CameraClass::Wdm ? 0 : 1];
    if (loaded == nullptr) {
        // The library's DllMain, told apart from its constructor.
        Enter(HostCall::LoadLibrary, openStarted);
        loaded = static_cast<HMODULE>(LoadCameraLibrary(m_brelkinFolder, CameraLibraryFile(cameraClass)));
        Leave();
    }
    openStarted += m_windows.TakeWaitedMs();
    Enter(HostCall::Constructor, openStarted);
    slot = m_library->CreateCameraObject(cameraClass);
    Leave();
    openStarted += m_windows.TakeWaitedMs();
    m_channel.Send(hostwire::EncodeLoadReport(cameraClass, m_library->LastLoad(cameraClass), openNumber));
    hostwire::OpenOutcome outcome = hostwire::OpenOutcome::NoLibrary;
    if (slot) {
        Enter(HostCall::OpenInterface, openStarted);
        const bool opened = slot->OpenInterface() != 0;
        Leave();
        if (!opened) {
            outcome = hostwire::OpenOutcome::OpenFailed;
            Enter(HostCall::Destructor);
            slot.reset();  // the library's destructor, without CloseInterface
            Leave();
        } else {
            Enter(HostCall::IsInterfaceValid);
            const bool valid = slot->IsInterfaceValid() != 0;
            Leave();
            outcome = valid ? hostwire::OpenOutcome::Answered : hostwire::OpenOutcome::NotValid;
        }
    }
    m_channel.Send(hostwire::EncodeOpened(cameraClass, outcome, openNumber));
    m_selected = cameraClass;
    m_period = AdaptivePollPeriod(basePeriod);
    m_polling = slot != nullptr;
    if (m_polling) ArmTimer(m_period.Period());
}

void HostPoll::Close(CameraClass cameraClass) {
    auto& slot = Slot(cameraClass);
    if (cameraClass == m_selected && m_polling) {
        m_polling = false;
        CancelWaitableTimer(m_timer);
        m_armedPeriod = 0;
    }
    if (!slot) return;
    // A library that tears down its graph takes its time: the two share the
    // open's limit.
    uint64_t closeStarted = AwakeMilliseconds();
    m_windows.TakeWaitedMs();
    Enter(HostCall::CloseInterface, closeStarted);
    slot->CloseInterface();
    Leave();
    closeStarted += m_windows.TakeWaitedMs();
    Enter(HostCall::Destructor, closeStarted);
    slot.reset();
    Leave();
}

void HostPoll::ArmTimer(uint32_t period) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(period) * 10000;  // relative, 100 ns units
    SetWaitableTimer(m_timer, &due, static_cast<LONG>(period), nullptr, nullptr, FALSE);
    m_armedPeriod = period;
}

void HostPoll::Tick() {
    ICameraObject* camera = Slot(m_selected).get();
    if (camera == nullptr) return;
    const uint32_t ranAt = m_period.Period();
    WatchedCamera watched(*this, *camera);
    TimedCameraButton timed(watched, m_clock);
    ButtonReading reading = ReadButton(&timed);
    // A press made while a window of the library was in front of the user
    // is not answered: nothing is typed into that window, and the joystick
    // button stays up, until the button is let go.
    if (m_windows.TakeShown() || m_windows.AnyOpen()) m_swallowDown = true;
    if (m_swallowDown && reading == ButtonReading::Down)
        reading = ButtonReading::Up;
    else if (!m_windows.AnyOpen())
        m_swallowDown = false;
    const uint64_t end = timed.EndOfCalls();
    const uint32_t next = m_period.AfterTick(end, timed.Microseconds());
    // In a key mode a tick that repeats the last Up or no-reading changes
    // nothing in Brelkin: it is not sent, and Brelkin sleeps through it.
    const bool tells = m_everyTick || !m_sentAny || reading != m_lastSent || reading == ButtonReading::Down ||
                       ranAt != m_lastSentPeriod;
    if (tells) {
        uint8_t bytes[hostwire::ReadingSize];
        hostwire::EncodeReading(reading, ranAt, bytes);
        m_channel.Send(bytes, sizeof bytes);
        m_sentAny = true;
        m_lastSent = reading;
        m_lastSentPeriod = ranAt;
    }
    if (next != m_armedPeriod) ArmTimer(next);
}

}  // namespace brelkin::host
