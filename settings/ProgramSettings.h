#pragma once
// The program rules and "Send keys only to these programs" in the profile:
// one text value per rule in the Programs section under Settings, named by
// the program's file name and holding the mode's name, and the switch
// OnlyListedPrograms beside the other settings.
#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/ProgramRules.h"
#include "platform/Profile.h"

namespace brelkin {

class ProgramSettings {
public:
    // More rules than any practice has programs; a damaged or hostile key
    // with thousands of values costs no more than this.
    static constexpr std::size_t MaxRules = 256;
    // A rule's name: a file name, and a title pattern after '|'. A longer
    // file name or pattern is no rule the Programs dialog could write, and
    // is not loaded.
    static constexpr std::size_t MaxProgramNameLength = MaxRuleNameLength;

    explicit ProgramSettings(IProfile& profile) : m_profile(profile) {}

    // The stored rules in the store's order. A value that is not text reads
    // as a rule naming no mode; it is kept and shown, never rewritten unless
    // the user changes it. A rule that comes from the machine's defaults is
    // marked deployed (and enforced, from an enforced policy); one of the
    // user's own keeps the deployed mode beneath it. A name that only a
    // policy's unusable rule holds is left out. While UserProgramRules is 0
    // the set ignores the user's rules, and a deployed rule beneath one of
    // them takes its place.
    ProgramRuleSet Load();

    // Writes only what differs between `stored` (what was loaded or last
    // saved) and `edited`: a removed rule is deleted, a new or changed one
    // written, the switch written when it changed. Deployed rules are never
    // written; one that the user gave another mode (no longer deployed) is
    // written as the user's own, and a user's rule that went back to deployed
    // is deleted. The long and the double press's rules are saved so in
    // their own sections. An enforced switch is never written, and no rule while
    // `stored` ignores the user's rules. True when every write did.
    bool Save(const ProgramRuleSet& stored, const ProgramRuleSet& edited);

private:
    bool SaveRules(std::u16string_view section, const std::vector<ProgramRule>& storedRules,
                   const std::vector<ProgramRule>& editedRules);
    std::vector<ProgramRule> LoadRules(std::u16string_view section, bool userRulesIgnored);
    // Whether the user's own store holds the rule at all, readable or not.
    bool HeldByUser(std::u16string_view section, std::u16string_view program);

    IProfile& m_profile;
};

// What OK of the Programs dialog saves: the changes the user made between
// `opened` (the rules it opened with) and `edited`, over `current`, the rules
// in force at OK (a policy refresh may have come in between). A rule the user
// did not touch is taken as it is now, one a policy enforces now is kept as it
// is, and the switch changes only when the user changed it and no policy
// enforces it now. Equal to `edited` when nothing was refreshed.
ProgramRuleSet ApplyProgramEdits(const ProgramRuleSet& opened, const ProgramRuleSet& edited,
                                 const ProgramRuleSet& current);

}  // namespace brelkin
