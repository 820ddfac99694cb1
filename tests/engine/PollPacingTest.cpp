// Presses told apart from the readings of successive ticks, and the poll
// period that follows the cost of the camera's calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/AdaptivePollPeriod.h"
#include "engine/PacedPoll.h"
#include "engine/PressFilter.h"
#include "tests/engine/EngineFakes.h"

namespace brelkin {
namespace {

// --- the press filter: one character per tick --------------------------------
// Readings: D down, U up, - no reading (a skipped tick, a rescan). Presses: X
// where the tick is a press, . where it is not.

struct PressCase {
    const char* label;
    uint32_t period;
    std::string readings;
    std::string presses;
};

void PrintTo(const PressCase& c, std::ostream* os) { *os << c.label; }

std::string Every(std::size_t ticks, std::size_t repeat) {
    std::string out(ticks, '.');
    for (std::size_t i = 0; i < ticks; i += repeat) out[i] = 'X';
    return out;
}

class PressFiltering : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressFiltering, PressesFromReadings) {
    const PressCase& c = GetParam();
    PressFilter filter;
    filter.SetPeriod(c.period);
    std::string presses;
    uint64_t now = 7000000;  // the clock's start is arbitrary
    for (char reading : c.readings) {
        if (reading == '-') {
            filter.Forget();
            presses += '.';
        } else {
            presses += filter.Read(reading == 'D', now) ? 'X' : '.';
        }
        now += uint64_t{c.period} * 1000;  // every tick exactly on time
    }
    EXPECT_EQ(presses, c.presses) << "readings " << c.readings;
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, PressFiltering,
    ::testing::Values(
        PressCase{"EdgeAt50", 50, "UUDDDUDU", "..X...X."},
        PressCase{"FirstReadingDownIsAPress", 50, "DU", "X."},
        PressCase{"HoldAt50RepeatsEvery8Ticks", 50, std::string(17, 'D'), Every(17, 8)},
        PressCase{"HoldAt100RepeatsEvery4Ticks", 100, std::string(9, 'D'), Every(9, 4)},
        PressCase{"HoldAt400IsAPressOnEveryTick", 400, "DDDUD", "XXX.X"},
        PressCase{"HoldAt10RepeatsEvery40Ticks", 10, std::string(81, 'D'), Every(81, 40)},
        // 390 ms is nearer to 400 than 420 is; 780 is farther from 800 than 810.
        PressCase{"HoldAt30RepeatsAtTheTickNearest400", 30, std::string(29, 'D'), "X............X.............X."},
        PressCase{"ReleaseRestartsTheRepeat", 50, "DDDDDDUDDDDDDDDD", "X......X.......X"},
        PressCase{"SkippedTickWhileHeldIsANewPress", 50, "DD-DD", "X..X."},
        PressCase{"RescanWhileHeldIsANewPress", 100, "DDD-DDDD", "X...X..."},
        PressCase{"SkippedTickWhileUpChangesNothing", 50, "U-UD", "...X"},
        PressCase{"OneMsPeriodRepeatsEvery400Ticks", 1, std::string(801, 'D'), Every(801, 400)}),
    [](const ::testing::TestParamInfo<PressCase>& info) { return std::string(info.param.label); });

TEST(PressFiltering, APeriodChangeMidHoldCountsTheTimeAlreadyHeld) {
    PressFilter filter;
    filter.SetPeriod(50);
    EXPECT_TRUE(filter.Read(true, 0));
    for (uint64_t ms = 50; ms <= 200; ms += 50) EXPECT_FALSE(filter.Read(true, ms * 1000)) << ms;
    filter.SetPeriod(100);
    EXPECT_FALSE(filter.Read(true, 300000));
    EXPECT_TRUE(filter.Read(true, 400000));  // the repeat stays at 400 ms
}

// --- the repeat on the clock: ticks that do not come on time ----------------
// Each tick is the time it came (ms after the press) with the button held;
// the presses are the times of the ticks that were one.

struct TimedCase {
    const char* label;
    uint32_t period;
    std::vector<uint32_t> ticks;
    std::vector<uint32_t> presses;
};

void PrintTo(const TimedCase& c, std::ostream* os) { *os << c.label; }

std::vector<uint32_t> TicksEvery(double ms, uint32_t until) {
    std::vector<uint32_t> ticks;
    for (double t = 0; t <= until; t += ms) ticks.push_back(static_cast<uint32_t>(t));
    return ticks;
}

class RepeatOnTheClock : public ::testing::TestWithParam<TimedCase> {};

TEST_P(RepeatOnTheClock, HeldButtonRepeatsEvery400Ms) {
    const TimedCase& c = GetParam();
    PressFilter filter;
    filter.SetPeriod(c.period);
    std::vector<uint32_t> presses;
    for (uint32_t ms : c.ticks)
        if (filter.Read(true, 3000000 + uint64_t{ms} * 1000)) presses.push_back(ms);
    EXPECT_EQ(presses, c.presses);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, RepeatOnTheClock,
    ::testing::Values(
        // PollPeriod 10 on the 15.6 ms Windows clock: counting ticks made it 625 ms.
        TimedCase{"Period10OnA15_6MsClock", 10, TicksEvery(15.625, 1300), {0, 406, 796, 1203}},
        // A late tick answers the repeat late; the next one keeps to the grid.
        TimedCase{"LateTickDoesNotPushTheNextBack", 50,
                  {0, 50, 100, 150, 200, 250, 300, 350, 470, 500, 550, 600, 650, 700, 750, 800, 850},
                  {0, 470, 800}},
        // At 400 a tick a few ms early is still the repeat, not put off by a period.
        TimedCase{"EarlyTicksAt400", 400, {0, 396, 799, 1195, 1602}, {0, 396, 799, 1195, 1602}},
        TimedCase{"EarlyTickAt50", 50, {0, 50, 100, 150, 200, 250, 300, 350, 390, 440}, {0, 390}},
        // Ticks merged over a stall: one press, then 400 ms from it, no burst.
        TimedCase{"MergedTicksGiveOnePress", 50, {0, 50, 1300, 1350, 1400, 1650, 1700, 1750}, {0, 1300, 1700}}),
    [](const ::testing::TestParamInfo<TimedCase>& info) { return std::string(info.param.label); });

// --- the adaptive period: phases of ticks at a given camera cost ------------

struct Phase {
    uint64_t cameraMicroseconds;  // per tick
    int seconds;
    uint32_t periodAfter;
};

struct PeriodCase {
    const char* label;
    uint32_t base;
    uint32_t startPeriod;
    std::vector<Phase> phases;
};

void PrintTo(const PeriodCase& c, std::ostream* os) { *os << c.label; }

class AdaptivePeriod : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(AdaptivePeriod, FollowsTheCostOfTheCameraCalls) {
    const PeriodCase& c = GetParam();
    AdaptivePollPeriod period(c.base);
    EXPECT_EQ(period.Period(), c.startPeriod);
    uint64_t now = 5000000;
    uint32_t current = period.Period();
    std::vector<uint32_t> seen;
    for (const Phase& phase : c.phases) {
        const uint64_t end = now + uint64_t(phase.seconds) * 1000000;
        while (now < end) {
            // The timer's gap, then the tick's camera calls.
            now += uint64_t(current) * 1000 + phase.cameraMicroseconds;
            const uint32_t next = period.AfterTick(now, phase.cameraMicroseconds);
            if (next != current) seen.push_back(next);
            current = next;
        }
        EXPECT_EQ(current, phase.periodAfter) << "after " << phase.seconds << " s at "
                                              << phase.cameraMicroseconds << " us per tick";
    }
    for (uint32_t p : seen) {
        EXPECT_TRUE(p >= period.BasePeriod() && p <= MaxPollPeriod) << p;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Costs, AdaptivePeriod,
    ::testing::Values(
        PeriodCase{"CheapCallsKeepTheBase", 50, 50, {{200, 10, 50}}},
        PeriodCase{"ThirtyMsCallsSettleAt400", 50, 50, {{30000, 6, 400}, {30000, 20, 400}}},
        PeriodCase{"ThirtyMsCallsAt400StayThere", 400, 400, {{30000, 10, 400}}},
        PeriodCase{"SixMsCallsDoubleOnceAndStay", 50, 50, {{6000, 3, 100}, {6000, 20, 100}}},
        PeriodCase{"ThreeMsCallsFitAt50", 50, 50, {{3000, 10, 50}}},
        PeriodCase{"CheapAgainComesBackToTheBase", 50, 50, {{30000, 6, 400}, {100, 6, 50}}},
        PeriodCase{"From10DoublesWhileOverBudgetAndStopsAt320", 10, 10, {{30000, 12, 320}, {50, 12, 10}}},
        PeriodCase{"BaseOutOfRangeIsTheDefault", 5, 50, {{200, 2, 50}}},
        PeriodCase{"BaseAboveRangeIsTheDefault", 401, 50, {{200, 2, 50}}}),
    [](const ::testing::TestParamInfo<PeriodCase>& info) { return std::string(info.param.label); });

TEST(AdaptivePeriod, AClockThatGoesBackStartsTheSecondAgain) {
    AdaptivePollPeriod period(50);
    period.AfterTick(10000000, 0);
    EXPECT_EQ(period.AfterTick(2000000, 900000), 50u);  // not a wall time of years
    EXPECT_EQ(period.AfterTick(2500000, 400000), 50u);  // half a second: no decision yet
    EXPECT_EQ(period.AfterTick(3000000, 400000), 100u);
}

// --- the paced poll: what counts as the camera's time ------------------------

struct PacedRig {
    test::FakeClock clock;
    test::FakeCamera camera;
    test::FakeJoystick joystick;
    test::RecordingInput input;
    ImmediatePressSender sender{input, input};
    PressFilter press;
    TriggerState state;
    PacedPoll poll{clock};

