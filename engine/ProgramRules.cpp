#include "engine/ProgramRules.h"

namespace brelkin {

namespace {

// Windows titles come in every script; these ranges cover the letters of
// the languages Brelkin speaks that have case.
char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    // Latin-1 small letters; U+00F7 is the division sign, not a letter.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    // Latin Extended-A pairs capital and small letter as even and odd, apart
    // from the dotless i and the block around the kra.
    if (c >= 0x100 && c <= 0x137 && (c & 1) != 0 && c != 0x131) return static_cast<char16_t>(c - 1);
    if (c >= 0x139 && c <= 0x148 && (c & 1) == 0) return static_cast<char16_t>(c - 1);
    if (c >= 0x14A && c <= 0x177 && (c & 1) != 0) return static_cast<char16_t>(c - 1);
    if (c == 0x17A || c == 0x17C || c == 0x17E) return static_cast<char16_t>(c - 1);
    // Greek and Cyrillic small letters (the final sigma folds as sigma).
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3C9) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

bool IsWildcard(char16_t c) {
    return c == u'*' || c == u'?';
}

}  // namespace

bool ProgramRuleSet::operator==(const ProgramRuleSet& other) const {
    auto same = [](const std::vector<ProgramRule>& x, const std::vector<ProgramRule>& y) {
        if (x.size() != y.size()) return false;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const ProgramRule& a = x[i];
            const ProgramRule& b = y[i];
            if (a.program != b.program || a.mode != b.mode || a.deployed != b.deployed ||
                a.deployedMode != b.deployedMode || a.enforced != b.enforced)
                return false;
        }
        return true;
    };
    return onlyListed == other.onlyListed && onlyListedEnforced == other.onlyListedEnforced &&
           userRulesIgnored == other.userRulesIgnored &&
           same(rules, other.rules) && same(longPressRules, other.longPressRules) &&
           same(doublePressRules, other.doublePressRules);
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
    const std::size_t bar = typed.find(u'|');
    if (bar != std::u16string_view::npos) {
        const std::u16string_view pattern = typed.substr(bar + 1);
        ProgramNameCheck program = CheckProgramName(typed.substr(0, bar));
        if (program.fault != ProgramNameFault::None) return program;
        switch (CheckTitlePattern(pattern)) {
        case TitlePatternFault::None: break;
        case TitlePatternFault::Character: return {{}, ProgramNameFault::Character};
        case TitlePatternFault::TooLong: return {{}, ProgramNameFault::TooLong};
        }
        // "chrome.exe|" typed means the program's every window.
        if (!pattern.empty()) {
            program.name += u'|';
            program.name += pattern;
        }
        return program;
    }
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

TitlePatternFault CheckTitlePattern(std::u16string_view pattern) {
    for (char16_t c : pattern) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return TitlePatternFault::Character;
    }
    return pattern.size() > MaxTitlePatternLength ? TitlePatternFault::TooLong : TitlePatternFault::None;
}

RuleName SplitRuleName(std::u16string_view name) {
    const std::size_t bar = name.find(u'|');
    if (bar == std::u16string_view::npos) return {name, {}, false};
    return {name.substr(0, bar), name.substr(bar + 1), true};
}

bool TitleMatches(std::u16string_view pattern, std::u16string_view title) {
    // Greedy with one point of return: a mismatch after a '*' lets that star
    // take one more character. Enough for '*' and '?', in time p * t at worst.
    std::size_t p = 0, t = 0;
    std::size_t starP = std::u16string_view::npos, starT = 0;
    while (t < title.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(title[t]))) {
            ++p;
            ++t;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

std::size_t PatternWeight(std::u16string_view pattern) {
    std::size_t weight = 0;
    for (char16_t c : pattern) weight += IsWildcard(c) ? 0 : 1;
    return weight;
}

bool NameSortsBefore(std::u16string_view a, std::u16string_view b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const char16_t x = FoldCase(a[i]), y = FoldCase(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

const ProgramRule* FindProgramRule(const std::vector<ProgramRule>& rules, std::u16string_view program) {
    for (const ProgramRule& rule : rules) {
        if (SameProgramName(rule.program, program)) return &rule;
    }
    return nullptr;
}

}  // namespace brelkin
