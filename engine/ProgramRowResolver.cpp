#include "engine/ProgramRowResolver.h"

namespace brelkin {

std::vector<std::size_t> ProgramRowResolver::SetRules(const ProgramRuleSet& set, const PresetTable& presets) {
    std::vector<std::size_t> namingNothing;
    m_rules.clear();
    m_lastRule = {};
    for (std::size_t i = 0; i < set.rules.size(); ++i) {
        const TriggerMode mode = KeyModeNamed(presets, set.rules[i].mode);
        if (mode == 0) {
            namingNothing.push_back(i);
            continue;
        }
        m_rules.push_back({set.rules[i].program, mode});
    }
    std::vector<ResolvedRule>* gestureRules[2] = {&m_longPressRules, &m_doublePressRules};
    const std::vector<ProgramRule>* stored[2] = {&set.longPressRules, &set.doublePressRules};
    for (int g = 0; g < 2; ++g) {
        gestureRules[g]->clear();
        // A gesture's rule that names no key mode leaves that gesture's own mode.
        for (const ProgramRule& rule : *stored[g])
            if (const TriggerMode mode = KeyModeNamed(presets, rule.mode); mode != 0)
                gestureRules[g]->push_back({rule.program, mode});
    }
    m_onlyListed = set.onlyListed;
    return namingNothing;
}

const ProgramRowResolver::ResolvedRule* ProgramRowResolver::FindRule(const std::vector<ResolvedRule>& rules,
                                                                     std::u16string_view program) {
    if (program.empty()) return nullptr;
    for (const ResolvedRule& rule : rules)
        if (SameProgramName(rule.program, program)) return &rule;
    return nullptr;
}

bool ProgramRowResolver::ResolvePressRow(Gesture gesture, TriggerMode& mode, SequenceStep& step,
                                         ProgramInFront& program) {
    const std::size_t length = m_foreground.ForegroundImagePath(program.path, ImagePathCapacity);
    // A process whose name cannot be read is a program without a rule.
    program.length = length > ImagePathCapacity ? 0 : length;
    program.known = true;
    m_lastRule = {};
    const std::vector<ResolvedRule>* gestureRules = gesture == Gesture::LongPress     ? &m_longPressRules
                                                    : gesture == Gesture::DoublePress ? &m_doublePressRules
                                                                                      : nullptr;
    if (!m_rules.empty() || m_onlyListed || (gestureRules != nullptr && !gestureRules->empty())) {
        const std::u16string_view name = program.length == 0
                                             ? std::u16string_view()
                                             : ImageFileName(std::u16string_view(program.path, program.length));
        const ResolvedRule* ruled = FindRule(m_rules, name);
        const ResolvedRule* gestureRuled = gestureRules == nullptr ? nullptr : FindRule(*gestureRules, name);
        // A program listed by any rule for this gesture gets its keys.
        if (ruled == nullptr && gestureRuled == nullptr && m_onlyListed) {
            m_refusedLength = name.copy(m_refused, ImagePathCapacity);
            m_refusedPending = true;
            return false;
        }
        // A program's rule names the press's mode; a long or a double press
        // keeps its own, and the rule only lists the program.
        if (ruled != nullptr && gesture == Gesture::Press) {
            mode = ruled->mode;
            m_lastRule = ruled->program;
        }
        if (gestureRuled != nullptr) {
            mode = gestureRuled->mode;
            m_lastRule = gestureRuled->program;
        }
    }
    m_lastGesture = gesture == Gesture::LongPress ? 1 : gesture == Gesture::DoublePress ? 2 : 0;
    TriggerMode& last = m_lastMode[m_lastGesture];
    if (mode != last) {
        step = 0;
        last = mode;
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
