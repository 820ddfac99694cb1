#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/KeyChordNames.h"
#include "engine/Language.h"
#include "engine/Texts.h"
#include "engine/Utf8.h"

namespace brelkin {
namespace {

constexpr bool None = false;

struct TagCase {
    const char* label;
    std::u16string tag;
    bool matches;
    Language language;
};

TEST(Language, TagsAsWindowsAndAdministratorsWriteThem) {
    const TagCase cases[] = {
        {"language alone", u"de", true, Language::German},
        {"region", u"de-DE", true, Language::German},
        {"other region of the language", u"de-AT", true, Language::German},
        {"case and underscore", u"PT_br", true, Language::PortugueseBrazil},
        {"Portugal falls back to the Portuguese we speak", u"pt-PT", true, Language::PortugueseBrazil},
        {"Chinese, simplified script", u"zh-Hans-CN", true, Language::ChineseSimplified},
        {"bare Chinese", u"zh", true, Language::ChineseSimplified},
        {"traditional script is not spoken", u"zh-Hant-TW", None, Language::English},
        {"Taiwan is not spoken", u"zh-TW", None, Language::English},
        {"a language we do not speak", u"sv-SE", None, Language::English},
        {"a prefix of a tag is no tag", u"d", None, Language::English},
        {"a longer subtag is no tag", u"deu", None, Language::English},
        {"empty", u"", None, Language::English},
        {"not ASCII", u"d\u00e9", None, Language::English},
        {"overlong", std::u16string(200, u'a'), None, Language::English},
    };
    for (const TagCase& c : cases) {
        Language language = Language::English;
        EXPECT_EQ(MatchLanguageTag(c.tag, language), c.matches) << c.label;
        if (c.matches) {
            EXPECT_EQ(language, c.language) << c.label;
        }
    }
}

TEST(Language, TheSettingWinsThenWindowsThenEnglish) {
    using Source = LanguageChoice::Source;
    const struct {
        const char* label;
        std::u16string setting;
        std::vector<std::u16string> preferred;
        Language language;
        Source source;
        bool unknown;
    } cases[] = {
        {"setting over Windows", u"de", {u"fr-FR"}, Language::German, Source::Setting, false},
        {"no setting: Windows", u"", {u"ja-JP", u"en-US"}, Language::Japanese, Source::Windows, false},
        {"first preferred we speak", u"", {u"sv-SE", u"zh-TW", u"it-IT"}, Language::Italian, Source::Windows, false},
        {"unknown setting falls back to Windows", u"xx-YY", {u"nl-NL"}, Language::Dutch, Source::Windows, true},
        {"nothing we speak: English", u"klingon", {u"sv-SE"}, Language::English, Source::Fallback, true},
        {"nothing at all: English", u"", {}, Language::English, Source::Fallback, false},
    };
    for (const auto& c : cases) {
        const LanguageChoice choice = ChooseLanguage(c.setting, c.preferred);
        EXPECT_EQ(choice.language, c.language) << c.label;
        EXPECT_EQ(choice.source, c.source) << c.label;
        EXPECT_EQ(choice.settingUnknown, c.unknown) << c.label;
    }
}

// The translated text keeps the values in the order its language needs, and
// a value that is itself a text comes in the same language.
TEST(Texts, ValuesAndNestedTextsInTheReadersLanguage) {
    const Text text(IDS_LIBRARY_WRONG_BITNESS, {u"C:\\x\\emDLL.dll", TextArg::Translated(IDS_BITS_64),
                                                TextArg::Translated(IDS_BITS_32), u"BrelkinSetup-x64.exe"});
    EXPECT_EQ(ToUtf8(text.English()),
              "C:\\x\\emDLL.dll is a 64-bit library; this Brelkin is 32-bit: install BrelkinSetup-x64.exe.");
    EXPECT_EQ(ToUtf8(text.In(Language::German)),
              "C:\\x\\emDLL.dll ist eine 64-Bit-Bibliothek; dieses Brelkin ist die 32-Bit-Version: "
              "Installieren Sie BrelkinSetup-x64.exe.");
    EXPECT_EQ(ToUtf8(FormatText(u"{2} before {1}, {3} stays", {u"a", u"b"})), "b before a, {3} stays");
    EXPECT_EQ(ToUtf8(std::u16string(TextLine(99999, Language::German))), "");
}

TEST(Texts, KeyNamesFollowTheLanguagesKeyboards) {
    const struct {
        Language language;
        uint16_t key;
        ModifierMask modifiers;
        const char* text;
    } cases[] = {
        {Language::English, 0x0D, ModCtrl | ModShift, "Shift+Ctrl+Enter"},
        {Language::German, 0x0D, ModCtrl | ModShift, "Umschalt+Strg+Eingabe"},
        {Language::German, 0x20, ModAlt, "Alt+Leertaste"},
        {Language::French, 0x2E, ModShift, "Maj+Suppr"},
        {Language::Japanese, 0x74, ModCtrl, "Ctrl+F5"},
        {Language::Spanish, 'V', ModCtrl, "Ctrl+V"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToUtf8(FormatKeyChord(c.key, c.modifiers, c.language)), c.text) << LanguageTag(c.language);
    }
}

}  // namespace
}  // namespace brelkin
