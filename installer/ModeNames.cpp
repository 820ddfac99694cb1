// brelkin-mode-names <file>: writes the modes of the tray menu, one a line in
// UTF-8 and in menu order, by the names Brelkin stores in DefaultKey. The
// setups' preset lists and the policy templates' drop-downs are generated from
// this file, so that the preset table stays their only source. Built with the
// build machine's own compiler while the packages are made (CMakeLists.txt).
#include <fstream>
#include <string_view>

#include "engine/ActionPreset.h"
#include "engine/ModeNames.h"
#include "engine/Utf8.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ofstream out(argv[1], std::ios::binary);
    out << brelkin::ToUtf8(brelkin::JoystickModeName) << '\n';
    // Every name of the built-in table ends within its field (ActionPreset.cpp
    // checks that at compile time).
    for (const brelkin::ActionPreset& row : brelkin::BuiltInPresets())
        out << brelkin::ToUtf8(std::u16string_view(row.Name)) << '\n';
    out.close();
    return out ? 0 : 1;
}
