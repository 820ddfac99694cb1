#include "support/RotatingSupportLog.h"

#include <string>

namespace brelkin {

void RotatingSupportLog::Write(std::string_view event) {
    // The log explains failures; it must never add one of its own, so even
    // running out of memory here only loses the line.
    try {
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
        if (m_store.Size() + line.size() > m_cap) (void)m_store.Rotate();
        (void)m_store.Append(line);
    } catch (...) {
    }
}

}  // namespace brelkin
