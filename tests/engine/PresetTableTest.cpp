#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

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

// The installer keeps its own list of the menu's modes for /PRESET= and its
// preset page; it must name the same modes in the same order as the menu.
TEST(PresetTable, TheInstallersModeListIsTheMenus) {
#ifndef BRELKIN_INSTALLER_PRESETS
    GTEST_SKIP() << "the native build checks the installer's list (it reads the source tree)";
#else
    std::ifstream file(BRELKIN_INSTALLER_PRESETS);
    ASSERT_TRUE(file) << "cannot read " << BRELKIN_INSTALLER_PRESETS;
    const std::regex item(R"re(^\s*!insertmacro \$\{ITEM\} "([^"]*)"\s*$)re");
    const std::regex first(R"re(^!define BRELKIN_FIRST_PRESET "([^"]*)"\s*$)re");
    std::vector<std::string> listed;
    std::string firstPreset, line;
    std::smatch match;
    while (std::getline(file, line)) {
        if (std::regex_match(line, match, item)) listed.push_back(match[1]);
        if (std::regex_match(line, match, first)) firstPreset = match[1];
    }
    std::vector<std::string> menu{"Joystick Button 1"};
    for (const ActionPreset& row : BuiltInPresets()) menu.push_back(Narrow(Text(row.Name)));
    EXPECT_EQ(listed, menu);
    EXPECT_EQ(firstPreset, Narrow(Text(BuiltInPresets()[0].Name)));
#endif
}

}  // namespace
}  // namespace brelkin
