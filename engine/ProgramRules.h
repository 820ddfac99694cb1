#pragma once
// Rules that bind a program, by the file name of its executable, to a key
// mode, as the user keeps them: the mode by its name. A rule's name may add a
// pattern for the title of the program's window, "chrome.exe|*Imaging*", so
// that two windows of one program (a browser's, a remote-desktop client's)
// get different modes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ActionPreset.h"

namespace brelkin {

struct ProgramRule {
    std::u16string program;  // the rule's name: "dexis.exe", or "chrome.exe|*Imaging*"
    std::u16string mode;     // a preset's menu name or "Custom Setting"
    // Set by the administrator (the machine's Programs key) and not stored in
    // the user's key: it cannot be removed, and another mode makes it the
    // user's own rule, which wins.
    bool deployed = false;
    // The administrator's mode for this program, also under a rule of the
    // user's own: what applies again once the user's rule is removed.
    std::optional<std::u16string> deployedMode{};
    // Set by an enforced policy (and so deployed too): the user can neither
    // remove it nor give it another mode.
    bool enforced = false;
};

// What the Programs dialog edits and the settings keep.
struct ProgramRuleSet {
    std::vector<ProgramRule> rules;
    // "Send keys only to these programs".
    bool onlyListed = false;
    // Set by an enforced policy: the user cannot change it.
    bool onlyListedEnforced = false;
    // The administrator allows no rules of the user's own: those that are not
    // deployed are shown, and neither applied nor changed.
    bool userRulesIgnored = false;
    // A program's own mode for its long and its double press, each apart
    // from the press's rules; read only, the Programs dialog keeps them as
    // they are.
    std::vector<ProgramRule> longPressRules;
    std::vector<ProgramRule> doublePressRules;

    bool operator==(const ProgramRuleSet& other) const;
};

// Windows compares file names without regard to case; this folds ASCII and
// Latin-1 letters, which covers the names imaging programs use.
bool SameProgramName(std::u16string_view a, std::u16string_view b);

// The file name at the end of an image path: "C:\\Dexis\\dexis.exe" gives "dexis.exe".
std::u16string_view ImageFileName(std::u16string_view path);

// The name a rule gives the mode of `row`: its name up to the NUL, or the
// whole field if it lacks one.
std::u16string_view ModeName(const ActionPreset& row);

// The key mode (1..PresetRowCount) whose row has the name `modeName`, compared unit by
// unit as the stored mode is; 0 when it names none (the joystick included).
TriggerMode KeyModeNamed(const PresetTable& presets, std::u16string_view modeName);

// What the Programs dialog accepts as a program's name.
enum class ProgramNameFault {
    None,
    Empty,
    Character,  // one that a file name cannot hold, or a dot at the end
    TooLong,
};
struct ProgramNameCheck {
    std::u16string name;  // the name to store; empty unless fault is None
    ProgramNameFault fault = ProgramNameFault::None;
};
constexpr std::size_t MaxProgramFileNameLength = 260;
// A title pattern: longer than any title a user would shorten into one.
constexpr std::size_t MaxTitlePatternLength = 260;
// A rule's whole name: the file name, the separator and the pattern.
constexpr std::size_t MaxRuleNameLength = MaxProgramFileNameLength + 1 + MaxTitlePatternLength;
// The program part: the typed text without surrounding blanks and quotes; a
// full path (from a drive letter or \\server) gives its file name, as Browse
// does. A name without an extension gets ".exe", since the rule could never
// match otherwise. Text after the first '|' is a title pattern, kept as typed.
ProgramNameCheck CheckProgramName(std::u16string_view typed);
enum class TitlePatternFault {
    None,
    Character,  // a control character: no title holds one
    TooLong,
};
TitlePatternFault CheckTitlePattern(std::u16string_view pattern);

// A rule's name split at its first '|' (no file name holds one): the
// program's file name and, for a title rule, the pattern.
struct RuleName {
    std::u16string_view program;
    std::u16string_view pattern;
    bool titled = false;
};
RuleName SplitRuleName(std::u16string_view name);
// Whether `pattern` matches the whole of `title` without regard to case: '*'
// stands for any text, '?' for one character. Allocates nothing.
bool TitleMatches(std::u16string_view pattern, std::u16string_view title);
// How much of a title a pattern pins down: its characters other than '*' and '?'.
std::size_t PatternWeight(std::u16string_view pattern);
// Orders names without regard to case, as the Programs dialog lists them.
bool NameSortsBefore(std::u16string_view a, std::u16string_view b);

// The rule for `program` in `rules`, or null.
const ProgramRule* FindProgramRule(const std::vector<ProgramRule>& rules, std::u16string_view program);

}  // namespace brelkin
