#include "engine/ChordSender.h"

#include <string>

#include "engine/KeyChordNames.h"
#include "engine/ProgramRules.h"
#include "engine/RemoteSessionClients.h"
#include "engine/Utf8.h"

namespace brelkin {

namespace {

// The program's file name for the log line.
std::string NameForLog(std::u16string_view path) {
    const std::u16string_view name = ImageFileName(path);
    if (name.empty()) return "a program whose name cannot be read";
    return ToUtf8(name);
}

}  // namespace

bool ChordSender::StillInFront(const PressChords& press, int next) {
    if (m_foreground == nullptr || !press.program.known) return true;
    std::size_t titleLength = 0;
    const std::uintptr_t window = m_foreground->ForegroundWindow(m_nowTitle, WindowTitleCapacity, titleLength);
    if (titleLength > WindowTitleCapacity) titleLength = 0;
    std::size_t length = m_foreground->ForegroundImagePath(m_now, ImagePathCapacity);
    if (length > ImagePathCapacity) length = 0;
    const std::u16string_view then(press.program.path, press.program.length);
    const std::u16string_view now(m_now, length);
    // The same path in other letter case is the same program on Windows.
    const bool sameProgram = then.size() == now.size() && (then.empty() || SameProgramName(then, now));
    const bool sameWindow = window == press.program.window;
    const std::u16string_view pattern(press.program.pattern, press.program.patternLength);
    const bool titleMatches =
        !press.program.titled || TitleMatches(pattern, std::u16string_view(m_nowTitle, titleLength));
    if (sameProgram && sameWindow && titleMatches) return true;
    if (m_log != nullptr) {
        const int dropped = press.count - next;
        const std::string what =
            !sameProgram  ? NameForLog(now) + " came to the front after the press in " + NameForLog(then)
            : !sameWindow ? "another window of " + NameForLog(now) + " came to the front after the press"
                          : "the title of the window of " + NameForLog(now) + " no longer matches " +
                                ToUtf8(pattern) + " after the press";
        m_log->Write("Keys: " + what + "; the rest of the press (" + std::to_string(dropped) +
                     (dropped == 1 ? " chord" : " chords") + ") is not sent");
    }
    return false;
}

void ChordSender::NoteRemoteSession(const ProgramInFront& program) {
    const std::u16string_view client = RemoteSessionClient(std::u16string_view(program.path, program.length));
    if (client.empty()) return;
    m_remoteSessionNoted = true;
    m_log->Write("Keys: keys go to a remote session through " + ToUtf8(client) +
                 ", which passes their scan codes on; the remote computer's keyboard layout decides the letters");
}

int ChordSender::SendRow(const PressChords& press) {
    // Keys left down go up before each chord, one attempt each: a key the
    // system refuses again stays recorded for the next chord or press. The
    // first chord's attempt is made here, also for a press that ends up
    // sending nothing.
    if (!m_leftDown.Empty()) m_leftDown.Release(m_input);
    int sent = 0;
    bool refusalLogged = false;
    for (int i = 0; i < press.count && i < 3; ++i) {
        if (!StillInFront(press, i)) break;
        if (i > 0 && !m_leftDown.Empty()) m_leftDown.Release(m_input);
        const PressChord& chord = press.chords[i];
        if (!SendKeyChord(m_input, m_hold, chord.modifiers, chord.key, m_leftDown) && !refusalLogged &&
            m_log != nullptr) {
            refusalLogged = true;
            m_log->Write("Keys: the system refused part of " + ToUtf8(FormatKeyChord(chord.key, chord.modifiers)) +
                         " (another desktop, such as a UAC prompt, may have been in front); " +
                         (m_leftDown.Empty() ? "no key is left down"
                                             : "the keys left down are released again before the next chord"));
        }
        ++sent;
        if (!m_remoteSessionNoted && m_log != nullptr && press.program.known) NoteRemoteSession(press.program);
        if (press.delayAfterEach && !m_delay.Delay(press.delayMilliseconds)) break;
    }
    return sent;
}

}  // namespace brelkin
