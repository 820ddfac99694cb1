#include "device/win32/Win32HostReports.h"

namespace brelkin {

DWORD WINAPI ReadReports(void* parameter) {
    auto* pipe = static_cast<ReportPipe*>(parameter);
    uint8_t buffer[512];
    for (;;) {
        DWORD got = 0;
        const bool ok = ReadFile(pipe->read, buffer, sizeof buffer, &got, nullptr) && got > 0;
        EnterCriticalSection(&pipe->lock);
        // Bounded: a host that floods the pipe loses its own bytes.
        if (ok && !pipe->abandoned && pipe->received.size() < 64 * 1024)
            pipe->received.insert(pipe->received.end(), buffer, buffer + got);
        const HWND window = pipe->abandoned ? nullptr : pipe->window;
        const bool last = !ok || pipe->abandoned;
        if (last) {
            CloseHandle(pipe->read);
            pipe->read = nullptr;
        }
        LeaveCriticalSection(&pipe->lock);
        // The end of the pipe is news too: the host has gone.
        if (window) PostMessageW(window, CameraHostReportMessage, 0, 0);
        if (last) break;
    }
    pipe->Release();
    return 0;
}

}  // namespace brelkin
