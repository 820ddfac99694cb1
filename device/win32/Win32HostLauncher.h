#pragma once
// Starting and ending a camera host without waiting on it: the host's process
// is created on a launcher thread, in a job of its own, and a host told to
// quit is ended in the background once its time is up.
#include <windows.h>

#include <string>

namespace brelkin {

HANDLE KillOnCloseJob();
// Ends a host and everything in its job, without waiting for either.
void EndNow(HANDLE process, HANDLE job);
// A thread that gives a host `graceMs` to end and then ends it and its job;
// null when no thread could be made (the host was ended at once).
HANDLE EndAfter(HANDLE process, HANDLE job, DWORD graceMs);

// The host's CreateProcessW on a thread of its own: the interface thread
// never waits for the loader, or for an antivirus that scans the new process.
// Shared like ReportPipe; a host whose start was abandoned is ended by the
// launcher.
struct Launch {
    std::wstring path;
    std::wstring command;
    HANDLE inherited[4] = {};  // the host's ends; the launcher closes them
    CRITICAL_SECTION lock;
    bool abandoned = false;
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    DWORD error = 0;  // CreateProcessW's
    bool jobRefused = false;
    DWORD jobError = 0;
    volatile LONG refs = 2;

    Launch() { InitializeCriticalSection(&lock); }
    ~Launch() { DeleteCriticalSection(&lock); }
    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }
    void Abandon() {
        EnterCriticalSection(&lock);
        abandoned = true;
        EndNow(process, job);
        process = job = nullptr;
        LeaveCriticalSection(&lock);
        Release();
    }
};

// The launcher thread's body; `parameter` is the Launch.
DWORD WINAPI LaunchHost(void* parameter);

}  // namespace brelkin
