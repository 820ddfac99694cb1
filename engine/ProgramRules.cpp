#include "engine/ProgramRules.h"

namespace brelkin {

namespace {

char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    // Latin-1 small letters; U+00F7 is the division sign, not a letter.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    return c;
}

}  // namespace

bool ProgramRuleSet::operator==(const ProgramRuleSet& other) const {
    if (onlyListed != other.onlyListed || onlyListedEnforced != other.onlyListedEnforced ||
        userRulesIgnored != other.userRulesIgnored || rules.size() != other.rules.size())
        return false;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const ProgramRule& a = rules[i];
        const ProgramRule& b = other.rules[i];
        if (a.program != b.program || a.mode != b.mode || a.deployed != b.deployed ||
            a.deployedMode != b.deployedMode || a.enforced != b.enforced)
            return false;
    }
    return true;
}

bool SameProgramName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

std::u16string_view ImageFileName(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string_view ModeName(const ActionPreset& row) {
    std::size_t length = 0;
    while (length < NameLength && row.Name[length] != u'\0') ++length;
    return std::u16string_view(row.Name, length);
}

TriggerMode KeyModeNamed(const PresetTable& presets, std::u16string_view modeName) {
    for (int row = 0; row < PresetRowCount; ++row) {
        if (ModeName(presets[static_cast<std::size_t>(row)]) == modeName) return row + 1;
    }
    return 0;
}

ProgramNameCheck CheckProgramName(std::u16string_view typed) {
    const std::u16string_view blanks = u" \t\"";
    const std::size_t first = typed.find_first_not_of(blanks);
    if (first == std::u16string_view::npos) return {{}, ProgramNameFault::Empty};
    std::u16string_view text = typed.substr(first, typed.find_last_not_of(blanks) - first + 1);
    const bool drivePath = text.size() > 3 && text[1] == u':' && (text[2] == u'\\' || text[2] == u'/') &&
                           FoldCase(text[0]) >= u'A' && FoldCase(text[0]) <= u'Z';
    const bool uncPath = text.size() > 2 && text.substr(0, 2) == u"\\\\";
    if (drivePath || uncPath) text = ImageFileName(text);
    if (text.empty()) return {{}, ProgramNameFault::Empty};
    for (char16_t c : text) {
        if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos)
            return {{}, ProgramNameFault::Character};
    }
    // Windows drops a dot at the end of a file name, so the name would never
    // be the program's.
    if (text.back() == u'.') return {{}, ProgramNameFault::Character};
    std::u16string name(text);
    if (name.find(u'.') == std::u16string::npos) name += u".exe";
    if (name.size() > MaxProgramFileNameLength) return {{}, ProgramNameFault::TooLong};
    return {std::move(name), ProgramNameFault::None};
}

const ProgramRule* FindProgramRule(const std::vector<ProgramRule>& rules, std::u16string_view program) {
    for (const ProgramRule& rule : rules) {
        if (SameProgramName(rule.program, program)) return &rule;
    }
    return nullptr;
}

}  // namespace brelkin
