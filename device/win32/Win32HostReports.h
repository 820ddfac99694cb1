#pragma once
// The reader of the host's reports: a thread of its own that takes what the
// host writes and wakes the frame's window for it. Its pipe is overlapped, so
// that letting go of the host is an event the reader cannot miss, wherever
// between two reads it is.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace brelkin {

// The report pipe: a named pipe of one instance, connected at once, so that
// its read end can wait with a cancel; `write` is inheritable, for the host.
bool MakeReportPipe(HANDLE& read, HANDLE& write);

// Shared by the process object and the reader thread; the last to let go
// frees it. The thread alone reads and closes the pipe.
struct ReportPipe {
    HANDLE read = nullptr;
    HANDLE cancel = nullptr;  // set once: the reader ends
    HANDLE done = nullptr;    // the reader's read has completed
    CRITICAL_SECTION lock;
    std::vector<uint8_t> received;
    HWND window = nullptr;
    bool abandoned = false;
    volatile LONG refs = 2;

    ReportPipe() {
        InitializeCriticalSection(&lock);
        cancel = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~ReportPipe() {
        for (HANDLE h : {cancel, done})
            if (h) CloseHandle(h);
        DeleteCriticalSection(&lock);
    }
    bool Made() const { return cancel && done; }
    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }
    // From the process object: the reader ends at its next wait or read.
    void Abandon() {
        EnterCriticalSection(&lock);
        abandoned = true;
        LeaveCriticalSection(&lock);
        SetEvent(cancel);
        Release();
    }
};

// The reader thread's body; `parameter` is the ReportPipe.
DWORD WINAPI ReadReports(void* parameter);

}  // namespace brelkin
