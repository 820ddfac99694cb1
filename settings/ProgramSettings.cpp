#include "settings/ProgramSettings.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/AppSettings.h"

namespace brelkin {

namespace names = settings_names;

std::vector<ProgramRule> ProgramSettings::LoadRules(std::u16string_view section, bool userRulesIgnored) {
    std::vector<ProgramRule> rules;
    for (const std::u16string& program : m_profile.GetProfileEntries(section, MaxRules)) {
        // The empty name is the key's default value, never a program.
        const RuleName name = SplitRuleName(program);
        if (name.program.empty() || name.program.size() > MaxProgramFileNameLength ||
            name.pattern.size() > MaxTitlePatternLength)
            continue;
        const ProfileSource source = m_profile.ProfileStringSource(section, program);
        // No store gives the name a usable rule: a policy's that cannot be
        // used is passed over; the user's own, of another type, is kept.
        if (source == ProfileSource::Default && !HeldByUser(section, program)) continue;
        ProgramRule rule{program, m_profile.GetProfileString(section, program, u"")};
        rule.enforced = source == ProfileSource::Enforced;
        rule.deployed = source != ProfileSource::User && source != ProfileSource::Default;
        rule.deployedMode = rule.deployed ? std::optional<std::u16string>(rule.mode)
                                          : m_profile.FindMachineProfileString(section, program);
        // The administrator's rule beneath the user's unused one is the one that applies.
        if (userRulesIgnored && !rule.deployed && rule.deployedMode) {
            rule.mode = *rule.deployedMode;
            rule.deployed = true;
        }
        rules.push_back(std::move(rule));
    }
    return rules;
}

ProgramRuleSet ProgramSettings::Load() {
    ProgramRuleSet set;
    set.onlyListed = m_profile.GetProfileInt(names::Section, names::OnlyListedPrograms, 0) != 0;
    set.onlyListedEnforced =
        m_profile.ProfileIntSource(names::Section, names::OnlyListedPrograms) == ProfileSource::Enforced;
    set.userRulesIgnored = m_profile.GetProfileInt(names::Section, names::UserProgramRules, 1) == 0;
    set.rules = LoadRules(names::ProgramsSection, set.userRulesIgnored);
    set.longPressRules = LoadRules(names::LongPressProgramsSection, set.userRulesIgnored);
    set.doublePressRules = LoadRules(names::DoublePressProgramsSection, set.userRulesIgnored);
    return set;
}

bool ProgramSettings::HeldByUser(std::u16string_view section, std::u16string_view program) {
    for (const ProfileLayerState& layer : m_profile.GetLayerStates(section, program, true))
        if (layer.role == ProfileSource::User && layer.state != ProfileValueState::Missing) return true;
    return false;
}

bool ProgramSettings::SaveRules(std::u16string_view section, const std::vector<ProgramRule>& storedRules,
                                const std::vector<ProgramRule>& editedRules) {
    bool saved = true;
    // A deployed rule is not in the user's key: there is nothing of it to delete.
    for (const ProgramRule& old : storedRules) {
        if (!old.deployed && FindProgramRule(editedRules, old.program) == nullptr) {
            saved = m_profile.DeleteProfileEntry(section, old.program) && saved;
        }
    }
    for (const ProgramRule& rule : editedRules) {
        const ProgramRule* old = FindProgramRule(storedRules, rule.program);
        // The enforced rule wins over any of the user's: writing one would change nothing.
        if (old != nullptr && old->enforced) continue;
        if (rule.deployed) {
            // The user's rule was removed and the administrator's applies again.
            if (old != nullptr && !old->deployed) saved = m_profile.DeleteProfileEntry(section, old->program) && saved;
            continue;
        }
        // A rule whose program was re-cased is written again under the new
        // spelling; a deployed one given another mode becomes the user's own.
        if (old != nullptr && !old->deployed && old->mode == rule.mode && old->program == rule.program) continue;
        saved = m_profile.WriteProfileString(section, rule.program, rule.mode) && saved;
    }
    return saved;
}

bool ProgramSettings::Save(const ProgramRuleSet& stored, const ProgramRuleSet& edited) {
    bool saved = true;
    // While the user's rules are unused, the dialog changes none of them.
    if (!stored.userRulesIgnored) {
        saved = SaveRules(names::ProgramsSection, stored.rules, edited.rules) && saved;
        saved = SaveRules(names::LongPressProgramsSection, stored.longPressRules, edited.longPressRules) && saved;
        saved = SaveRules(names::DoublePressProgramsSection, stored.doublePressRules, edited.doublePressRules) && saved;
    }
    if (stored.onlyListed != edited.onlyListed && !stored.onlyListedEnforced) {
        saved = m_profile.WriteProfileInt(names::Section, names::OnlyListedPrograms, edited.onlyListed ? 1 : 0) &&
                saved;
    }
    return saved;
}

namespace {

bool SameRule(const ProgramRule& a, const ProgramRule& b) {
    return a.program == b.program && a.mode == b.mode && a.deployed == b.deployed;
}

// One gesture's rules: the user's changes between `opened` and `edited`, over `current`.
std::vector<ProgramRule> ApplyRuleEdits(const std::vector<ProgramRule>& opened, const std::vector<ProgramRule>& edited,
                                        const std::vector<ProgramRule>& current) {
    std::vector<ProgramRule> result;
    for (const ProgramRule& rule : edited) {
        const ProgramRule* before = FindProgramRule(opened, rule.program);
        const ProgramRule* now = FindProgramRule(current, rule.program);
        const bool changed = before == nullptr || !SameRule(*before, rule);
        if (!changed || (now != nullptr && now->enforced)) {
            // Untouched, or enforced now: as it is now, or gone with the policy that held it.
            if (now != nullptr) result.push_back(*now);
        } else if (rule.deployed) {
            // The user took their own rule away: whatever is deployed now applies.
            if (now != nullptr && now->deployed) result.push_back(*now);
            else if (now != nullptr && now->deployedMode)
                result.push_back({now->program, *now->deployedMode, true, now->deployedMode});
        } else {
            ProgramRule own = rule;
            own.deployedMode = now != nullptr ? now->deployedMode : rule.deployedMode;
            result.push_back(std::move(own));
        }
    }
    for (const ProgramRule& now : current) {
        if (FindProgramRule(edited, now.program) != nullptr) continue;
        // Removed by the user: a deployed rule cannot be; a new one came with the refresh.
        const bool removed = FindProgramRule(opened, now.program) != nullptr;
        if (!removed || now.deployed) result.push_back(now);
    }
    return result;
}

}  // namespace

ProgramRuleSet ApplyProgramEdits(const ProgramRuleSet& opened, const ProgramRuleSet& edited,
                                 const ProgramRuleSet& current) {
    ProgramRuleSet result = current;
    const bool switchChanged = edited.onlyListed != opened.onlyListed;
    result.onlyListed = switchChanged && !current.onlyListedEnforced ? edited.onlyListed : current.onlyListed;
    // The user's rules have been turned off meanwhile: no rule edit counts.
    if (current.userRulesIgnored) return result;
    result.rules = ApplyRuleEdits(opened.rules, edited.rules, current.rules);
    result.longPressRules = ApplyRuleEdits(opened.longPressRules, edited.longPressRules, current.longPressRules);
    result.doublePressRules = ApplyRuleEdits(opened.doublePressRules, edited.doublePressRules, current.doublePressRules);
    return result;
}

}  // namespace brelkin
