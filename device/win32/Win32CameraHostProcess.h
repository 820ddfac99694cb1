#pragma once
// The camera host as a process: BrelkinCameraHost.exe of the library's
// bitness from <Brelkin folder>\x86 or \x64, started with two anonymous pipes,
// an unnamed watch section and a handle to this process, all inherited and
// named nowhere, inside a job object that ends it when Brelkin ends.
#include <windows.h>

#include <string>
#include <vector>

#include "device/CameraHostProcess.h"

namespace brelkin {

class Win32CameraHostProcess final : public ICameraHostProcess {
public:
    Win32CameraHostProcess();
    ~Win32CameraHostProcess() override;

    unsigned ProgramBits() const override { return sizeof(void*) * 8; }
    bool CanRun(unsigned bits) const override;
    FoundLibrary FindLibrary(CameraClass cameraClass) override;
    void NotifyWindow(uintptr_t window) override { m_window = reinterpret_cast<HWND>(window); }
    HostStart Start(unsigned bits) override;
    bool Send(const std::vector<uint8_t>& bytes) override;
    size_t Receive(uint8_t* buffer, size_t capacity) override;
    HostWatch Watch() override;
    bool Ended(HostEnd& end) override;
    void Kill() override;
    void Finish(uint32_t milliseconds) override;
    uint64_t NowMs() override { return GetTickCount64(); }

    // The running host's process, for the tests' view of it; null when none.
    HANDLE Process() const { return m_process; }

private:
    static DWORD WINAPI ReaderThread(void* self);
    void ReadReports();
    void LetGo();

    std::wstring m_folder;  // Brelkin's own
    HANDLE m_job = nullptr;
    HANDLE m_process = nullptr;
    HANDLE m_commands = nullptr;  // our end: write
    HANDLE m_reports = nullptr;   // our end: read
    HANDLE m_reader = nullptr;
    HANDLE m_section = nullptr;
    const hostwire::WatchBlock* m_watch = nullptr;
    volatile HWND m_window = nullptr;
    CRITICAL_SECTION m_lock;
    std::vector<uint8_t> m_received;
};

}  // namespace brelkin
