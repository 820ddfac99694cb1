#pragma once
// What the shell says: the support-log lines and balloons of the main frame,
// the tray icon and the application object. The frame decides when each one
// is said; the wording lives here, where support and translators find all of
// it at once. Support scripts and the tests match these lines exactly.
#include <string>
#include <string_view>

#include "device/JoystickStatus.h"
#include "engine/Texts.h"

namespace brelkin {

// The application's name as the tray balloons and message boxes show it.
constexpr const wchar_t* AppTitle = L"Brelkin";
// The tooltip the icon is added with, before the settings name the mode.
constexpr const wchar_t* StartTooltip = L"Brelkin - Space";

struct WindowsVersion {
    unsigned long major = 0;
    unsigned long minor = 0;
    unsigned long build = 0;
};

std::string StartLine(std::string_view version, bool x64, WindowsVersion windows);
// The language chosen, and why: the second start line.
std::string LanguageLine(const LanguageChoice& choice, std::u16string_view setting);
// How the program ended: Exit (or a close), or the end of the Windows session.
enum class ProgramEnd { Exit, Logoff, Shutdown };
// The button's gestures since the start; a press that became a long or a
// double press counts there only.
struct PressCounts {
    unsigned long presses = 0;
    unsigned long longPresses = 0;
    unsigned long doublePresses = 0;
};
std::string ExitLine(const PressCounts& presses, unsigned long chordsSent, unsigned long unanswered,
                     ProgramEnd end = ProgramEnd::Exit);
std::string TrayIconErrorLine();

// The joystick driver found at start-up: PPJoy is tried first, then vJoy.
std::string PPJoyDeviceLine(bool opened);
std::string VJoyAcquiredLine();
std::string NoJoystickDriverLine(JoystickRefusal refusal);
Text JoystickMissingText(JoystickRefusal refusal);

std::string ModeLine(std::u16string_view modeName);
// Group Policy said that the policies changed; the settings lines follow.
std::string PolicyRefreshLine();
std::string PollPeriodLine(unsigned period, bool slower);
std::string IgnoredProgramRuleLine(std::u16string_view program, std::u16string_view mode);

// An empty name: the program in front could not be named.
Text UnlistedProgramText(std::u16string_view name);

std::string SaveFailureLine();
Text SaveFailureText();

}  // namespace brelkin
