#include "engine/ActionPreset.h"

#include <cstddef>

namespace brelkin {

namespace {

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

constexpr PresetTable kBuiltIn = {{
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
    // The custom row's chords are replaced by the settings load before the first tick.
    Row(u"Custom Setting", u"Custom Setting", VkSpace, VkSpace, VkSpace, 0, 0, 0, 1, 5000),
}};

}  // namespace

const PresetTable& BuiltInPresets() { return kBuiltIn; }

GestureTimes GestureTimesOf(const TriggerState& state) {
    GestureTimes times;
    if (state.triggerMode == 0) return times;
    times.longPress = state.longPressMode != 0;
    times.doublePress = state.doublePressMode != 0;
    times.longPressMs = state.longPressTime;
    times.doublePressMs = state.doublePressTime;
    return times;
}

TriggerMode GestureMode(const TriggerState& state, Gesture gesture) {
    if (gesture == Gesture::LongPress) return state.longPressMode;
    if (gesture == Gesture::DoublePress) return state.doublePressMode;
    return state.triggerMode;
}

SequenceStep& GestureStep(TriggerState& state, Gesture gesture) {
    if (gesture == Gesture::LongPress) return state.longPressStep;
    if (gesture == Gesture::DoublePress) return state.doublePressStep;
    return state.sequenceStep;
}

}  // namespace brelkin
