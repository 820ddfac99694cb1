#pragma once
// The camera host as a process: BrelkinCameraHost32.exe or
// BrelkinCameraHost64.exe, the library's bitness, beside Brelkin.exe, started with an anonymous command
// pipe, a report pipe of one instance, an unnamed watch section and a handle
// to this process, all inherited and named nowhere, inside a job object of
// its own (born in it where Windows can) that ends it, and whatever the
// library started, when the host is ended or Brelkin ends. Nothing here waits
// on the host: its process is created on a launcher thread, and a host that
// does not end goes on ending in the background.
#include <windows.h>

#include <string>
#include <vector>

#include "device/CameraHostProcess.h"
#include "platform/win32/AwakeClock.h"

namespace brelkin {

struct ReportPipe;
struct Launch;

class Win32CameraHostProcess final : public ICameraHostProcess {
public:
    Win32CameraHostProcess();
    ~Win32CameraHostProcess() override;

    unsigned ProgramBits() const override { return sizeof(void*) * 8; }
    bool CanRun(unsigned bits) const override;
    FoundLibrary FindLibrary(CameraClass cameraClass) override;
    void NotifyWindow(uintptr_t window) override;
    HostStart Start(unsigned bits) override;
    bool Send(const std::vector<uint8_t>& bytes) override;
    size_t Receive(uint8_t* buffer, size_t capacity) override;
    HostWatch Watch() override;
    bool Ended(HostEnd& end) override;
    void Kill() override;
    void Finish(uint32_t milliseconds) override;
    uint64_t NowMs() override { return AwakeMilliseconds(); }
    ClockTime LocalTimeNow() override {
        SYSTEMTIME t{};
        ::GetLocalTime(&t);
        return {t.wHour, t.wMinute, t.wSecond};
    }
    uint32_t JobRefusal() override;
    void AllowForeground() override;

    // The running host's process, for the tests' view of it; null when none.
    HANDLE Process() const { return m_process; }

private:
    // Takes the launcher's outcome once it is done.
    void TakeLaunch();
    void LetGo();

    std::wstring m_folder;  // Brelkin's own
    HANDLE m_job = nullptr;  // the running host's own
    HANDLE m_process = nullptr;
    HANDLE m_commands = nullptr;  // our end: write
    // Our end of the report pipe with its reader thread, which alone closes
    // it and frees this once its read returns.
    ReportPipe* m_pipe = nullptr;
    Launch* m_launch = nullptr;  // a host being started
    HANDLE m_launcher = nullptr;
    DWORD m_startError = 0;
    uint32_t m_jobRefusal = 0;
    HANDLE m_section = nullptr;
    const hostwire::WatchBlock* m_watch = nullptr;
    HWND m_window = nullptr;
    // The threads that end hosts told to quit, and the launchers of starts let
    // go of; waited for briefly at the end.
    std::vector<HANDLE> m_enders;
};

}  // namespace brelkin
