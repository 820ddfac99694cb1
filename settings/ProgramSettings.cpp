#include "settings/ProgramSettings.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/AppSettings.h"

namespace brelkin {

namespace names = settings_names;

ProgramRuleSet ProgramSettings::Load() {
    ProgramRuleSet set;
    set.onlyListed = m_profile.GetProfileInt(names::Section, names::OnlyListedPrograms, 0) != 0;
    set.onlyListedEnforced =
        m_profile.ProfileIntSource(names::Section, names::OnlyListedPrograms) == ProfileSource::Enforced;
    for (const std::u16string& program : m_profile.GetProfileEntries(names::ProgramsSection, MaxRules)) {
        // The empty name is the key's default value, never a program.
        const RuleName name = SplitRuleName(program);
        if (name.program.empty() || name.program.size() > MaxProgramFileNameLength ||
            name.pattern.size() > MaxTitlePatternLength)
            continue;
        ProgramRule rule{program, m_profile.GetProfileString(names::ProgramsSection, program, u"")};
        const ProfileSource source = m_profile.ProfileStringSource(names::ProgramsSection, program);
        rule.enforced = source == ProfileSource::Enforced;
        rule.deployed = source != ProfileSource::User && source != ProfileSource::Default;
        rule.deployedMode = rule.deployed ? std::optional<std::u16string>(rule.mode)
                                          : m_profile.FindMachineProfileString(names::ProgramsSection, program);
        set.rules.push_back(std::move(rule));
    }
    return set;
}

bool ProgramSettings::Save(const ProgramRuleSet& stored, const ProgramRuleSet& edited) {
    bool saved = true;
    // A deployed rule is not in the user's key: there is nothing of it to delete.
    for (const ProgramRule& old : stored.rules) {
        if (!old.deployed && FindProgramRule(edited.rules, old.program) == nullptr) {
            saved = m_profile.DeleteProfileEntry(names::ProgramsSection, old.program) && saved;
        }
    }
    for (const ProgramRule& rule : edited.rules) {
        const ProgramRule* old = FindProgramRule(stored.rules, rule.program);
        // The enforced rule wins over any of the user's: writing one would change nothing.
        if (old != nullptr && old->enforced) continue;
        if (rule.deployed) {
            // The user's rule was removed and the administrator's applies again.
            if (old != nullptr && !old->deployed)
                saved = m_profile.DeleteProfileEntry(names::ProgramsSection, old->program) && saved;
            continue;
        }
        // A rule whose program was re-cased is written again under the new
        // spelling; a deployed one given another mode becomes the user's own.
        if (old != nullptr && !old->deployed && old->mode == rule.mode && old->program == rule.program) continue;
        saved = m_profile.WriteProfileString(names::ProgramsSection, rule.program, rule.mode) && saved;
    }
    if (stored.onlyListed != edited.onlyListed && !stored.onlyListedEnforced) {
        saved = m_profile.WriteProfileInt(names::Section, names::OnlyListedPrograms, edited.onlyListed ? 1 : 0) &&
                saved;
    }
    return saved;
}

}  // namespace brelkin
