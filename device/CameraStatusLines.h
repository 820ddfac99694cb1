#pragma once
// The Camera Status window's values, one per line, from what the frame knows
// at the moment: the library, the host, the camera, the last press and the
// joystick. Every word the window shows besides its labels is a text of
// resources/lang put together here (the labels and buttons are in its dialog
// template), so that the lines are tested without a window.
#include <array>
#include <cstdint>
#include <string>

#include "device/CameraStatus.h"
#include "device/JoystickStatus.h"
#include "engine/DriverKind.h"
#include "engine/GestureReader.h"
#include "engine/Texts.h"

namespace brelkin {

// Why a press sent no chords, or not all of them.
enum class PressNotSent {
    None,
    StatusInFront,        // tried in the Camera Status window: nothing goes out
    OtherProgramInFront,  // the rest of the row was dropped
    OnlyListedPrograms,
    WhileChordsWentOut,
    JoystickMode,
};

struct PressRecord {
    unsigned long count = 0;  // since Brelkin started; 0: none yet
    ClockTime time;           // of the last one
    std::u16string mode;      // its mode as the menu names it
    Gesture gesture = Gesture::Press;  // what the last press was read as
    std::u16string ruleProgram;  // set: the name of the rule whose mode it was
    std::u16string chords;       // "Alt+F" or "Alt+G, Space"
    std::u16string remoteClient;  // set: the chords went to this remote-desktop client
    PressNotSent notSent = PressNotSent::None;
    std::u16string refusedProgram;  // with OnlyListedPrograms; empty: its name could not be read
};

struct CameraStatusView {
    CameraStatus camera;
    std::u16string libraryVersion;  // from its version resource; empty: none
    DriverKind driver = DriverWdm;
    uint64_t nowMs = 0;  // the awake clock, as the restart's time, for a restart that is due
    uint32_t period = 0;
    uint32_t configuredPeriod = 0;
    PressRecord press;
    JoystickStatus joystick;
    ClockTime lastFaultTime;  // the local time it happened
};

enum CameraStatusLine {
    StatusLibrary,
    StatusDriver,
    StatusHost,
    StatusCamera,
    StatusButton,
    StatusPollPeriod,
    StatusPresses,
    StatusJoystick,
    StatusLastFault,
    StatusLineCount,
};

using CameraStatusValues = std::array<std::u16string, StatusLineCount>;

// In the language Brelkin speaks; the native tests name one.
CameraStatusValues DescribeCameraStatus(const CameraStatusView& view, Language language = DisplayLanguage());

// The first line of the details that "Copy Details" puts on the clipboard,
// and the heading of the settings after the window's lines (the settings
// themselves are the support log's English lines).
std::u16string StatusDetailsTitle(std::u16string_view version, bool x64, Language language = DisplayLanguage());
std::u16string StatusDetailsSettingsHeading(Language language = DisplayLanguage());

}  // namespace brelkin
