#include "engine/ProgramRowResolver.h"

#include <algorithm>

namespace brelkin {

std::vector<std::size_t> ProgramRowResolver::SetRules(const ProgramRuleSet& set, const PresetTable& presets) {
    std::vector<std::size_t> namingNothing;
    m_lastRule = {};
    // In name order, so that of two equally weighty patterns the first found
    // is the one whose name sorts first.
    auto load = [&](const std::vector<ProgramRule>& stored, std::vector<ResolvedRule>& into, bool report) {
        into.clear();
        for (std::size_t i = 0; i < stored.size(); ++i) {
            if (set.userRulesIgnored && !stored[i].deployed) continue;
            const TriggerMode mode = KeyModeNamed(presets, stored[i].mode);
            if (mode == 0) {
                // A gesture's rule that names no key mode leaves that gesture's own mode.
                if (report) namingNothing.push_back(i);
                continue;
            }
            const RuleName name = SplitRuleName(stored[i].program);
            // Longer than a press can keep for its later chords: never loaded.
            if (name.pattern.size() > MaxTitlePatternLength) continue;
            into.push_back({stored[i].program, PatternWeight(name.pattern), mode});
        }
        std::sort(into.begin(), into.end(), [](const ResolvedRule& a, const ResolvedRule& b) {
            return NameSortsBefore(a.name, b.name) || (!NameSortsBefore(b.name, a.name) && a.name < b.name);
        });
    };
    load(set.rules, m_rules, true);
    load(set.longPressRules, m_longPressRules, false);
    load(set.doublePressRules, m_doublePressRules, false);
    m_onlyListed = set.onlyListed;
    return namingNothing;
}

const ProgramRowResolver::ResolvedRule* ProgramRowResolver::RuleFor(const std::vector<ResolvedRule>& rules,
                                                                    std::u16string_view program,
                                                                    std::u16string_view title) {
    if (program.empty()) return nullptr;
    const ResolvedRule* plain = nullptr;
    const ResolvedRule* titled = nullptr;
    for (const ResolvedRule& rule : rules) {
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

bool ProgramRowResolver::ResolvePressRow(Gesture gesture, TriggerMode& mode, SequenceStep& step,
                                         ProgramInFront& program) {
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
    const std::vector<ResolvedRule>* gestureRules = gesture == Gesture::LongPress     ? &m_longPressRules
                                                    : gesture == Gesture::DoublePress ? &m_doublePressRules
                                                                                      : nullptr;
    if (!m_rules.empty() || m_onlyListed || (gestureRules != nullptr && !gestureRules->empty())) {
        const std::u16string_view name = program.length == 0
                                             ? std::u16string_view()
                                             : ImageFileName(std::u16string_view(program.path, program.length));
        const std::u16string_view title(m_title, titleLength);
        const ResolvedRule* ruled = RuleFor(m_rules, name, title);
        const ResolvedRule* gestureRuled = gestureRules == nullptr ? nullptr : RuleFor(*gestureRules, name, title);
        // A program listed by any rule for this gesture gets its keys.
        if (ruled == nullptr && gestureRuled == nullptr && m_onlyListed) {
            m_refusedLength = name.copy(m_refused, ImagePathCapacity);
            m_refusedPending = true;
            return false;
        }
        // A program's rule names the press's mode; a long or a double press
        // keeps its own unless a rule of that gesture names one.
        const ResolvedRule* decided = gesture == Gesture::Press ? ruled : gestureRuled;
        if (decided != nullptr) {
            mode = decided->mode;
            m_lastRule = decided->name;
            const RuleName split = SplitRuleName(decided->name);
            program.titled = split.titled;
            program.patternLength = split.pattern.copy(program.pattern, MaxTitlePatternLength);
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
