#include "support/ElevatedTargetCheck.h"

#include <algorithm>

#include "support/SupportTexts.h"

namespace brelkin {

bool ElevatedTargetCheck::CheckKeyTarget() {
    const uint32_t target = m_integrity.FocusProcessId();
    if (target == 0) return false;
    // A level that cannot be read proves nothing: no notice rather than a
    // wrong one.
    const uint32_t own = m_integrity.IntegrityLevel(0);
    const uint32_t theirs = m_integrity.IntegrityLevel(target);
    if (own == 0 || theirs == 0 || theirs <= own) return false;
    if (std::find(m_reported.begin(), m_reported.end(), target) != m_reported.end()) return true;
    m_reported.push_back(target);

    const std::u16string program = m_integrity.ProgramFile(target);
    m_log.Write(KeysDroppedLine(target, program));
    Notify(m_notifier, KeysDroppedText(program));
    return true;
}

}  // namespace brelkin
