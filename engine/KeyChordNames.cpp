#include "engine/KeyChordNames.h"

#include <iterator>

#include "engine/Texts.h"

namespace brelkin {

namespace {

// Keys whose name each language gives as its keyboards label them.
struct NamedKey {
    uint16_t key;
    unsigned textId;
};

constexpr NamedKey kNamedKeys[] = {
    {0x0D, IDS_KEY_ENTER}, {0x20, IDS_KEY_SPACE}, {0x21, IDS_KEY_PAGE_UP},   {0x22, IDS_KEY_PAGE_DOWN},
    {0x23, IDS_KEY_END},   {0x24, IDS_KEY_HOME},  {0x25, IDS_KEY_LEFT},      {0x26, IDS_KEY_UP},
    {0x27, IDS_KEY_RIGHT}, {0x28, IDS_KEY_DOWN},  {0x29, IDS_KEY_SELECT},    {0x2D, IDS_KEY_INSERT},
    {0x2E, IDS_KEY_DELETE},
};

constexpr const char16_t* kFunctionKeys[] = {
    u"F1", u"F2", u"F3", u"F4", u"F5", u"F6", u"F7", u"F8", u"F9", u"F10", u"F11", u"F12",
};
constexpr uint16_t VkF1 = 0x70;

struct ModifierText {
    ModifierMask bit;
    unsigned textId;
};

constexpr ModifierText kModifierTexts[] = {
    {ModShift, IDS_KEY_SHIFT}, {ModCtrl, IDS_KEY_CTRL}, {ModAlt, IDS_KEY_ALT}, {ModWin, IDS_KEY_WIN},
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

std::u16string FormatKeyChord(uint16_t key, ModifierMask modifiers, Language language) {
    std::u16string text;
    if (key == 0) return text;

    for (const ModifierText& modifier : kModifierTexts) {
        if (modifiers & modifier.bit) {
            text += TextLine(modifier.textId, language);
            text += u'+';
        }
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) {
            text += TextLine(named.textId, language);
            return text;
        }
    }
    if (key >= VkF1 && key < VkF1 + std::size(kFunctionKeys)) {
        text += kFunctionKeys[key - VkF1];
        return text;
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
