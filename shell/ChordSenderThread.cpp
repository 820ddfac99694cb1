#include "shell/ChordSenderThread.h"

namespace brelkin {

ChordSenderThread::ChordSenderThread(IKeyboardInput& input, ISleeper& hold, IForegroundProgram& foreground)
    : m_sender(input, hold, *this, &foreground) {}

ChordSenderThread::~ChordSenderThread() {
    Stop();
}

void ChordSenderThread::Send(const PressChords& press) {
    if (m_stopped) {
        m_unsent += static_cast<unsigned long>(press.count);
        return;
    }
    if (!m_started) {
        m_started = true;
        m_work = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        m_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (m_work != nullptr && m_stop != nullptr)
            m_thread = ::CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    if (m_thread == nullptr) {
        // Without a thread the press is typed here, as it always was, rather
        // than lost.
        const int sent = m_sender.SendRow(press);
        m_unsent += static_cast<unsigned long>(press.count - sent);
        return;
    }
    m_press = press;
    // Set before the thread is woken, so that the next tick already sees it.
    m_sending.store(true);
    ::SetEvent(m_work);
}

bool ChordSenderThread::Delay(uint32_t milliseconds) {
    // The same timer resolution as Sleep, which the row's delay always used;
    // only Exit ends it early.
    return ::WaitForSingleObject(m_stop, milliseconds) == WAIT_TIMEOUT;
}

DWORD WINAPI ChordSenderThread::Run(void* self) {
    auto* sender = static_cast<ChordSenderThread*>(self);
    const HANDLE handles[] = {sender->m_stop, sender->m_work};
    // The stop event comes first: when both are set, a waiting press is not
    // begun.
    while (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        const int sent = sender->m_sender.SendRow(sender->m_press);
        sender->m_unsent += static_cast<unsigned long>(sender->m_press.count - sent);
        sender->m_sending.store(false);
    }
    return 0;
}

unsigned long ChordSenderThread::Stop() {
    m_stopped = true;
    if (m_thread != nullptr) {
        ::SetEvent(m_stop);
        // At most the 25 ms hold of the chord going out, and its release.
        ::WaitForSingleObject(m_thread, INFINITE);
        ::CloseHandle(m_thread);
        m_thread = nullptr;
        // A press handed over but never begun is unsent as a whole.
        if (m_sending.exchange(false)) m_unsent += static_cast<unsigned long>(m_press.count);
    }
    // The thread has ended (or never ran), so the sender's keys are this thread's now.
    m_sender.ReleaseKeysLeftDown();
    if (m_work != nullptr) ::CloseHandle(m_work);
    if (m_stop != nullptr) ::CloseHandle(m_stop);
    m_work = m_stop = nullptr;
    return m_unsent.load();
}

}  // namespace brelkin
