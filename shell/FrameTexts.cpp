#include "shell/FrameTexts.h"

#include "engine/Utf8.h"

namespace brelkin {

std::string StartLine(std::string_view version, bool x64, WindowsVersion windows) {
    return "Start: Brelkin " + std::string(version) + (x64 ? ", x64" : ", x86") + ", Windows " +
           std::to_string(windows.major) + "." + std::to_string(windows.minor) + "." +
           std::to_string(windows.build);
}

std::string ExitLine(unsigned long presses, unsigned long chordsSent, unsigned long unanswered, ProgramEnd end) {
    const char* when = end == ProgramEnd::Logoff ? ", at logoff" : end == ProgramEnd::Shutdown ? ", at shutdown" : "";
    return "Exit: " + std::to_string(presses) + " presses, " + std::to_string(chordsSent) + " chords sent, " +
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

std::u16string JoystickMissingText(JoystickRefusal refusal) {
    // The refusal says what of vJoy is wrong, or that neither driver is there.
    const std::string why = DescribeJoystickRefusal(refusal);
    return u"Joystick mode needs the PPJoy joystick driver or vJoy, and neither could be used: " +
           std::u16string(why.begin(), why.end()) + u". The key modes work without it.";
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

std::u16string UnlistedProgramText(std::u16string_view name) {
    return u"Brelkin sent no keys to " + std::u16string(name) +
           u": it is not in the Programs list, and \"Send keys only to these programs\" is on. "
           u"Add it under Programs... in the tray menu, or turn that option off.";
}

std::string SaveFailureLine() {
    return "Settings write failed: the registry refused at least one value";
}

std::u16string SaveFailureText() {
    return u"Brelkin could not save its settings in the registry. The change holds until Brelkin ends; "
           u"ask whoever manages this computer to let you write to HKEY_CURRENT_USER\\Software\\Morvane.";
}

}  // namespace brelkin
