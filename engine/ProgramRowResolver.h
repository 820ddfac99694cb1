#pragma once
// The row of a press chosen by the program in front: its rule's mode, or the
// current mode when it has none; nothing at all for an unlisted program when
// only listed programs are to get keys. A title rule of the program whose
// pattern matches the title of the window in front beats its plain rule. The
// program in front is read at every press, rules or none, so that the chords
// can be kept to it.
#include <cstddef>
#include <string>
#include <vector>

#include "engine/PressRowResolver.h"
#include "engine/ProgramRules.h"
#include "platform/ForegroundProgram.h"

namespace brelkin {

class ProgramRowResolver final : public IPressRowResolver {
public:
    explicit ProgramRowResolver(IForegroundProgram& foreground) : m_foreground(foreground) {}

    // Between ticks. Rules whose mode names no key mode are left out; their
    // indexes in `set.rules` are returned so that the caller can report them.
    // The user's own rules are left out silently while the set ignores them.
    std::vector<std::size_t> SetRules(const ProgramRuleSet& set, const PresetTable& presets);

    bool ResolvePressRow(Gesture gesture, TriggerMode& mode, SequenceStep& step, ProgramInFront& program) override;

    // The file name of the program that the last press sent nothing to
    // because it has no rule and only listed programs get keys (empty for a
    // process whose name could not be read), once; false when there is none.
    bool TakeRefusedProgram(std::u16string_view& program);

    // The mode the last press that sent something used, and the name of the
    // rule that chose it (empty: the mode checked in the menu).
    TriggerMode LastMode() const { return m_lastMode[m_lastGesture]; }
    std::u16string_view LastRuleProgram() const { return m_lastRule; }

private:
    struct ResolvedRule {
        std::u16string name;
        std::size_t weight;  // of the title pattern
        TriggerMode mode;
    };
    // Among the rules of `program`: the matching title rule that pins down
    // most of the title (the first by name on a tie), else the plain rule.
    static const ResolvedRule* RuleFor(const std::vector<ResolvedRule>& rules, std::u16string_view program,
                                       std::u16string_view title);

    IForegroundProgram& m_foreground;
    std::vector<ResolvedRule> m_rules;
    // A program's own long and double press modes: a gesture's rule wins
    // over that gesture's mode, and the press's rules do not apply to it.
    std::vector<ResolvedRule> m_longPressRules;
    std::vector<ResolvedRule> m_doublePressRules;
    bool m_onlyListed = false;
    // The row the previous press of each gesture sent: a press that sends
    // another one starts that row's one-by-one sequence from its first chord.
    TriggerMode m_lastMode[3] = {-1, -1, -1};
    int m_lastGesture = 0;
    std::u16string_view m_lastRule;  // into m_rules, which only SetRules changes
    char16_t m_title[WindowTitleCapacity] = {};
    // Kept in place so that a refused press allocates nothing.
    char16_t m_refused[ImagePathCapacity] = {};
    std::size_t m_refusedLength = 0;
    bool m_refusedPending = false;
};

}  // namespace brelkin
