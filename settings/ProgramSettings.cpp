#include "settings/ProgramSettings.h"

#include <string>
#include <vector>

#include "settings/AppSettings.h"

namespace brelkin {

namespace names = settings_names;

ProgramRuleSet ProgramSettings::Load() {
    ProgramRuleSet set;
    set.onlyListed = m_profile.GetProfileInt(names::Section, names::OnlyListedPrograms, 0) != 0;
    for (const std::u16string& program : m_profile.GetProfileEntries(names::ProgramsSection, MaxRules)) {
        // The empty name is the key's default value, never a program.
        if (program.empty() || program.size() > MaxProgramNameLength) continue;
        set.rules.push_back({program, m_profile.GetProfileString(names::ProgramsSection, program, u"")});
    }
    return set;
}

bool ProgramSettings::Save(const ProgramRuleSet& stored, const ProgramRuleSet& edited) {
    bool saved = true;
    for (const ProgramRule& old : stored.rules) {
        if (FindProgramRule(edited.rules, old.program) == nullptr) {
            saved = m_profile.DeleteProfileEntry(names::ProgramsSection, old.program) && saved;
        }
    }
    for (const ProgramRule& rule : edited.rules) {
        const ProgramRule* old = FindProgramRule(stored.rules, rule.program);
        // A rule whose program was re-cased is written again under the new spelling.
        if (old != nullptr && old->mode == rule.mode && old->program == rule.program) continue;
        saved = m_profile.WriteProfileString(names::ProgramsSection, rule.program, rule.mode) && saved;
    }
    if (stored.onlyListed != edited.onlyListed) {
        saved = m_profile.WriteProfileInt(names::Section, names::OnlyListedPrograms, edited.onlyListed ? 1 : 0) &&
                saved;
    }
    return saved;
}

}  // namespace brelkin
