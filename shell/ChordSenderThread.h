#pragma once
// The chords of a press on a thread of their own, so that the tray menu, the
// dialogs, rescans, the poll and Exit answer while a row with long delays is
// going out. The thread starts with the first press.
#include <windows.h>

#include <atomic>

#include "engine/ChordSender.h"

namespace brelkin {

class ChordSenderThread final : public IPressSender, private IRowDelay {
public:
    ChordSenderThread(IKeyboardInput& input, ISleeper& hold, IForegroundProgram& foreground);
    ~ChordSenderThread() override;  // as Stop
    ChordSenderThread(const ChordSenderThread&) = delete;
    ChordSenderThread& operator=(const ChordSenderThread&) = delete;

    void AttachLog(ISupportLog& log) { m_sender.AttachLog(log); }

    bool Sending() override { return m_sending.load(); }
    void Send(const PressChords& press) override;

    // Ends the thread once the chord going out now has been released; the
    // rest of its row is dropped, and keys whose release the system refused
    // are released once more. Returns the number of handed-over chords that
    // were never sent, for the exit count. Safe to call twice.
    unsigned long Stop();

private:
    static DWORD WINAPI Run(void* self);
    bool Delay(uint32_t milliseconds) override;

    ChordSender m_sender;
    HANDLE m_work = nullptr;  // auto-reset: a press is waiting in m_press
    HANDLE m_stop = nullptr;  // manual-reset: the program is ending
    HANDLE m_thread = nullptr;
    bool m_started = false;
    bool m_stopped = false;
    PressChords m_press;  // written by the poll only while not Sending()
    std::atomic<bool> m_sending{false};
    std::atomic<unsigned long> m_unsent{0};
};

}  // namespace brelkin
