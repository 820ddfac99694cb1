#include "engine/Language.h"

namespace brelkin {

namespace {

struct LanguageRow {
    Language language;
    const char* tag;
    const char* primary;  // the tag's language subtag, lower case
    uint16_t langId;
};

// LANGIDs as winnt.h builds them: MAKELANGID(LANG_x, SUBLANG_x).
constexpr LanguageRow kLanguages[LanguageCount] = {
    {Language::English, "en-US", "en", 0x0409},
    {Language::German, "de-DE", "de", 0x0407},
    {Language::French, "fr-FR", "fr", 0x040C},
    {Language::Spanish, "es-ES", "es", 0x0C0A},
    {Language::Italian, "it-IT", "it", 0x0410},
    {Language::Dutch, "nl-NL", "nl", 0x0413},
    {Language::Polish, "pl-PL", "pl", 0x0415},
    {Language::PortugueseBrazil, "pt-BR", "pt", 0x0416},
    {Language::Japanese, "ja-JP", "ja", 0x0411},
    {Language::ChineseSimplified, "zh-CN", "zh", 0x0804},
};

std::string LowerAscii(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c > 0x7E) return {};  // no tag holds anything else
        char a = static_cast<char>(c);
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        out += a == '_' ? '-' : a;
    }
    return out;
}

std::vector<std::string> Subtags(const std::string& tag) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dash = tag.find('-', start);
        parts.push_back(tag.substr(start, dash - start));
        if (dash == std::string::npos) return parts;
        start = dash + 1;
    }
}

// Chinese is spoken here in its simplified script: zh-Hans and the regions
// that write it (mainland China, Singapore), or bare "zh".
bool IsSimplifiedChinese(const std::vector<std::string>& parts) {
    if (parts.size() == 1) return true;
    const std::string& second = parts[1];
    if (second == "hans") return true;
    if (second == "hant") return false;
    return second == "cn" || second == "sg";
}

}  // namespace

const char* LanguageTag(Language language) {
    return kLanguages[static_cast<std::size_t>(language)].tag;
}

uint16_t LanguageResourceId(Language language) {
    return kLanguages[static_cast<std::size_t>(language)].langId;
}

bool MatchLanguageTag(std::u16string_view tag, Language& language) {
    const std::string lower = LowerAscii(tag);
    if (lower.empty() || lower.size() > 84) return false;
    const std::vector<std::string> parts = Subtags(lower);
    for (const LanguageRow& row : kLanguages) {
        if (parts[0] != row.primary) continue;
        if (row.language == Language::ChineseSimplified && !IsSimplifiedChinese(parts)) return false;
        language = row.language;
        return true;
    }
    return false;
}

bool MatchLanguageId(uint16_t langId, Language& language) {
    const uint16_t primary = langId & 0x3FF;
    for (const LanguageRow& row : kLanguages) {
        if ((row.langId & 0x3FF) != primary) continue;
        // Chinese: SUBLANG_CHINESE_SIMPLIFIED (2) and SUBLANG_CHINESE_SINGAPORE (4).
        const uint16_t sub = langId >> 10;
        if (row.language == Language::ChineseSimplified && sub != 2 && sub != 4) return false;
        language = row.language;
        return true;
    }
    return false;
}

LanguageChoice ChooseLanguage(std::u16string_view setting, const std::vector<std::u16string>& preferred) {
    LanguageChoice choice;
    if (!setting.empty()) {
        if (MatchLanguageTag(setting, choice.language)) {
            choice.source = LanguageChoice::Source::Setting;
            return choice;
        }
        choice.settingUnknown = true;
    }
    for (const std::u16string& tag : preferred) {
        if (MatchLanguageTag(tag, choice.language)) {
            choice.source = LanguageChoice::Source::Windows;
            choice.windowsTag = tag;
            return choice;
        }
    }
    choice.language = Language::English;
    choice.source = LanguageChoice::Source::Fallback;
    return choice;
}

}  // namespace brelkin
