#include "engine/ProgramRowResolver.h"

namespace brelkin {

std::vector<std::size_t> ProgramRowResolver::SetRules(const ProgramRuleSet& set, const PresetTable& presets) {
    std::vector<std::size_t> namingNothing;
    m_rules.clear();
    m_lastRule = {};
    for (std::size_t i = 0; i < set.rules.size(); ++i) {
        if (set.userRulesIgnored && !set.rules[i].deployed) continue;
        const TriggerMode mode = KeyModeNamed(presets, set.rules[i].mode);
        if (mode == 0) {
            namingNothing.push_back(i);
            continue;
        }
        m_rules.push_back({set.rules[i].program, mode});
    }
    m_onlyListed = set.onlyListed;
    return namingNothing;
}

bool ProgramRowResolver::ResolvePressRow(TriggerState& state, TriggerMode& mode, ProgramInFront& program) {
    const std::size_t length = m_foreground.ForegroundImagePath(program.path, ImagePathCapacity);
    // A process whose name cannot be read is a program without a rule.
    program.length = length > ImagePathCapacity ? 0 : length;
    program.known = true;
    m_lastRule = {};
    if (!m_rules.empty() || m_onlyListed) {
        const std::u16string_view name = program.length == 0
                                             ? std::u16string_view()
                                             : ImageFileName(std::u16string_view(program.path, program.length));
        const ResolvedRule* ruled = nullptr;
        if (!name.empty()) {
            for (const ResolvedRule& rule : m_rules) {
                if (SameProgramName(rule.program, name)) {
                    ruled = &rule;
                    break;
                }
            }
        }
        if (ruled == nullptr && m_onlyListed) {
            m_refusedLength = name.copy(m_refused, ImagePathCapacity);
            m_refusedPending = true;
            return false;
        }
        if (ruled != nullptr) {
            mode = ruled->mode;
            m_lastRule = ruled->program;
        }
    }
    if (mode != m_lastMode) {
        state.sequenceStep = 0;
        m_lastMode = mode;
    }
    return true;
}

bool ProgramRowResolver::TakeRefusedProgram(std::u16string_view& program) {
    if (!m_refusedPending) return false;
    m_refusedPending = false;
    program = std::u16string_view(m_refused, m_refusedLength);
    return true;
}

}  // namespace brelkin
