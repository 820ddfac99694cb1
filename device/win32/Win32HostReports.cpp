#include "device/win32/Win32HostReports.h"

#include <cstdio>

#include "device/CameraHostProcess.h"

namespace brelkin {

bool MakeReportPipe(HANDLE& read, HANDLE& write) {
    static volatile LONG serial = 0;
    wchar_t name[96];
    std::swprintf(name, 96, L"\\\\.\\pipe\\BrelkinReports-%lu-%ld-%llu", GetCurrentProcessId(),
                  InterlockedIncrement(&serial), static_cast<unsigned long long>(GetTickCount64()));
    // One instance, ours from the first: nobody else can be its client.
    read = CreateNamedPipeW(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, 64 * 1024, 0, nullptr);
    if (read == INVALID_HANDLE_VALUE) {
        read = nullptr;
        return false;
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    write = CreateFileW(name, GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
    if (write == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(read);
        read = write = nullptr;
        SetLastError(error);
        return false;
    }
    return true;
}

namespace {

// One read, or nothing once the pipe is let go of; false at the end of the
// pipe or on the cancel.
bool ReadOnce(ReportPipe& pipe, uint8_t* buffer, DWORD size, DWORD& got) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = pipe.done;
    ResetEvent(pipe.done);
    got = 0;
    if (!ReadFile(pipe.read, buffer, size, nullptr, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) return false;
        HANDLE waits[2] = {pipe.done, pipe.cancel};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) CancelIoEx(pipe.read, &overlapped);
    }
    // Done or cancelled, the read is over before its buffer goes.
    return GetOverlappedResult(pipe.read, &overlapped, &got, TRUE) && got > 0;
}

}  // namespace

DWORD WINAPI ReadReports(void* parameter) {
    auto* pipe = static_cast<ReportPipe*>(parameter);
    uint8_t buffer[512];
    for (;;) {
        DWORD got = 0;
        const bool ok = ReadOnce(*pipe, buffer, sizeof buffer, got);
        EnterCriticalSection(&pipe->lock);
        // Bounded: a host that floods the pipe loses its own bytes.
        if (ok && !pipe->abandoned && pipe->received.size() < 64 * 1024)
            pipe->received.insert(pipe->received.end(), buffer, buffer + got);
        const HWND window = pipe->abandoned ? nullptr : pipe->window;
        const bool last = !ok || pipe->abandoned;
        LeaveCriticalSection(&pipe->lock);
        // The end of the pipe is news too: the host has gone.
        if (window) PostMessageW(window, CameraHostReportMessage, 0, 0);
        if (last) break;
    }
    CloseHandle(pipe->read);
    pipe->read = nullptr;
    pipe->Release();
    return 0;
}

}  // namespace brelkin
