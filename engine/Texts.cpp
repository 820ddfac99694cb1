#include "engine/Texts.h"

#include <atomic>

namespace brelkin {

namespace {

struct TextLineEntry {
    unsigned id;
    const char16_t* line;
};

// Each language file is a resource script; outside the resource compiler
// only its BRELKIN_TEXT lines remain.
#define BRELKIN_TEXT(id, line) {id, u"" line},
constexpr TextLineEntry kEnglish[] = {
#include "resources/lang/en.rc"
};
constexpr TextLineEntry kGerman[] = {
#include "resources/lang/de.rc"
};
constexpr TextLineEntry kFrench[] = {
#include "resources/lang/fr.rc"
};
constexpr TextLineEntry kSpanish[] = {
#include "resources/lang/es.rc"
};
constexpr TextLineEntry kItalian[] = {
#include "resources/lang/it.rc"
};
constexpr TextLineEntry kDutch[] = {
#include "resources/lang/nl.rc"
};
constexpr TextLineEntry kPolish[] = {
#include "resources/lang/pl.rc"
};
constexpr TextLineEntry kPortugueseBrazil[] = {
#include "resources/lang/pt-BR.rc"
};
constexpr TextLineEntry kJapanese[] = {
#include "resources/lang/ja.rc"
};
constexpr TextLineEntry kChineseSimplified[] = {
#include "resources/lang/zh-CN.rc"
};
#undef BRELKIN_TEXT

struct Table {
    const TextLineEntry* begin;
    const TextLineEntry* end;
};

template <std::size_t N>
constexpr Table TableOf(const TextLineEntry (&entries)[N]) {
    return {entries, entries + N};
}

// In the order of Language.
constexpr Table kTables[LanguageCount] = {
    TableOf(kEnglish), TableOf(kGerman),  TableOf(kFrench),           TableOf(kSpanish),  TableOf(kItalian),
    TableOf(kDutch),   TableOf(kPolish),  TableOf(kPortugueseBrazil), TableOf(kJapanese), TableOf(kChineseSimplified),
};

// Set once before the frame exists, read by the chord sender's thread too.
std::atomic<Language> g_display{Language::English};

const char16_t* Find(const Table& table, unsigned id) {
    for (const TextLineEntry* entry = table.begin; entry != table.end; ++entry) {
        if (entry->id == id) return entry->line;
    }
    return nullptr;
}

}  // namespace

void SetDisplayLanguage(Language language) {
    g_display = language;
}

Language DisplayLanguage() {
    return g_display;
}

std::u16string_view TextLine(unsigned id, Language language) {
    const auto index = static_cast<std::size_t>(language);
    if (index < LanguageCount) {
        if (const char16_t* line = Find(kTables[index], id)) return line;
    }
    const char16_t* english = Find(kTables[0], id);
    return english ? english : u"";
}

std::u16string Translate(unsigned id) {
    return std::u16string(TextLine(id, DisplayLanguage()));
}

std::u16string TextArg::In(Language language) const {
    if (m_id == 0) return m_words;
    if (m_words.empty()) return std::u16string(TextLine(m_id, language));
    return FormatText(TextLine(m_id, language), {m_words});
}

std::u16string Text::In(Language language) const {
    if (m_id == 0) return {};
    std::vector<std::u16string> values;
    values.reserve(m_args.size());
    for (const TextArg& arg : m_args) values.push_back(arg.In(language));
    return FormatText(TextLine(m_id, language), values);
}

std::u16string FormatText(std::u16string_view line, const std::vector<std::u16string>& values) {
    std::u16string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == u'{' && i + 2 < line.size() && line[i + 1] >= u'1' && line[i + 1] <= u'9' &&
            line[i + 2] == u'}') {
            const std::size_t n = static_cast<std::size_t>(line[i + 1] - u'1');
            if (n < values.size()) {
                out += values[n];
                i += 2;
                continue;
            }
        }
        out += line[i];
    }
    return out;
}

}  // namespace brelkin
