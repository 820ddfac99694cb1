#include "engine/ChordSender.h"

#include <string>

#include "engine/KeySynthesis.h"
#include "engine/ProgramRules.h"

namespace brelkin {

namespace {

// UTF-8 for the log line. The engine does not use the support library, and
// this is the only text it writes: a lone surrogate becomes U+FFFD there too.
std::string NameForLog(std::u16string_view path) {
    const std::u16string_view name = ImageFileName(path);
    if (name.empty()) return "a program whose name cannot be read";
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        uint32_t c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

}  // namespace

bool ChordSender::StillInFront(const PressChords& press, int next) {
    if (m_foreground == nullptr || !press.program.known) return true;
    std::size_t length = m_foreground->ForegroundImagePath(m_now, ImagePathCapacity);
    if (length > ImagePathCapacity) length = 0;
    const std::u16string_view then(press.program.path, press.program.length);
    const std::u16string_view now(m_now, length);
    // The same path in other letter case is the same program on Windows.
    if (then.size() == now.size() && (then.empty() || SameProgramName(then, now))) return true;
    if (m_log != nullptr) {
        const int dropped = press.count - next;
        m_log->Write("Keys: " + NameForLog(now) + " came to the front after the press in " + NameForLog(then) +
                     "; the rest of the press (" + std::to_string(dropped) + (dropped == 1 ? " chord" : " chords") +
                     ") is not sent");
    }
    return false;
}

int ChordSender::SendRow(const PressChords& press) {
    int sent = 0;
    for (int i = 0; i < press.count && i < 3; ++i) {
        if (!StillInFront(press, i)) break;
        SendKeyChord(m_input, m_hold, press.chords[i].modifiers, press.chords[i].key);
        ++sent;
        if (press.delayAfterEach && !m_delay.Delay(press.delayMilliseconds)) break;
    }
    return sent;
}

}  // namespace brelkin
