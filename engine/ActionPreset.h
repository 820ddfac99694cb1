#pragma once
// The preset table, the trigger mode and the sequence step: what a press of the
// camera button is to produce.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "engine/GestureReader.h"

namespace brelkin {

class IPressRowResolver;

using ModifierMask = uint16_t;
constexpr ModifierMask ModShift = 1;
constexpr ModifierMask ModCtrl = 2;
constexpr ModifierMask ModAlt = 4;
constexpr ModifierMask ModWin = 8;

constexpr int NameLength = 50;  // UTF-16 code units, NUL included

// One row of the table. Key code 0 means "no chord".
struct ActionPreset {
    char16_t Name[NameLength];
    char16_t DisplayText[NameLength];
    uint16_t Keys[3];
    uint16_t Modifiers[3];
    uint8_t OneByOne;    // non-zero: one chord per press; 0: all chords at every press
    uint16_t DelayTime;  // ms slept after each chord of an at-one-time row
};

namespace preset_rows {

constexpr uint16_t VkEnter = 0x0D;
constexpr uint16_t VkSpace = 0x20;
constexpr uint16_t VkF5 = 0x74;

// Copies a literal into a fixed field at compile time; names are at most 49 units.
template <std::size_t N>
constexpr void CopyText(char16_t (&field)[NameLength], const char16_t (&text)[N]) {
    static_assert(N <= NameLength, "preset text longer than its field");
    for (std::size_t i = 0; i < N; ++i) field[i] = text[i];
}

template <std::size_t N1, std::size_t N2>
constexpr ActionPreset Row(const char16_t (&name)[N1], const char16_t (&display)[N2],
                           uint16_t k1, uint16_t k2, uint16_t k3,
                           uint16_t m1, uint16_t m2, uint16_t m3,
                           uint8_t oneByOne, uint16_t delay) {
    ActionPreset row{};
    CopyText(row.Name, name);
    CopyText(row.DisplayText, display);
    row.Keys[0] = k1; row.Keys[1] = k2; row.Keys[2] = k3;
    row.Modifiers[0] = m1; row.Modifiers[1] = m2; row.Modifiers[2] = m3;
    row.OneByOne = oneByOne;
    row.DelayTime = delay;
    return row;
}

// The named presets, in the tray menu's order. A new preset is a row here
// and its test: the counts, the menu items and their command ids follow.
inline constexpr ActionPreset Named[] = {
    Row(u"Schick (Alt+F,Alt+T)", u"Alt+F,Alt+T", 'F', 'T', 0, ModAlt, ModAlt, 0, 1, 5000),
    Row(u"Schick (C,U)", u"C,U", 'C', 'U', 0, 0, 0, 0, 1, 5000),
    Row(u"Kodak (F5)", u"F5", VkF5, VkF5, VkF5, 0, 0, 0, 1, 5000),
    Row(u"SIDEXIS (Ctrl+Shift+V)", u"Ctrl+Shift+V", 'V', VkEnter, 0, ModShift | ModCtrl, 0, 0, 1, 5000),
    Row(u"XDR (Ctrl+I)", u"Ctrl+I", 'I', 'I', 'I', ModCtrl, ModCtrl, ModCtrl, 1, 5000),
    Row(u"Dentrix image (Alt+C,Alt+S)", u"Alt+C,Alt+S", 'C', 'S', 0, ModAlt, ModAlt, 0, 1, 5000),
    Row(u"DEXIS (Space,T)", u"Space,T", VkSpace, 'T', 0, 0, 0, 0, 1, 5000),
    Row(u"CADI (G)", u"G", 'G', 'G', 'G', 0, 0, 0, 1, 5000),
    Row(u"Vixwin (Alt+G,Space)", u"Vixwin", 'G', VkSpace, 0, ModAlt, 0, 0, 0, 50),
    Row(u"Alt+F,Alt+S", u"Alt+F,Alt+S", 'F', 'S', 0, ModAlt, ModAlt, 0, 1, 5000),
    Row(u"Space", u"Space", VkSpace, VkSpace, VkSpace, 0, 0, 0, 1, 5000),
    Row(u"Enter", u"Enter", VkEnter, VkEnter, VkEnter, 0, 0, 0, 1, 5000),
};

}  // namespace preset_rows

// Custom Setting comes after the named presets: the table's last row.
constexpr int CustomRow = static_cast<int>(std::size(preset_rows::Named));
constexpr int PresetRowCount = CustomRow + 1;

using PresetTable = std::array<ActionPreset, PresetRowCount>;

// The built-in content of the table, as the process starts with it.
const PresetTable& BuiltInPresets();

// 0: the joystick button; 1..PresetRowCount: row TriggerMode - 1.
using TriggerMode = int32_t;
// Index 0..2 of the chord that the next press of a one-by-one row sends.
using SequenceStep = int32_t;

// The long and the double press as the settings hold them and the dialog
// edits them.
struct GestureSettings {
    TriggerMode longPressMode = 0;  // 0: none
    TriggerMode doublePressMode = 0;
    uint32_t longPressTime = LongPressTimeDefault;
    uint32_t doublePressTime = DoublePressTimeDefault;
};

// The run-time trigger state that the main frame owns: the table (of which
// only the custom row changes), the mode and the step.
struct TriggerState {
    PresetTable presets = BuiltInPresets();
    TriggerMode triggerMode = 1;
    SequenceStep sequenceStep = 0;
    // Consulted on a press in a key mode; null: the current mode decides.
    IPressRowResolver* pressRows = nullptr;
    // The modes of the long and the double press (0: none) and their times
    // in ms. Each gesture steps through its own row, so that a long press
    // does not move the press's row on.
    TriggerMode longPressMode = 0;
    TriggerMode doublePressMode = 0;
    uint32_t longPressTime = LongPressTimeDefault;
    uint32_t doublePressTime = DoublePressTimeDefault;
    SequenceStep longPressStep = 0;
    SequenceStep doublePressStep = 0;
    GestureReader gestures;
};

// The gestures the current mode reads: none in the joystick mode, where the
// button is the joystick's button as it is.
GestureTimes GestureTimesOf(const TriggerState& state);
// The mode and the one-by-one step a gesture sends from (Press for None).
TriggerMode GestureMode(const TriggerState& state, Gesture gesture);
SequenceStep& GestureStep(TriggerState& state, Gesture gesture);

}  // namespace brelkin
