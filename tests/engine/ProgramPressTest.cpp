// The program in front chooses the row of a press.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ProgramRowResolver.h"
#include "tests/engine/PollRig.h"

namespace brelkin {
namespace {

using test::allocations;
using test::countAllocations;

struct ProgramPress {
    const char16_t* foreground;  // the image path; u"" cannot be read
    Press sent;
    const char16_t* title = u"";  // of the window in front
    bool tried = false;  // in the Camera Status window: shown, and nothing moves on
};

struct ProgramCase {
    const char* label;
    std::vector<ProgramRule> rules;
    bool onlyListed;
    TriggerMode current;
    std::vector<ProgramPress> presses;
};

void PrintTo(const ProgramCase& c, std::ostream* os) { *os << c.label; }

class ProgramRules : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramRules, ThePressSendsTheRowOfTheProgramInFront) {
    const ProgramCase& c = GetParam();
    Rig rig;
    FakeForeground foreground;
    ProgramRowResolver resolver(foreground);
    resolver.SetRules({c.rules, c.onlyListed}, rig.state.presets);
    rig.state.pressRows = &resolver;
    rig.state.triggerMode = c.current;
    for (std::size_t i = 0; i < c.presses.size(); ++i) {
        foreground.path = c.presses[i].foreground;
        foreground.window.title = c.presses[i].title;
        EXPECT_EQ(c.presses[i].tried ? rig.TryTick() : rig.Tick(), c.presses[i].sent) << "press " << i + 1;
        // A press that only-listed refused names its program, once.
        std::u16string_view refused;
        const bool wasRefused = resolver.TakeRefusedProgram(refused);
        EXPECT_EQ(wasRefused, c.onlyListed && c.presses[i].sent == None) << "press " << i + 1;
        if (wasRefused) {
            EXPECT_EQ(refused, ImageFileName(c.presses[i].foreground)) << "press " << i + 1;
        }
        EXPECT_FALSE(resolver.TakeRefusedProgram(refused));
    }
    EXPECT_EQ(rig.state.triggerMode, c.current) << "a rule never changes the mode itself";
    // Asked once a real press, rules or none: the chords are kept to that program.
    const auto real = std::count_if(c.presses.begin(), c.presses.end(), [](const ProgramPress& p) { return !p.tried; });
    EXPECT_EQ(foreground.queries, static_cast<int>(real));
}

const char16_t DexisPath[] = u"C:\\Program Files\\Dexis\\DEXIS.exe";
const char16_t ChartPath[] = u"C:\\Practice\\chart.exe";
const ProgramRule DexisRule{u"dexis.exe", u"DEXIS (Space,T)"};
const ProgramRule ChartUsesSchickCU{u"Chart.EXE", u"Schick (C,U)"};
const char16_t ChromePath[] = u"C:\\Program Files\\Google\\Chrome\\chrome.exe";
const ProgramRule ChromeUsesSchickCU{u"chrome.exe", u"Schick (C,U)"};
const ProgramRule ChromeImaging{u"chrome.exe|*Imaging*", u"Kodak (F5)"};

INSTANTIATE_TEST_SUITE_P(
    Foreground, ProgramRules,
    ::testing::Values(
        ProgramCase{"NoRulesTheCurrentModeDecides", {}, false, 1,
                    {{ChartPath, AltF}, {DexisPath, AltT}}},
        ProgramCase{"RuleMatchesWithoutRegardToCase", {DexisRule}, false, 1,
                    {{DexisPath, Space}, {DexisPath, T}, {DexisPath, Space}}},
        ProgramCase{"ProgramWithoutRuleGetsTheCurrentMode", {DexisRule}, false, 3, {{ChartPath, F5}}},
        ProgramCase{"ChangeOfRowStartsItsSequenceAgain", {DexisRule, ChartUsesSchickCU}, false, 1,
                    {{DexisPath, Space}, {ChartPath, C}, {ChartPath, U}, {DexisPath, Space},
                     {u"C:\\other.exe", AltF}, {DexisPath, Space}, {DexisPath, T}}},
        ProgramCase{"RuleNamingNoModeIsIgnored",
                    {{u"dexis.exe", u"dexis (space,t)"}, {u"chart.exe", u"Joystick Button 1"}}, false, 5,
                    {{DexisPath, CtrlI}, {ChartPath, CtrlI}}},
        ProgramCase{"RuleToCustomSetting", {{u"dexis.exe", u"Custom Setting"}}, false, 1, {{DexisPath, Space}}},
        ProgramCase{"UnreadableNameHasNoRule", {DexisRule}, false, 4, {{u"", ShiftCtrlV}}},
        ProgramCase{"PathEndingInASeparatorHasNoRule", {DexisRule}, false, 4, {{u"C:\\dexis.exe\\", ShiftCtrlV}}},
        ProgramCase{"OnlyListedSendsNothingToOthers", {DexisRule}, true, 1,
                    {{ChartPath, None}, {u"", None}, {DexisPath, Space}, {ChartPath, None}, {DexisPath, T}}},
        ProgramCase{"TriedPressKeepsTheStepAndTheRulesLastMode", {DexisRule}, false, 1,
                    {{DexisPath, Space}, {DexisPath, AltT, u"", true}, {DexisPath, T}, {DexisPath, Space}}},
        ProgramCase{"OnlyListedWithNoRulesSendsNothing", {}, true, 1, {{DexisPath, None}}},
        ProgramCase{"OnlyListedDoesNotCountARuleNamingNothing", {{u"dexis.exe", u""}}, true, 1,
                    {{DexisPath, None}}},
        ProgramCase{"AMatchingTitleRuleBeatsThePlainRuleWithoutRegardToCase",
                    {ChromeUsesSchickCU, ChromeImaging}, false, 1,
                    {{ChromePath, C, u"Mail - Inbox"}, {ChromePath, F5, u"Web IMAGING - Chart 12"},
                     {ChromePath, C, u"Imagin"}, {ChromePath, F5, u"imaging"}}},
        ProgramCase{"TheMostPinnedDownPatternWinsThenTheNameThatSortsFirst",
                    {{u"chrome.exe|*b*", u"Enter"}, ChromeImaging, {u"chrome.exe|*Imaging - X?ray*", u"XDR (Ctrl+I)"},
                     {u"chrome.exe|*A*", u"CADI (G)"}},
                    false, 1,
                    {{ChromePath, CtrlI, u"Imaging - X-ray"}, {ChromePath, F5, u"Imaging - CT"},
                     {ChromePath, G, u"ab"}, {ChromePath, Enter, u"b"}}},
        ProgramCase{"AQuestionMarkIsExactlyOneCharacter", {ChromeUsesSchickCU, {u"chrome.exe|Chart ?", u"Kodak (F5)"}},
                    false, 1,
                    {{ChromePath, F5, u"Chart 1"}, {ChromePath, C, u"Chart 12"}, {ChromePath, U, u"Chart "},
                     {ChromePath, F5, u"chart x"}}},
        ProgramCase{"OnlyAStarMatchesTheEmptyTitle", {ChromeUsesSchickCU, {u"chrome.exe|*", u"Kodak (F5)"},
                    {u"chrome.exe|?*", u"Enter"}}, false, 1,
                    {{ChromePath, F5, u""}, {ChromePath, F5, u"Mail"}}},
        ProgramCase{"TitleRulesOfAnotherProgramDoNotApply", {ChromeImaging}, false, 1,
                    {{DexisPath, AltF, u"Imaging"}}},
        ProgramCase{"OnlyListedLetsThroughAWindowWhoseTitleMatches", {ChromeImaging}, true, 1,
                    {{ChromePath, None, u"Mail"}, {ChromePath, F5, u"Imaging"}, {ChromePath, None, u""}}}),
    [](const ::testing::TestParamInfo<ProgramCase>& info) { return std::string(info.param.label); });

TEST(ProgramRules, JoystickModeIgnoresRulesAndOnlyListed) {
    Rig rig;
    FakeForeground foreground;
    foreground.path = u"C:\\chart.exe";
    ProgramRowResolver resolver(foreground);
    resolver.SetRules({{DexisRule}, true}, rig.state.presets);
    rig.state.pressRows = &resolver;
    rig.state.triggerMode = 0;
    EXPECT_EQ(rig.Tick(), None);
    EXPECT_EQ(rig.joystick.writes, (std::vector<int>{1}));
    EXPECT_EQ(foreground.queries, 0);
}

TEST(ProgramRules, SetRulesReportsTheRulesThatNameNoMode) {
    FakeForeground foreground;
    ProgramRowResolver resolver(foreground);
    const ProgramRuleSet set{{DexisRule, {u"a.exe", u"Nothing"}, ChartUsesSchickCU, {u"b.exe", u""}}, false};
    EXPECT_EQ(resolver.SetRules(set, BuiltInPresets()), (std::vector<std::size_t>{1, 3}));
}

TEST(ProgramRules, ALookedUpPressAllocatesNothing) {
    Rig rig;
    FakeForeground foreground;
    foreground.path = DexisPath;
    ProgramRowResolver resolver(foreground);
    resolver.SetRules({{ChartUsesSchickCU, DexisRule}, true}, rig.state.presets);
    rig.state.pressRows = &resolver;
    allocations = 0;
    countAllocations = true;
    rig.Poll(&rig.camera);
    countAllocations = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(Chords(rig.input.log), Space);
}

}  // namespace
}  // namespace brelkin
