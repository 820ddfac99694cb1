#include <gtest/gtest.h>

#include "tests/engine/PollRig.h"

namespace brelkin {
namespace {

// Button timelines, one character per 50 ms tick: D down, . up, - no
// reading, B a busy port, X the camera gone. The press's mode is "Schick
// (C,U)", the long press's "Alt+F,Alt+T", the double press's "SIDEXIS",
// all one by one; the long press takes 300 ms (6 ticks), the wait for a
// second press 200 ms (4 ticks). `fired` has, per tick, what went out:
// p a press, l a long press, d a double press, . nothing.
struct TimelineCase {
    const char* label;
    bool longPress;
    bool doublePress;
    const char* ticks;
    const char* fired;
    Press chords;
};

void PrintTo(const TimelineCase& c, std::ostream* os) { *os << c.label; }

class Gestures : public ::testing::TestWithParam<TimelineCase> {};

TEST_P(Gestures, ATimelineSendsItsGesturesOnTheirTicks) {
    const TimelineCase& c = GetParam();
    Rig rig;
    rig.state.triggerMode = 2;
    rig.state.longPressMode = c.longPress ? 1 : 0;
    rig.state.doublePressMode = c.doublePress ? 4 : 0;
    rig.state.longPressTime = 300;
    rig.state.doublePressTime = 200;
    rig.press.SetPeriod(50);
    std::string fired;
    for (const char* tick = c.ticks; *tick != '\0'; ++tick) {
        const uint64_t now = uint64_t(tick - c.ticks) * 50000;
        const ButtonReading reading = *tick == 'D'   ? ButtonReading::Down
                                      : *tick == '.' ? ButtonReading::Up
                                      : *tick == 'B' ? ButtonReading::PortBusy
                                                     : ButtonReading::NoReading;
        if (*tick == 'X') ForgetCamera(rig.state, rig.press);
        const PollOutcome outcome = AnswerReading(rig.state, reading, now, rig.press, rig.joystick, rig.sender);
        EXPECT_EQ(outcome.pressed, outcome.gesture != Gesture::None) << "tick " << tick - c.ticks;
        fired += ".pld"[static_cast<int>(outcome.gesture)];
    }
    EXPECT_EQ(fired, c.fired);
    EXPECT_EQ(Chords(rig.input.log), c.chords);
}

const Press CU{"C", "U"};

INSTANTIATE_TEST_SUITE_P(
    Timelines, Gestures,
    ::testing::Values(
        // No gesture: the press goes out at once and a held button repeats every 400 ms.
        TimelineCase{"None_AtThePressAndRepeatedWhileHeld", false, false, "DDDDDDDDDD..", "p.......p...", CU},
        TimelineCase{"None_ALostReadingMakesTheNextDownAPress", false, false, "DD-DD.", "p..p..", CU},
        // Long press only.
        TimelineCase{"Long_ShortPressAtRelease", true, false, "DDD...", "...p..", {"C"}},
        TimelineCase{"Long_OnceAtItsTimeWhileHeldAndNotRepeated", true, false, "DDDDDDDDDDDDDDDDDD..",
                     "......l.............", {"Alt+F"}},
        TimelineCase{"Long_EachGestureStepsThroughItsOwnRow", true, false, "DD..DDDDDDD..DD..DDDDDDD..",
                     "..p.......l....p.......l..", {"C", "Alt+F", "U", "Alt+T"}},
        TimelineCase{"Long_LostReadingsDoNotEndThePress", true, false, "DD----D..", "......l..", {"Alt+F"}},
        TimelineCase{"Long_LostReadingsDoNotCountAsHeld", true, false, "DDBBBB--..", "........p.", {"C"}},
        TimelineCase{"Long_TheCameraGoneSendsNothing", true, false, "DDDX..DDDDDDD", "............l", {"Alt+F"}},
        // Double press only.
        TimelineCase{"Double_ASinglePressOnceTheWaitIsOver", false, true, "DD......", ".......p", {"C"}},
        TimelineCase{"Double_ASecondPressInTimeSendsItOnce", false, true, "DD..DDDDDDDD......", "....d.............",
                     {"Shift+Ctrl+V"}},
        TimelineCase{"Double_ALateSecondPressIsAPressOfItsOwn", false, true, "DD.....DD.......",
                     ".......p......p.", CU},
        TimelineCase{"Double_LostReadingsDoNotHoldTheWait", false, true, "DD.----B..", ".......p..", {"C"}},
        TimelineCase{"Double_AHeldPressDoesNotRepeat", false, true, "DDDDDDDDDDDD......", ".................p",
                     {"C"}},
        TimelineCase{"Double_TheCameraGoneWhileWaitingSendsNothing", false, true, "DD..X.....", "..........", {}},
        // Both: the long press is judged first.
        TimelineCase{"Both_AHeldFirstPressIsALongPress", true, true, "DDDDDDD......", "......l......", {"Alt+F"}},
        TimelineCase{"Both_ADoublePress", true, true, "DD..DD......", "....d.......", {"Shift+Ctrl+V"}},
        TimelineCase{"Both_ASinglePress", true, true, "DD......", ".......p", {"C"}}),
    [](const ::testing::TestParamInfo<TimelineCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace brelkin
