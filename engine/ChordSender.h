#pragma once
// The chords of one press, taken off the poll: the poll hands them over and
// goes on, and a sender types them with the holds and delays of the row while
// the program in front stays the one that was in front at the press.
#include <cstdint>

#include "engine/ActionPreset.h"
#include "engine/KeySynthesis.h"
#include "engine/PressRowResolver.h"
#include "platform/ForegroundProgram.h"
#include "platform/KeyboardInput.h"
#include "platform/SupportLog.h"

namespace brelkin {

struct PressChord {
    ModifierMask modifiers = 0;
    uint16_t key = 0;  // never 0 in a handed-over press
};

// What one press sends, as the poll handed it over.
struct PressChords {
    PressChord chords[3];
    int count = 0;
    // An at-one-time row waits its DelayTime after each chord, the last one
    // included; a one-by-one press does not wait at all.
    bool delayAfterEach = false;
    uint32_t delayMilliseconds = 0;
    ProgramInFront program;  // at the press
    Gesture gesture = Gesture::Press;  // what the press was read as
};

// Where a key-mode press goes. Called on the poll's thread only.
class IPressSender {
public:
    virtual ~IPressSender() = default;
    // True while the chords of an earlier press, or the delay after its last
    // one, are still going out: a press now is not answered.
    virtual bool Sending() = 0;
    // Only when not Sending(); `press` has at least one chord.
    virtual void Send(const PressChords& press) = 0;
};

// The wait between the chords of a row; false when it was cut short because
// the program is ending, and nothing more is to be sent.
class IRowDelay {
public:
    virtual ~IRowDelay() = default;
    virtual bool Delay(uint32_t milliseconds) = 0;
};

// Types the chords of one press on whatever thread runs it.
class ChordSender {
public:
    // `foreground` null: the program in front is not checked again.
    ChordSender(IKeyboardInput& input, ISleeper& hold, IRowDelay& delay, IForegroundProgram* foreground)
        : m_input(input), m_hold(hold), m_delay(delay), m_foreground(foreground) {}

    // Where a dropped row is reported; nowhere until then.
    void AttachLog(ISupportLog& log) { m_log = &log; }

    // Sends the press's chords in order, each one whole: every key and
    // modifier pressed is released before anything else happens. Before each
    // chord the program in front is read again; when another program or
    // another window has come to the front, or the title no longer matches
    // the title rule that decided the press, the rest of the row is dropped
    // and one line says so. Keys whose release the system refused are
    // released again before each chord, once (and at the start of a press
    // that sends none), and one line names the first chord of the press
    // that the system refused. The first chords of a run that go to a
    // remote-desktop client get a line naming it. Returns the number of
    // chords sent. Allocates nothing unless it writes a line.
    int SendRow(const PressChords& press);

    // At exit, once nothing else sends: the keys whose release the system
    // refused get their key-ups once more.
    void ReleaseKeysLeftDown() { m_leftDown.Release(m_input); }

private:
    bool StillInFront(const PressChords& press, int next);
    void NoteRemoteSession(const ProgramInFront& program);

    IKeyboardInput& m_input;
    ISleeper& m_hold;
    IRowDelay& m_delay;
    IForegroundProgram* m_foreground;
    ISupportLog* m_log = nullptr;
    KeysLeftDown m_leftDown;
    bool m_remoteSessionNoted = false;  // once a run is enough to explain the keys' way
    char16_t m_now[ImagePathCapacity];
    char16_t m_nowTitle[WindowTitleCapacity];
};

// The sender on the caller's own thread: each press is typed before Send
// returns, so a press is never refused. For the tools and the tests that
// drive the poll without a program around it.
class ImmediatePressSender final : public IPressSender, private IRowDelay {
public:
    explicit ImmediatePressSender(IKeyboardInput& input, ISleeper& sleeper, IForegroundProgram* foreground = nullptr)
        : m_sleeper(sleeper), m_sender(input, sleeper, *this, foreground) {}

    ChordSender& Sender() { return m_sender; }
    bool Sending() override { return false; }
    void Send(const PressChords& press) override { m_sent += static_cast<unsigned long>(m_sender.SendRow(press)); }
    unsigned long ChordsSent() const { return m_sent; }

private:
    bool Delay(uint32_t milliseconds) override {
        m_sleeper.Sleep(milliseconds);
        return true;
    }

    ISleeper& m_sleeper;
    ChordSender m_sender;
    unsigned long m_sent = 0;
};

}  // namespace brelkin
