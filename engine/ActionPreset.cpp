#include "engine/ActionPreset.h"

namespace brelkin {

namespace {

using namespace preset_rows;

constexpr PresetTable WithCustomRow() {
    PresetTable table{};
    for (int row = 0; row < CustomRow; ++row) table[static_cast<std::size_t>(row)] = Named[row];
    // The custom row's chords are replaced by the settings load before the first tick.
    table[CustomRow] = Row(u"Custom Setting", u"Custom Setting", VkSpace, VkSpace, VkSpace, 0, 0, 0, 1, 5000);
    return table;
}

constexpr PresetTable kBuiltIn = WithCustomRow();

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
