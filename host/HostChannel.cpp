#include "host/HostChannel.h"

namespace brelkin::host {

namespace {
// How long a host whose Brelkin is gone may take to close the camera.
constexpr DWORD OrphanGraceMs = 2000;
}  // namespace

HostChannel::HostChannel(HANDLE commands, HANDLE reports) : m_commands(commands), m_reports(reports) {
    InitializeCriticalSection(&m_lock);
    m_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

HostChannel::~HostChannel() {
    // The reader thread is left blocked in ReadFile: the process is ending.
    DeleteCriticalSection(&m_lock);
}

bool HostChannel::Start() {
    if (m_event == nullptr) return false;
    m_thread = CreateThread(nullptr, 64 * 1024, ReaderThread, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    return m_thread != nullptr;
}

DWORD WINAPI HostChannel::ReaderThread(void* self) {
    static_cast<HostChannel*>(self)->ReadCommands();
    return 0;
}

void HostChannel::ReadCommands() {
    hostwire::MessageReader reader(true);
    uint8_t buffer[512];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(m_commands, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
        reader.Append(buffer, got);
        bool any = false;
        EnterCriticalSection(&m_lock);
        while (auto m = reader.Next()) {
            m_queue.push_back(std::move(*m));
            any = true;
        }
        LeaveCriticalSection(&m_lock);
        if (any) SetEvent(m_event);
    }
    InterlockedExchange(&m_broken, 1);
    SetEvent(m_event);
    Sleep(OrphanGraceMs);
    TerminateProcess(GetCurrentProcess(), 0);
}

bool HostChannel::TakeCommand(hostwire::Message& out) {
    EnterCriticalSection(&m_lock);
    const bool any = !m_queue.empty();
    if (any) {
        out = std::move(m_queue.front());
        m_queue.pop_front();
    }
    if (m_queue.empty() && !Broken()) ResetEvent(m_event);
    LeaveCriticalSection(&m_lock);
    return any;
}

bool HostChannel::Send(const uint8_t* bytes, size_t count) {
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(m_reports, bytes, static_cast<DWORD>(count), &written, nullptr) || written == 0) return false;
        bytes += written;
        count -= written;
    }
    return true;
}

}  // namespace brelkin::host
