// What the Programs dialog accepts as a program's name, before anything is stored.
#include <gtest/gtest.h>

#include <string>

#include "engine/ProgramRules.h"

namespace brelkin {
namespace {

TEST(ProgramName, FileNamesAreKeptPathsGiveTheirFileNameAndTheRestIsRefused) {
    using F = ProgramNameFault;
    const std::u16string longest(256, u'a');  // with ".exe": 260
    const std::u16string pattern(MaxTitlePatternLength, u'?');
    const struct {
        const char* label;
        std::u16string typed;
        std::u16string name;
        F fault;
    } rows[] = {
        {"blanks and quotes around a name", u" \t\"Dexis.EXE\" ", u"Dexis.EXE", F::None},
        {"no extension gets .exe", u"dexis", u"dexis.exe", F::None},
        {"a full path gives its file name", u"\"C:\\Imaging\\Two.exe\"", u"Two.exe", F::None},
        {"a UNC path gives its file name", u"\\\\server\\share\\cdr", u"cdr.exe", F::None},
        {"the longest name with .exe added", longest, longest + u".exe", F::None},
        {"only blanks", u"  \t ", u"", F::Empty},
        {"a folder path", u"C:\\Imaging\\", u"", F::Empty},
        {"a relative path", u"Imaging\\dexis.exe", u"", F::Character},
        {"a drive-relative name", u"C:dexis.exe", u"", F::Character},
        {"a NUL inside", std::u16string(u"de\0xis.exe", 10), u"", F::Character},
        {"a dot at the end", u"dexis.", u"", F::Character},
        {"one unit too long once .exe is added", longest + u"a", u"", F::TooLong},
        {"a title pattern is kept as typed", u" \"chrome\" |*Imaging* ", u"chrome.exe|*Imaging* ", F::None},
        {"a bar and no pattern: every window", u"chrome.exe|", u"chrome.exe", F::None},
        {"the longest pattern", u"a.exe|" + pattern, u"a.exe|" + pattern, F::None},
        {"a pattern one unit too long", u"a.exe|*" + pattern, u"", F::TooLong},
        {"a control character in the pattern", u"a.exe|x\ty", u"", F::Character},
        {"a program part that is no file name", u"a?.exe|x", u"", F::Character},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const ProgramNameCheck check = CheckProgramName(row.typed);
        EXPECT_EQ(check.fault, row.fault);
        EXPECT_TRUE(check.name == row.name) << "name of " << check.name.size() << " units";
    }
    for (char16_t c : std::u16string_view(u"\\/:*?\"<>\t\x1f"))
        EXPECT_EQ(CheckProgramName(std::u16string(u"a") + c + u"b.exe").fault, F::Character) << int(c);
}

}  // namespace
}  // namespace brelkin
