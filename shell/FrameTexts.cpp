#include "shell/FrameTexts.h"

#include "engine/Utf8.h"

namespace brelkin {

std::string StartLine(std::string_view version, bool x64, WindowsVersion windows) {
    return "Start: Brelkin " + std::string(version) + (x64 ? ", x64" : ", x86") + ", Windows " +
           std::to_string(windows.major) + "." + std::to_string(windows.minor) + "." +
           std::to_string(windows.build);
}

std::string LanguageLine(const LanguageChoice& choice, std::u16string_view setting) {
    std::string line = std::string("Language: ") + LanguageTag(choice.language);
    switch (choice.source) {
    case LanguageChoice::Source::Setting: line += ", from the Language setting"; break;
    case LanguageChoice::Source::Windows: line += ", the Windows display language " + ToUtf8(choice.windowsTag); break;
    case LanguageChoice::Source::Fallback: line += ", no Windows display language that Brelkin speaks"; break;
    }
    if (choice.settingUnknown) line += "; the Language setting \"" + ToUtf8(setting) + "\" names no language Brelkin speaks";
    return line;
}

std::string ExitLine(const PressCounts& presses, unsigned long chordsSent, unsigned long unanswered, ProgramEnd end) {
    const char* when = end == ProgramEnd::Logoff ? ", at logoff" : end == ProgramEnd::Shutdown ? ", at shutdown" : "";
    return "Exit: " + std::to_string(presses.presses) + " presses, " + std::to_string(presses.longPresses) +
           " long presses, " + std::to_string(presses.doublePresses) + " double presses, " +
           std::to_string(chordsSent) + " chords sent, " +
           std::to_string(unanswered) + " presses not answered while chords went out" + when;
}

std::string TrayIconErrorLine() {
    return "Tray Icon Error: the notification area did not take the icon";
}

std::string PPJoyDeviceLine(bool opened) {
    return opened ? "Joystick device \\\\.\\PPJoyIOCTL1: opened"
                  : "Joystick device \\\\.\\PPJoyIOCTL1: could not be opened";
}

std::string VJoyAcquiredLine() {
    return "Joystick: vJoy device 1 acquired";
}

std::string NoJoystickDriverLine(JoystickRefusal refusal) {
    return std::string("Joystick: no driver: ") + DescribeJoystickRefusal(refusal);
}

Text JoystickMissingText(JoystickRefusal refusal) {
    // The refusal says what of vJoy is wrong, or that neither driver is there.
    return Text(IDS_JOYSTICK_MISSING, {TextArg::Translated(JoystickRefusalTextId(refusal))});
}

std::string ModeLine(std::u16string_view modeName) {
    return "Mode: " + ToUtf8(modeName);
}

std::string PolicyRefreshLine() {
    return "Policies changed: the settings are read again";
}

std::string PollPeriodLine(unsigned period, bool slower) {
    return "Poll period: " + std::to_string(period) + " ms (camera calls " + (slower ? "slow" : "cheap again") +
           ")";
}

std::string IgnoredProgramRuleLine(std::u16string_view program, std::u16string_view mode) {
    return "Programs: the rule for " + ToUtf8(program) + " names no mode (\"" + ToUtf8(mode) + "\") and is ignored";
}

Text UnlistedProgramText(std::u16string_view name) {
    return Text(IDS_UNLISTED_PROGRAM, {name.empty() ? TextArg::Translated(IDS_UNNAMED_PROGRAM_IN_FRONT)
                                                    : TextArg::FileName(std::u16string(name))});
}

std::string SaveFailureLine() {
    return "Settings write failed: the registry refused at least one value";
}

Text SaveFailureText() {
    return Text(IDS_SAVE_FAILURE);
}

}  // namespace brelkin
