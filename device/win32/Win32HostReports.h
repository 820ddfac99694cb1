#pragma once
// The reader of the host's reports: a thread of its own that takes what the
// host writes and wakes the frame's window for it.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "device/CameraHostProcess.h"

namespace brelkin {

// Shared by the process object and the reader thread; the last to let go
// frees it. The thread alone closes the pipe, under the lock, so that no
// handle is closed while a read is in it and none is cancelled once closed.
struct ReportPipe {
    HANDLE read = nullptr;
    HANDLE thread = nullptr;  // the reader, for CancelSynchronousIo
    CRITICAL_SECTION lock;
    std::vector<uint8_t> received;
    HWND window = nullptr;
    bool abandoned = false;
    volatile LONG refs = 2;

    ReportPipe() { InitializeCriticalSection(&lock); }
    ~ReportPipe() {
        if (thread) CloseHandle(thread);
        DeleteCriticalSection(&lock);
    }
    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }
};

// The reader thread's body; `parameter` is the ReportPipe.
DWORD WINAPI ReadReports(void* parameter);

}  // namespace brelkin
