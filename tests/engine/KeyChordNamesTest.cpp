#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "engine/KeyChordNames.h"

namespace brelkin {
namespace {

struct NameCase {
    uint16_t key;
    ModifierMask modifiers;
    std::u16string text;
};

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buffer[12];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out;
}

void ExpectNames(const std::vector<NameCase>& cases) {
    for (const NameCase& c : cases) {
        EXPECT_EQ(Narrow(FormatKeyChord(c.key, c.modifiers)), Narrow(c.text))
            << "key 0x" << std::hex << c.key << " mask " << std::dec << c.modifiers;
    }
}

TEST(FormatKeyChord, Examples) {
    ExpectNames({
        {0x56, 3, u"Shift+Ctrl+V"},
        {0x46, 4, u"Alt+F"},
        {0x74, 0, u"F5"},
        {0x20, 2, u"Ctrl+Space"},
        {0x47, 15, u"Shift+Ctrl+Alt+Win+G"},
        {0x1B, 1, u"Shift+??"},
        {0, 7, u""},
        {0, 15, u""},
        {0, 0, u""},
        {0x41, 16, u"A"},
        {0x41, 0xFFF0, u"A"},
        {0x0D, 1, u"Shift+Enter"},
        {0x11, 2, u"Ctrl+??"},
        {0x09, 0, u"\t"},
        {0x5B, 8, u"Win+["},
    });
}

TEST(FormatKeyChord, FixedNames) {
    ExpectNames({
        {0x0D, 0, u"Enter"},  {0x20, 0, u"Space"}, {0x21, 0, u"PgUp"},   {0x22, 0, u"PgDn"},
        {0x23, 0, u"End"},    {0x24, 0, u"Home"},  {0x25, 0, u"Left"},   {0x26, 0, u"Up"},
        {0x27, 0, u"Right"},  {0x28, 0, u"Down"},  {0x29, 0, u"Select"}, {0x2D, 0, u"Insert"},
        {0x2E, 0, u"Delete"}, {0x70, 0, u"F1"},    {0x71, 0, u"F2"},     {0x72, 0, u"F3"},
        {0x73, 0, u"F4"},     {0x74, 0, u"F5"},    {0x75, 0, u"F6"},     {0x76, 0, u"F7"},
        {0x77, 0, u"F8"},     {0x78, 0, u"F9"},    {0x79, 0, u"F10"},    {0x7A, 0, u"F11"},
        {0x7B, 0, u"F12"},
    });
}

TEST(FormatKeyChord, KeysShownAsTheirCharacter) {
    ExpectNames({
        {0x30, 0, u"0"}, {0x39, 0, u"9"}, {0x41, 0, u"A"}, {0x5A, 0, u"Z"},
        {0x2A, 0, u"*"}, {0x2B, 0, u"+"}, {0x2C, 0, u","}, {0x2F, 0, u"/"},
        {0x5B, 0, u"["}, {0x5C, 0, u"\\"}, {0x5D, 0, u"]"}, {0x5F, 0, u"_"},
        {0x60, 0, u"`"}, {0x61, 0, u"a"}, {0x6F, 0, u"o"},
        {0x7C, 0, u"|"}, {0x7D, 0, u"}"}, {0x7E, 0, u"~"},
        {0xA0, 0, u"\u00A0"}, {0xBA, 0, u"\u00BA"}, {0xDE, 0, u"\u00DE"}, {0xFF, 0, u"\u00FF"},
        {0x08, 0, u"??"}, {0x10, 0, u"??"}, {0x12, 0, u"??"}, {0x1B, 0, u"??"},
        {0x7F, 0, u"??"}, {0x80, 0, u"??"}, {0x87, 0, u"??"}, {0x9F, 0, u"??"},
    });
}

// The printable rule up to 0xFF, code by code, under several C locales: a
// locale-dependent classification (isprint, iswprint) would differ somewhere.
TEST(FormatKeyChord, LatinOneRuleWhateverTheLocale) {
    const char* locales[] = {"C", "C.UTF-8", "en_US.UTF-8", "en_US.ISO-8859-1", "de_DE.ISO-8859-1", ""};
    for (const char* locale : locales) {
        if (std::setlocale(LC_ALL, locale) == nullptr) continue;
        for (unsigned code = 1; code <= 0xFF; ++code) {
            const bool printable = code == 0x09 || (code >= 0x20 && code <= 0x7E) || code >= 0xA0;
            const std::u16string text = FormatKeyChord(static_cast<uint16_t>(code), 0);
            const bool named = text.size() > 1 && text != u"??";
            if (named) continue;  // the fixed table (Enter, Space, ...)
            if (printable) {
                EXPECT_EQ(text, std::u16string(1, static_cast<char16_t>(code)))
                    << "code 0x" << std::hex << code << " locale " << locale;
            } else {
                EXPECT_EQ(text, u"??") << "code 0x" << std::hex << code << " locale " << locale;
            }
        }
    }
    std::setlocale(LC_ALL, "C");
}

TEST(FormatKeyChord, AboveLatinOne) {
    // Always one UTF-16 code unit or "??": never half a surrogate pair.
    ExpectNames({
        {0x0100, 0, u"\u0100"},
        {0x20AC, 4, u"Alt+\u20AC"},
        {0x4E00, 0, u"\u4E00"},
        {0xFF21, 0, u"\uFF21"},
        {0x200B, 0, u"??"},
        {0x202E, 0, u"??"},
        {0xFEFF, 0, u"??"},
        {0xD800, 0, u"??"},
        {0xDBFF, 1, u"Shift+??"},
        {0xDC00, 0, u"??"},
        {0xDFFF, 0, u"??"},
        {0xE000, 0, u"??"},
        {0xF8FF, 0, u"??"},
        {0xFDD0, 0, u"??"},
        {0xFFFE, 0, u"??"},
        {0xFFFF, 0, u"??"},
    });
}

}  // namespace
}  // namespace brelkin
