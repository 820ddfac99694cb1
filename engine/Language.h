#pragma once
// The languages Brelkin speaks and how one is chosen: the Language setting
// when it names one of them, else the first of Windows' preferred display
// languages that does, else English. Tags are matched as Windows writes them
// ("de-DE", "pt-BR", "zh-Hans-CN") or as an administrator types them ("de",
// "DE_de"): a regional form falls back to its language.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brelkin {

enum class Language : uint8_t {
    English,
    German,
    French,
    Spanish,
    Italian,
    Dutch,
    Polish,
    PortugueseBrazil,
    Japanese,
    ChineseSimplified,
};
constexpr std::size_t LanguageCount = 10;

// The tag the support log and the installer name it by ("pt-BR").
const char* LanguageTag(Language language);
// The Windows language id of its resources (LANGID: primary | sub << 10).
uint16_t LanguageResourceId(Language language);

// The language a tag names, if Brelkin speaks it. Case and "_" or "-" do not
// matter; a script or region we do not speak (zh-Hant, zh-TW) names none.
bool MatchLanguageTag(std::u16string_view tag, Language& language);
// The same for a Windows LANGID, where only the id is known (Windows XP).
bool MatchLanguageId(uint16_t langId, Language& language);

struct LanguageChoice {
    Language language = Language::English;
    enum class Source { Setting, Windows, Fallback } source = Source::Fallback;
    bool settingUnknown = false;  // a Language value that names no language we speak
    std::u16string windowsTag;    // the preferred display language that chose it, if any
};

// `setting` empty: no Language value. `preferred`: Windows' preferred display
// languages, first the one in use.
LanguageChoice ChooseLanguage(std::u16string_view setting, const std::vector<std::u16string>& preferred);

}  // namespace brelkin
