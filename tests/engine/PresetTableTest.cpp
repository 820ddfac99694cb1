#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/ActionPreset.h"

namespace brelkin {
namespace {

std::u16string Text(const char16_t (&field)[NameLength]) {
    std::u16string text;
    for (char16_t c : field) {
        if (c == 0) return text;
        text += c;
    }
    ADD_FAILURE() << "field has no terminating NUL";
    return text;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

struct RowTexts {
    const char* name;
    const char* displayText;
};

// The texts by which the tray menu shows the rows, the tooltip names them and
// the settings store finds the saved mode again.
const RowTexts kTexts[PresetRowCount] = {
    {"Schick (Alt+F,Alt+T)", "Alt+F,Alt+T"},
    {"Schick (C,U)", "C,U"},
    {"Kodak (F5)", "F5"},
    {"SIDEXIS (Ctrl+Shift+V)", "Ctrl+Shift+V"},
    {"XDR (Ctrl+I)", "Ctrl+I"},
    {"Dentrix image (Alt+C,Alt+S)", "Alt+C,Alt+S"},
    {"DEXIS (Space,T)", "Space,T"},
    {"CADI (G)", "G"},
    {"Vixwin (Alt+G,Space)", "Vixwin"},
    {"Alt+F,Alt+S", "Alt+F,Alt+S"},
    {"Space", "Space"},
    {"Enter", "Enter"},
    {"Custom Setting", "Custom Setting"},
};

TEST(PresetTable, NamesAndDisplayTexts) {
    const PresetTable& table = BuiltInPresets();
    for (int row = 0; row < PresetRowCount; ++row) {
        EXPECT_EQ(Narrow(Text(table[row].Name)), kTexts[row].name) << "row " << row;
        EXPECT_EQ(Narrow(Text(table[row].DisplayText)), kTexts[row].displayText) << "row " << row;
    }
}

TEST(PresetTable, NamesIdentifyTheModeUniquely) {
    std::set<std::u16string> names;
    for (const ActionPreset& row : BuiltInPresets()) {
        const std::u16string name = Text(row.Name);
        EXPECT_FALSE(name.empty());
        EXPECT_NE(name, u"Joystick Button 1");
        EXPECT_TRUE(names.insert(name).second) << Narrow(name);
    }
}

}  // namespace
}  // namespace brelkin
