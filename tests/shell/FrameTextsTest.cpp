// The shell's words exactly as support scripts and the end-to-end tests read
// them: a wording change shows here first.
#include "shell/FrameTexts.h"

#include <gtest/gtest.h>

#include "engine/Utf8.h"

namespace brelkin {
namespace {

TEST(FrameTexts, EachLineAndBalloonReadsAsSupportExpects) {
    const struct {
        const char* label;
        std::string text;
        std::string expected;
    } rows[] = {
        {"start", StartLine("2.0", true, {10, 0, 19045}), "Start: Brelkin 2.0, x64, Windows 10.0.19045"},
        {"start x86", StartLine("2.0", false, {6, 1, 7601}), "Start: Brelkin 2.0, x86, Windows 6.1.7601"},
        {"language by setting", LanguageLine({Language::German, LanguageChoice::Source::Setting, false, u""}, u"de"),
         "Language: de-DE, from the Language setting"},
        {"language unknown", LanguageLine({Language::Japanese, LanguageChoice::Source::Windows, true, u"ja-JP"}, u"xx"),
         "Language: ja-JP, the Windows display language ja-JP; the Language setting \"xx\" names no language Brelkin "
         "speaks"},
        {"exit", ExitLine({3, 2, 1}, 5, 1),
         "Exit: 3 presses, 2 long presses, 1 double presses, 5 chords sent, 1 presses not answered while chords went "
         "out"},
        {"exit at shutdown", ExitLine({}, 0, 0, ProgramEnd::Shutdown),
         "Exit: 0 presses, 0 long presses, 0 double presses, 0 chords sent, 0 presses not answered while chords went "
         "out, at shutdown"},
        {"tray icon", TrayIconErrorLine(), "Tray Icon Error: the notification area did not take the icon"},
        {"PPJoy opened", PPJoyDeviceLine(true), "Joystick device \\\\.\\PPJoyIOCTL1: opened"},
        {"PPJoy missing", PPJoyDeviceLine(false), "Joystick device \\\\.\\PPJoyIOCTL1: could not be opened"},
        {"vJoy", VJoyAcquiredLine(), "Joystick: vJoy device 1 acquired"},
        {"no driver", NoJoystickDriverLine(JoystickRefusal::VJoyNotInstalled),
         std::string("Joystick: no driver: ") + DescribeJoystickRefusal(JoystickRefusal::VJoyNotInstalled)},
        {"mode", ModeLine(u"Kodak (F5)"), "Mode: Kodak (F5)"},
        {"slower", PollPeriodLine(200, true), "Poll period: 200 ms (camera calls slow)"},
        {"faster", PollPeriodLine(50, false), "Poll period: 50 ms (camera calls cheap again)"},
        {"ignored rule", IgnoredProgramRuleLine(u"dexis.exe", u"Gone"),
         "Programs: the rule for dexis.exe names no mode (\"Gone\") and is ignored"},
        {"unlisted", ToUtf8(UnlistedProgramText(u"").English()),
         "Brelkin sent no keys to the program in front: it is not in the Programs list, and \"Send keys only to "
         "these programs\" is on. Add it under Programs... in the tray menu, or turn that option off."},
        {"save line", SaveFailureLine(), "Settings write failed: the registry refused at least one value"},
        {"save balloon", ToUtf8(SaveFailureText().English()),
         "Brelkin could not save its settings in the registry. The change holds until Brelkin ends; ask whoever "
         "manages this computer to let you write to HKEY_CURRENT_USER\\Software\\Morvane."},
    };
    for (const auto& row : rows) EXPECT_EQ(row.text, row.expected) << row.label;
    const std::string joystick = ToUtf8(JoystickMissingText(JoystickRefusal::None).English());
    EXPECT_EQ(joystick.rfind("Joystick mode needs the PPJoy joystick driver or vJoy, and neither could be used: ", 0),
              0u) << joystick;
    EXPECT_NE(joystick.find(". The key modes work without it."), std::string::npos) << joystick;
}

}  // namespace
}  // namespace brelkin
