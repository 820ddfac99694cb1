#include "engine/ProgramRowResolver.h"

#include <algorithm>

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
        const RuleName name = SplitRuleName(set.rules[i].program);
        // Longer than a press can keep for its later chords: never loaded.
        if (name.pattern.size() > MaxTitlePatternLength) continue;
        m_rules.push_back({set.rules[i].program, PatternWeight(name.pattern), mode});
    }
    // In name order, so that of two equally weighty patterns the first found
    // is the one whose name sorts first.
    std::sort(m_rules.begin(), m_rules.end(), [](const ResolvedRule& a, const ResolvedRule& b) {
        return NameSortsBefore(a.name, b.name) || (!NameSortsBefore(b.name, a.name) && a.name < b.name);
    });
    m_onlyListed = set.onlyListed;
    return namingNothing;
}

const ProgramRowResolver::ResolvedRule* ProgramRowResolver::RuleFor(std::u16string_view program,
                                                                    std::u16string_view title) const {
    const ResolvedRule* plain = nullptr;
    const ResolvedRule* titled = nullptr;
    for (const ResolvedRule& rule : m_rules) {
        const RuleName name = SplitRuleName(rule.name);
        if (!SameProgramName(name.program, program)) continue;
        if (!name.titled) {
            if (plain == nullptr) plain = &rule;
        } else if ((titled == nullptr || rule.weight > titled->weight) && TitleMatches(name.pattern, title)) {
            titled = &rule;
        }
    }
    return titled != nullptr ? titled : plain;
}

bool ProgramRowResolver::ResolvePressRow(TriggerState& state, TriggerMode& mode, ProgramInFront& program) {
    std::size_t titleLength = 0;
    program.window = m_foreground.ForegroundWindow(m_title, WindowTitleCapacity, titleLength);
    if (titleLength > WindowTitleCapacity) titleLength = 0;
    const std::size_t length = m_foreground.ForegroundImagePath(program.path, ImagePathCapacity);
    // A process whose name cannot be read is a program without a rule.
    program.length = length > ImagePathCapacity ? 0 : length;
    program.known = true;
    program.titled = false;
    program.patternLength = 0;
    m_lastRule = {};
    if (!m_rules.empty() || m_onlyListed) {
        const std::u16string_view name = program.length == 0
                                             ? std::u16string_view()
                                             : ImageFileName(std::u16string_view(program.path, program.length));
        const ResolvedRule* ruled = name.empty() ? nullptr : RuleFor(name, std::u16string_view(m_title, titleLength));
        if (ruled == nullptr && m_onlyListed) {
            m_refusedLength = name.copy(m_refused, ImagePathCapacity);
            m_refusedPending = true;
            return false;
        }
        if (ruled != nullptr) {
            mode = ruled->mode;
            m_lastRule = ruled->name;
            const RuleName split = SplitRuleName(ruled->name);
            program.titled = split.titled;
            program.patternLength = split.pattern.copy(program.pattern, MaxTitlePatternLength);
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
