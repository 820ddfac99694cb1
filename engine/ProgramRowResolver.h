#pragma once
// The row of a press chosen by the program in front: its rule's mode, or the
// current mode when it has none; nothing at all for an unlisted program when
// only listed programs are to get keys.
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
    std::vector<std::size_t> SetRules(const ProgramRuleSet& set, const PresetTable& presets);

    bool ResolvePressRow(TriggerState& state, TriggerMode& mode) override;

private:
    struct ResolvedRule {
        std::u16string program;
        TriggerMode mode;
    };

    IForegroundProgram& m_foreground;
    std::vector<ResolvedRule> m_rules;
    bool m_onlyListed = false;
    // The row the previous press sent: a press that sends another one starts
    // that row's one-by-one sequence from its first chord.
    TriggerMode m_lastMode = -1;
};

}  // namespace brelkin
