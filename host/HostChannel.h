#pragma once
// The host's ends of the two pipes: the commands from Brelkin, read by a
// thread of their own so that the poll never waits on the pipe, and the
// reports to Brelkin, written by the poll.
#include <windows.h>

#include <deque>
#include <vector>

#include "device/CameraHostProtocol.h"

namespace brelkin::host {

class HostChannel {
public:
    HostChannel(HANDLE commands, HANDLE reports);
    ~HostChannel();

    // Starts the command reader. Once Brelkin's end of the pipe breaks
    // (Brelkin ended or was killed) the host ends too, even in a camera call
    // that does not return.
    bool Start();
    // Set while commands wait, or once the pipe broke.
    HANDLE CommandEvent() const { return m_event; }
    bool TakeCommand(hostwire::Message& out);
    bool Broken() const { return m_broken != 0; }

    bool Send(const std::vector<uint8_t>& bytes) { return Send(bytes.data(), bytes.size()); }
    bool Send(const uint8_t* bytes, size_t count);

private:
    static DWORD WINAPI ReaderThread(void* self);
    void ReadCommands();

    HANDLE m_commands;
    HANDLE m_reports;
    HANDLE m_event = nullptr;
    HANDLE m_thread = nullptr;
    CRITICAL_SECTION m_lock;
    std::deque<hostwire::Message> m_queue;
    volatile LONG m_broken = 0;
};

}  // namespace brelkin::host
