#include "support/RotatingSupportLog.h"

#include "support/SupportTexts.h"

namespace brelkin {

std::string RotatingSupportLog::Line(std::string_view event) {
    std::string line = m_store.Timestamp();
    line += ' ';
    const size_t room = m_cap > line.size() + 2 ? static_cast<size_t>(m_cap) - line.size() - 2 : 0;
    const size_t start = line.size();
    line.append(event.substr(0, room));
    // A path or a name from the registry may hold a line break; one event
    // stays one line.
    for (size_t i = start; i < line.size(); ++i)
        if (line[i] == '\r' || line[i] == '\n') line[i] = ' ';
    line += "\r\n";
    return line;
}

void RotatingSupportLog::Write(std::string_view event) {
    // The log explains failures; it must never add one of its own, so even
    // running out of memory here only loses the line.
    try {
        const std::string line = Line(event);
        if (m_store.Size() + line.size() > m_cap && !m_store.Rotate()) {
            // Typically Brelkin.log.1 open in an editor that does not share
            // deleting. Appending anyway would let the file grow without end.
            if (!m_store.Truncate()) return;
            const std::string note = Line(LogEmptiedLine());
            if (note.size() + line.size() <= m_cap) (void)m_store.Append(note);
        }
        (void)m_store.Append(line);
    } catch (...) {
    }
}

}  // namespace brelkin