    PacedRig() {
        camera.clock = &clock;
        input.clock = &clock;
        poll.SetBasePeriod(50);
    }
    // Ticks for `seconds` of the fake clock; returns the period at the end.
    uint32_t RunFor(int seconds) {
        const uint64_t end = clock.now + uint64_t(seconds) * 1000000;
        uint32_t period = poll.Period();
        while (clock.now < end) {
            clock.now += uint64_t(period) * 1000;
            input.Clear();
            period = poll.Tick(state, &camera, press, joystick, sender).nextPeriod;
        }
        return period;
    }
};

TEST(PacedPoll, ASlowIsButtonPressedLengthensThePeriodAndTheRepeatStays400Ms) {
    PacedRig rig;
    rig.camera.pressed = 0;
    rig.camera.pressedCostMicroseconds = 30000;
    EXPECT_EQ(rig.RunFor(6), 400u);
    EXPECT_EQ(rig.press.Period(), 400u);
    rig.camera.pressedCostMicroseconds = 0;
    EXPECT_EQ(rig.RunFor(6), 50u);
    EXPECT_EQ(rig.press.Period(), 50u);
    // Held through both: a press every 400 ms of the clock, whatever the period.
    rig.camera.pressed = 1;
    rig.input.extraInfoReads = 0;
    rig.state.triggerMode = 3;  // F5 on every press
    EXPECT_EQ(rig.RunFor(4), 50u);
    EXPECT_EQ(rig.input.extraInfoReads, 10u);
}

TEST(PacedPoll, ASlowCallOnATickThatStopsEarlyStillCounts) {
    PacedRig rig;
    rig.camera.valid = 0;  // every tick stops after IsInterfaceValid
    rig.camera.validCostMicroseconds = 30000;
    EXPECT_EQ(rig.RunFor(6), 400u);
    EXPECT_EQ(rig.camera.pressedCalls, 0);
}

TEST(PacedPoll, ChordsAndTheirDelaysAreNotCameraTime) {
    PacedRig rig;
    rig.state.triggerMode = 9;  // at one time, 50 ms after each of two chords: 150 ms a press
    rig.camera.pressed = 1;
    EXPECT_EQ(rig.RunFor(5), 50u);
    EXPECT_GT(rig.input.extraInfoReads, 10u) << "the held button sent no presses";
}

TEST(PacedPoll, NoCameraCountsAsNoReadingAndNoCost) {
    PacedRig rig;
    rig.press.Read(true, rig.clock.now);
    rig.clock.now += 1000;
    EXPECT_EQ(rig.poll.Tick(rig.state, nullptr, rig.press, rig.joystick, rig.sender).nextPeriod, 50u);
    EXPECT_TRUE(rig.press.Read(true, rig.clock.now)) << "the tick without a camera did not count as no reading";
}

}  // namespace
}  // namespace brelkin
