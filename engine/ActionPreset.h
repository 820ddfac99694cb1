#pragma once
// The preset table, the trigger mode and the sequence step: what a press of the
// camera button is to produce.
#include <array>
#include <cstdint>

#include "engine/GestureReader.h"

namespace brelkin {

class IPressRowResolver;

using ModifierMask = uint16_t;
constexpr ModifierMask ModShift = 1;
constexpr ModifierMask ModCtrl = 2;
constexpr ModifierMask ModAlt = 4;
constexpr ModifierMask ModWin = 8;

constexpr int PresetRowCount = 13;
constexpr int CustomRow = 12;
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

using PresetTable = std::array<ActionPreset, PresetRowCount>;

// The built-in content of the table, as the process starts with it.
const PresetTable& BuiltInPresets();

// 0: the joystick button; 1..13: row TriggerMode - 1.
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
