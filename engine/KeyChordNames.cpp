#include "engine/KeyChordNames.h"

namespace brelkin {

namespace {

struct NamedKey {
    uint16_t key;
    const char16_t* name;
};

constexpr NamedKey kNamedKeys[] = {
    {0x0D, u"Enter"}, {0x20, u"Space"}, {0x21, u"PgUp"},   {0x22, u"PgDn"},
    {0x23, u"End"},   {0x24, u"Home"},  {0x25, u"Left"},   {0x26, u"Up"},
    {0x27, u"Right"}, {0x28, u"Down"},  {0x29, u"Select"}, {0x2D, u"Insert"},
    {0x2E, u"Delete"},
    {0x70, u"F1"}, {0x71, u"F2"}, {0x72, u"F3"},  {0x73, u"F4"},  {0x74, u"F5"},  {0x75, u"F6"},
    {0x76, u"F7"}, {0x77, u"F8"}, {0x78, u"F9"},  {0x79, u"F10"}, {0x7A, u"F11"}, {0x7B, u"F12"},
};

struct ModifierText {
    ModifierMask bit;
    const char16_t* text;
};

constexpr ModifierText kModifierTexts[] = {
    {ModShift, u"Shift+"}, {ModCtrl, u"Ctrl+"}, {ModAlt, u"Alt+"}, {ModWin, u"Win+"},
};

struct CodeRange {
    char16_t first;
    char16_t last;
};

// Code units above the Latin-1 range that are not shown as themselves: the
// invisible format and separator characters, the surrogates (half a character
// each, so the text would not be valid UTF-16), the private-use area and the
// noncharacters. Everything else in the BMP counts as printable; these codes
// only come from settings edited outside the program, so a coarse but fixed
// classification is enough, and it must not depend on the C library.
constexpr CodeRange kUnprintableAboveLatin1[] = {
    {0x034F, 0x034F},  // combining grapheme joiner
    {0x0600, 0x0605},  // Arabic number signs (format)
    {0x061C, 0x061C},  // Arabic letter mark
    {0x06DD, 0x06DD},
    {0x070F, 0x070F},
    {0x0890, 0x0891},
    {0x08E2, 0x08E2},
    {0x115F, 0x1160},  // Hangul fillers
    {0x17B4, 0x17B5},
    {0x180B, 0x180F},  // Mongolian variation selectors and vowel separator
    {0x200B, 0x200F},  // zero-width spaces, joiners and direction marks
    {0x2028, 0x202E},  // line and paragraph separators, embeddings
    {0x2060, 0x206F},  // word joiner, invisible operators, deprecated formats
    {0x3164, 0x3164},  // Hangul filler
    {0xD800, 0xDFFF},  // surrogates
    {0xE000, 0xF8FF},  // private use
    {0xFDD0, 0xFDEF},  // noncharacters
    {0xFE00, 0xFE0F},  // variation selectors
    {0xFEFF, 0xFEFF},  // byte order mark
    {0xFFA0, 0xFFA0},  // halfwidth Hangul filler
    {0xFFF0, 0xFFFB},  // unassigned specials, interlinear annotation
    {0xFFFE, 0xFFFF},  // noncharacters
};

}  // namespace

bool IsPrintableCodeUnit(char16_t codeUnit) {
    if (codeUnit <= 0xFF) {
        // Tab, ASCII graphics and space, and the Latin-1 range above the C1
        // controls (no-break space and soft hyphen included).
        return codeUnit == 0x09 || (codeUnit >= 0x20 && codeUnit <= 0x7E) || codeUnit >= 0xA0;
    }
    for (const CodeRange& range : kUnprintableAboveLatin1) {
        if (codeUnit >= range.first && codeUnit <= range.last) return false;
    }
    return true;
}

std::u16string FormatKeyChord(uint16_t key, ModifierMask modifiers) {
    std::u16string text;
    if (key == 0) return text;

    for (const ModifierText& modifier : kModifierTexts) {
        if (modifiers & modifier.bit) text += modifier.text;
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) {
            text += named.name;
            return text;
        }
    }
    const char16_t codeUnit = static_cast<char16_t>(key);
    if (IsPrintableCodeUnit(codeUnit)) {
        text += codeUnit;
    } else {
        text += u"??";
    }
    return text;
}

}  // namespace brelkin
