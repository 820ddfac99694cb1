#include <gtest/gtest.h>

#include <climits>

#include "tests/engine/PollRig.h"

namespace brelkin {
namespace {

using test::allocations;
using test::countAllocations;

// --- every built-in row, pressed on successive ticks -----------------------

struct RowCase {
    const char* label;
    int row;
    std::vector<Press> presses;
    std::vector<SequenceStep> stepsAfter;
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.label; }

class PresetRowPresses : public ::testing::TestWithParam<RowCase> {};

TEST_P(PresetRowPresses, SuccessivePressesSendTheRowInTurn) {
    const RowCase& c = GetParam();
    Rig rig;
    rig.state.triggerMode = c.row + 1;
    for (std::size_t i = 0; i < c.presses.size(); ++i) {
        EXPECT_EQ(rig.Tick(), c.presses[i]) << "press " << i + 1;
        EXPECT_EQ(rig.state.sequenceStep, c.stepsAfter[i]) << "press " << i + 1;
    }
    EXPECT_EQ(rig.state.triggerMode, c.row + 1);
    EXPECT_TRUE(rig.joystick.writes.empty());
}


INSTANTIATE_TEST_SUITE_P(
    BuiltIn, PresetRowPresses,
    ::testing::Values(RowCase{"Row0_SchickAltF_AltT", 0, {AltF, AltT, AltF, AltT}, {1, 2, 1, 2}},
                      RowCase{"Row1_SchickC_U", 1, {C, U, C, U}, {1, 2, 1, 2}},
                      RowCase{"Row2_KodakF5", 2, {F5, F5, F5, F5, F5, F5}, {1, 2, 3, 1, 2, 3}},
                      RowCase{"Row3_Sidexis", 3, {ShiftCtrlV, Enter, ShiftCtrlV, Enter}, {1, 2, 1, 2}},
                      RowCase{"Row4_XdrCtrlI", 4, {CtrlI, CtrlI, CtrlI, CtrlI}, {1, 2, 3, 1}},
                      RowCase{"Row5_Dentrix", 5, {AltC, AltS, AltC, AltS}, {1, 2, 1, 2}},
                      RowCase{"Row6_DexisSpace_T", 6, {Space, T, Space, T}, {1, 2, 1, 2}},
                      RowCase{"Row7_CadiG", 7, {G, G, G, G}, {1, 2, 3, 1}},
                      RowCase{"Row8_VixwinAtOneTime", 8, {Vixwin, Vixwin, Vixwin}, {0, 0, 0}},
                      RowCase{"Row9_AltF_AltS", 9, {AltF, AltS, AltF, AltS}, {1, 2, 1, 2}},
                      RowCase{"Row10_Space", 10, {Space, Space, Space, Space}, {1, 2, 3, 1}},
                      RowCase{"Row11_Enter", 11, {Enter, Enter, Enter, Enter}, {1, 2, 3, 1}},
                      RowCase{"CustomBuiltIn", CustomRow, {Space, Space, Space, Space}, {1, 2, 3, 1}}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return std::string(info.param.label); });

// --- one-by-one stepping by which keys are set ------------------------------

struct PatternCase {
    const char* label;
    uint16_t keys[3];
    std::vector<Press> presses;
    std::vector<SequenceStep> stepsAfter;
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.label; }

// Each key has its own modifiers, so a key sent with another slot's mask shows.
constexpr uint16_t kPatternMods[3] = {0, ModShift, ModAlt};
const Press A{"A"}, B{"Shift+B"}, Cc{"Alt+C"};

class OneByOneStepping : public ::testing::TestWithParam<PatternCase> {};

TEST_P(OneByOneStepping, FromStepZero) {
    const PatternCase& c = GetParam();
    Rig rig;
    ActionPreset& custom = rig.state.presets[CustomRow];
    for (int i = 0; i < 3; ++i) {
        custom.Keys[i] = c.keys[i];
        custom.Modifiers[i] = kPatternMods[i];
    }
    custom.OneByOne = 1;
    custom.DelayTime = 5000;  // not used one by one: no sleep but the chord's own
    rig.state.triggerMode = CustomRow + 1;
    for (std::size_t i = 0; i < c.presses.size(); ++i) {
        EXPECT_EQ(rig.Tick(), c.presses[i]) << "press " << i + 1;
        EXPECT_EQ(rig.state.sequenceStep, c.stepsAfter[i]) << "press " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    KeyPatterns, OneByOneStepping,
    ::testing::Values(PatternCase{"ABC", {'A', 'B', 'C'}, {A, B, Cc, A, B, Cc}, {1, 2, 3, 1, 2, 3}},
                      PatternCase{"AB0", {'A', 'B', 0}, {A, B, A, B}, {1, 2, 1, 2}},
                      PatternCase{"A0C_skipsEmptySecond", {'A', 0, 'C'}, {A, Cc, A, Cc}, {2, 3, 2, 3}},
                      PatternCase{"A00", {'A', 0, 0}, {A, A, A}, {2, 2, 2}},
                      PatternCase{"0BC", {0, 'B', 'C'}, {None, B, Cc, None, B, Cc}, {1, 2, 3, 1, 2, 3}},
                      PatternCase{"00C", {0, 0, 'C'}, {None, Cc, None, Cc}, {2, 3, 2, 3}},
                      PatternCase{"0B0", {0, 'B', 0}, {None, B, None, B}, {1, 2, 1, 2}},
                      PatternCase{"000", {0, 0, 0}, {None, None, None}, {2, 2, 2}}),
    [](const ::testing::TestParamInfo<PatternCase>& info) { return std::string(info.param.label); });

// --- at one time -------------------------------------------------------------

struct AtOnceCase {
    const char* label;
    uint16_t keys[3];
    SequenceStep stepBefore;
    Press press;
    SequenceStep stepAfter;
};

void PrintTo(const AtOnceCase& c, std::ostream* os) { *os << c.label; }

class AtOneTime : public ::testing::TestWithParam<AtOnceCase> {};

TEST_P(AtOneTime, SendsUpToFirstEmptyKeyWithDelayAfterEach) {
    const AtOnceCase& c = GetParam();
    Rig rig;
    ActionPreset& custom = rig.state.presets[CustomRow];
    for (int i = 0; i < 3; ++i) {
        custom.Keys[i] = c.keys[i];
        custom.Modifiers[i] = kPatternMods[i];
    }
    custom.OneByOne = 0;
    custom.DelayTime = 70;
    rig.state.triggerMode = CustomRow + 1;
    rig.state.sequenceStep = c.stepBefore;
    EXPECT_EQ(rig.Tick(), c.press);
    EXPECT_EQ(rig.state.sequenceStep, c.stepAfter);
    // The same again on the next press: nothing carries over.
    EXPECT_EQ(rig.Tick(), c.press);
}

INSTANTIATE_TEST_SUITE_P(
    KeyPatterns, AtOneTime,
    ::testing::Values(
        AtOnceCase{"ABC", {'A', 'B', 'C'}, 0, {"A", "sleep 70", "Shift+B", "sleep 70", "Alt+C", "sleep 70"}, 0},
        AtOnceCase{"AB0", {'A', 'B', 0}, 0, {"A", "sleep 70", "Shift+B", "sleep 70"}, 0},
        AtOnceCase{"A0C_stopsAtEmptySecond", {'A', 0, 'C'}, 0, {"A", "sleep 70"}, 0},
        AtOnceCase{"0BC_sendsNothingNoSleep", {0, 'B', 'C'}, 0, {}, 0},
        AtOnceCase{"000", {0, 0, 0}, 0, {}, 0},
        // The step is only normalised here, never advanced.
        AtOnceCase{"StepOneKept", {'A', 'B', 'C'}, 1, {"A", "sleep 70", "Shift+B", "sleep 70", "Alt+C", "sleep 70"}, 1},
        AtOnceCase{"StepOnEmptyKeyReset", {'A', 'B', 0}, 2, {"A", "sleep 70", "Shift+B", "sleep 70"}, 0},
        AtOnceCase{"StepOutOfRangeReset", {'A', 'B', 'C'}, 9, {"A", "sleep 70", "Shift+B", "sleep 70", "Alt+C", "sleep 70"}, 0}),
    [](const ::testing::TestParamInfo<AtOnceCase>& info) { return std::string(info.param.label); });

// --- values the program never sets ------------------------------------------

TEST(PollButton, OutOfRangeModeIsServedFromRowZero) {
    for (TriggerMode mode : {PresetRowCount + 1, -1, 100, INT32_MIN, INT32_MAX}) {
        Rig rig;
        rig.state.triggerMode = mode;
        EXPECT_EQ(rig.Tick(), AltF) << "mode " << mode;
        EXPECT_EQ(rig.Tick(), AltT) << "mode " << mode;
        EXPECT_EQ(rig.state.triggerMode, mode);
        EXPECT_TRUE(rig.joystick.writes.empty()) << "mode " << mode;
    }
}

TEST(PollButton, OutOfRangeStepIsTakenAsZero) {
    for (SequenceStep step : {7, 3, -1, INT32_MIN, INT32_MAX}) {
        Rig rig;
        rig.state.triggerMode = 1;
        rig.state.sequenceStep = step;
        EXPECT_EQ(rig.Tick(), AltF) << "step " << step;
        EXPECT_EQ(rig.state.sequenceStep, 1) << "step " << step;
    }
}

// --- gating: what stops a tick before anything is output --------------------

struct GateCase {
    const char* label;
    bool hasCamera;
    int32_t valid;
    int32_t pioResult;
    uint32_t pio;
    bool proceeds;
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.label; }

class Gating : public ::testing::TestWithParam<GateCase> {};

TEST_P(Gating, InJoystickAndKeyModes) {
    const GateCase& c = GetParam();
    for (TriggerMode mode : {0, 1, 9}) {
        Rig rig;
        rig.state.triggerMode = mode;
        rig.state.sequenceStep = 1;
        rig.camera.valid = c.valid;
        rig.camera.pioResult = c.pioResult;
        rig.camera.pio = c.pio;
        rig.input.Clear();
        const PollOutcome outcome = rig.Poll(c.hasCamera ? &rig.camera : nullptr);
        // Row 0 sends one chord a press, row 8 (mode 9) both of its chords.
        EXPECT_EQ(outcome.pressed, c.proceeds) << "mode " << mode;
        EXPECT_EQ(outcome.chordsSent, !c.proceeds || mode == 0 ? 0 : mode == 1 ? 1 : 2) << "mode " << mode;

        const bool keyOutput = !rig.input.log.empty();
        const bool joystickOutput = !rig.joystick.writes.empty();
        EXPECT_EQ(keyOutput, c.proceeds && mode != 0) << "mode " << mode;
        EXPECT_EQ(joystickOutput, c.proceeds && mode == 0) << "mode " << mode;
        EXPECT_EQ(rig.camera.pressedCalls, c.proceeds ? 1 : 0) << "mode " << mode;
        if (!c.proceeds) {
            EXPECT_EQ(rig.state.sequenceStep, 1) << "mode " << mode;
        }
        // Each camera call at most once a tick, in order: nothing after a failure.
        EXPECT_LE(rig.camera.validCalls, 1);
        EXPECT_EQ(rig.camera.pioCalls, c.hasCamera && c.valid != 0 ? 1 : 0) << "mode " << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Camera, Gating,
    ::testing::Values(GateCase{"NoCameraObject", false, 1, 0, 0, false},
                      GateCase{"InterfaceInvalid", true, 0, 0, 0, false},
                      GateCase{"GetPioFails", true, 1, 1, 0, false},
                      GateCase{"GetPioFailsNegative", true, 1, -1, 0, false},
                      GateCase{"PioBit0Set", true, 1, 0, 1, false},
                      GateCase{"PioAllBitsSet", true, 1, 0, 0xFFFFFFFFu, false},
                      GateCase{"PioOtherBitsOnly", true, 1, 0, 0xFFFFFFFEu, true},
                      GateCase{"ValidAnyNonZero", true, -1, 0, 0, true},
                      GateCase{"AllClear", true, 1, 0, 0, true}),
    [](const ::testing::TestParamInfo<GateCase>& info) { return std::string(info.param.label); });

// --- joystick mode -----------------------------------------------------------

TEST(PollButton, JoystickModeWritesOnEveryReadableTick) {
    Rig rig;
    rig.state.triggerMode = 0;
    rig.state.sequenceStep = 7;  // not looked at, not normalised
    const int32_t reports[] = {0, 1, 1, 0, 0, 5, -1};
    for (int32_t pressed : reports) {
        rig.camera.pressed = pressed;
        EXPECT_EQ(rig.Tick(), None);
    }
    EXPECT_EQ(rig.joystick.writes, (std::vector<int>{0, 1, 1, 0, 0, 1, 1}));
    EXPECT_EQ(rig.state.sequenceStep, 7);
    EXPECT_EQ(rig.camera.pressedCalls, 7);
}

TEST(PollButton, KeyModeWithButtonUpDoesNothing) {
    Rig rig;
    rig.state.triggerMode = 1;
    rig.camera.pressed = 0;
    EXPECT_EQ(rig.Tick(), None);
    EXPECT_EQ(rig.Tick(), None);
    EXPECT_EQ(rig.state.sequenceStep, 0);
    EXPECT_TRUE(rig.joystick.writes.empty());
    // The next tick that finds it pressed is a press, with no memory of the previous ones.
    rig.camera.pressed = 1;
    EXPECT_EQ(rig.Tick(), AltF);
}

TEST(PollButton, AllocatesNothingOnATick) {
    Rig rig;
    rig.state.triggerMode = 9;  // at one time: two chords and two delays
    allocations = 0;
    countAllocations = true;
    rig.Poll(&rig.camera);
    rig.state.triggerMode = 1;
    rig.Poll(&rig.camera);
    rig.state.triggerMode = 0;
    rig.Poll(&rig.camera);
    countAllocations = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(rig.input.log.size(), 12u + 6u);  // Alt+G, 50, Space, 50; then Alt+F: the ticks did run
    EXPECT_EQ(rig.joystick.writes.size(), 1u);
}

}  // namespace
}  // namespace brelkin
