// The chords of a press as the sender types them: the exact events and their
// times on the fake clock, a row cut short by Exit or by another program
// coming to the front, and a press while a row is still going out.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ButtonPoll.h"
#include "engine/ProgramRowResolver.h"
#include "tests/engine/EngineFakes.h"

namespace brelkin {
namespace {

using test::FakeClock;
using test::FakeForeground;
using test::KeyName;

// Each key event with the clock's time in ms: "2025 B down". Holds and delays
// move the clock and show only in the times.
class TimedKeys final : public IKeyboardInput, public ISleeper, public IRowDelay {
public:
    uintptr_t GetMessageExtraInfo() override { return 0; }
    uint16_t ScanCode(uint16_t) override { return 0; }
    unsigned SendKeyEvent(const KeyEvent& event) override {
        lines.push_back(std::to_string(clock.now / 1000) + " " + KeyName(event.vk) +
                        (event.flags & KeyEventKeyUp ? " up" : " down"));
        return 1;
    }
    void Sleep(uint32_t milliseconds) override { clock.now += uint64_t{milliseconds} * 1000; }
    bool Delay(uint32_t milliseconds) override {
        // Exit during this delay: it ends at once.
        if (++delays == exitDuringDelay) return false;
        Sleep(milliseconds);
        return true;
    }

    FakeClock clock;
    std::vector<std::string> lines;
    int delays = 0;
    int exitDuringDelay = 0;  // 0: never
};

class LinesLog final : public ISupportLog {
public:
    void Write(std::string_view event) override { lines.emplace_back(event); }
    std::vector<std::string> lines;
};

// A sender that keeps the press until the test lets it go out.
class QueuedSender final : public IPressSender {
public:
    bool Sending() override { return queued; }
    void Send(const PressChords& press) override {
        queued = true;
        last = press;
        ++sends;
    }
    bool queued = false;
    int sends = 0;
    PressChords last;
};

const char16_t Dexis[] = u"C:\\Dexis\\DEXIS.exe";
const char16_t Chart[] = u"C:\\Practice\\chart.exe";

struct SenderCase {
    const char* label;
    bool oneByOne;
    bool onlyListed;  // with a rule for dexis.exe
    std::vector<std::u16string> inFront;  // at the press, then before each chord
    int exitDuringDelay;
    std::vector<std::string> events;
    uint64_t endMs;  // when the sender is done, the last delay included
    std::vector<std::string> log;
    std::vector<FakeForeground::Window> windows = {};  // at the press, then before each chord
    const char16_t* rule = u"dexis.exe";  // with onlyListed
};

void PrintTo(const SenderCase& c, std::ostream* os) { *os << c.label; }

class SenderRows : public ::testing::TestWithParam<SenderCase> {};

TEST_P(SenderRows, ExactEventsAndTimes) {
    const SenderCase& c = GetParam();
    TriggerState state;
    ActionPreset& custom = state.presets[CustomRow];
    const uint16_t keys[3] = {'A', 'B', 'C'};
    const uint16_t mods[3] = {ModShift, 0, ModCtrl | ModAlt};
    for (int i = 0; i < 3; ++i) {
        custom.Keys[i] = keys[i];
        custom.Modifiers[i] = mods[i];
    }
    custom.OneByOne = c.oneByOne ? 1 : 0;
    custom.DelayTime = 2000;
    state.triggerMode = CustomRow + 1;

    FakeForeground foreground;
    foreground.next = c.inFront;
    foreground.nextWindows = c.windows;
    ProgramRowResolver resolver(foreground);
    if (c.onlyListed) resolver.SetRules({{{c.rule, u"Custom Setting"}}, true}, state.presets);
    state.pressRows = &resolver;

    TimedKeys keys_;
    keys_.exitDuringDelay = c.exitDuringDelay;
    LinesLog log;
    ChordSender sender(keys_, keys_, keys_, &foreground);
    sender.AttachLog(log);

    // The poll's side of the press, then the sender's.
    QueuedSender handover;
    EXPECT_EQ(SendPress(state, handover), c.oneByOne ? 1 : 3);
    const int sent = sender.SendRow(handover.last);

    EXPECT_EQ(keys_.lines, c.events);
    EXPECT_EQ(keys_.clock.now / 1000, c.endMs);
    EXPECT_EQ(log.lines, c.log);
    // The exact events show that every key pressed was released.
    EXPECT_EQ(sent, std::count_if(c.events.begin(), c.events.end(), [](const std::string& line) {
                  return line.find(" A down") != std::string::npos || line.find(" B down") != std::string::npos ||
                         line.find(" C down") != std::string::npos;
              }));
}

const std::vector<std::string> ChordA{"0 Shift down", "0 A down", "25 A up", "25 Shift up"};
const std::vector<std::string> ThreeChords{
    "0 Shift down", "0 A down", "25 A up", "25 Shift up",
    "2025 B down", "2050 B up",
    "4050 Ctrl down", "4050 Alt down", "4050 C down", "4075 C up", "4075 Ctrl up", "4075 Alt up"};
const char DroppedLine[] =
    "Keys: chart.exe came to the front after the press in DEXIS.exe; the rest of the press (2 chords) is not sent";

INSTANTIATE_TEST_SUITE_P(
    Rows, SenderRows,
    ::testing::Values(
        SenderCase{"OneByOneOneChordAndNoDelay", true, false, {Dexis}, 0, ChordA, 25, {}},
        SenderCase{"AtOneTimeDelayAfterEachChordTheLastIncluded", false, false, {Dexis}, 0, ThreeChords, 6075, {}},
        SenderCase{"SameProgramInOtherLetterCase", false, false, {Dexis, u"c:\\dexis\\dexis.EXE"}, 0, ThreeChords,
                   6075, {}},
        // Named once a run, however many chords go there.
        SenderCase{"ARemoteSessionClientIsNamedOnce", false, false, {u"C:\\Windows\\System32\\MSTSC.EXE"}, 0,
                   ThreeChords, 6075,
                   {"Keys: keys go to a remote session through MSTSC.EXE, which passes their scan codes on; the "
                    "remote computer's keyboard layout decides the letters"}},
        SenderCase{"ExitDuringTheFirstDelayStopsAfterChordOne", false, false, {Dexis}, 1, ChordA, 25, {}},
        SenderCase{"FocusMovesBeforeChord2", false, false, {Dexis, Dexis, Chart}, 0, ChordA, 2025,
                   {DroppedLine}},
        SenderCase{"FocusMovesBeforeChord2OnlyListed", false, true, {Dexis, Dexis, Chart}, 0, ChordA, 2025,
                   {DroppedLine}},
        SenderCase{"FocusMovesBetweenThePressAndChord1", false, false, {Dexis, Chart}, 0, {}, 0,
                   {"Keys: chart.exe came to the front after the press in DEXIS.exe; the rest of the press "
                    "(3 chords) is not sent"}},
        SenderCase{"AnotherWindowOfTheProgramBeforeChord2", false, false, {Dexis}, 0, ChordA, 2025,
                   {"Keys: another window of DEXIS.exe came to the front after the press; the rest of the press "
                    "(2 chords) is not sent"},
                   {{7, u"Imaging"}, {7, u"Imaging"}, {8, u"Imaging"}}},
        SenderCase{"TheTitleRuleStopsMatchingBeforeChord3", false, true, {Dexis}, 0,
                   {ThreeChords.begin(), ThreeChords.begin() + 6}, 4050,
                   {"Keys: the title of the window of DEXIS.exe no longer matches *imaging* after the press; the "
                    "rest of the press (1 chord) is not sent"},
                   {{7, u"Imaging - X"}, {7, u"Imaging - X"}, {7, u"IMAGING - Y"}, {7, u"Mail"}},
                   u"dexis.exe|*imaging*"}),
    [](const ::testing::TestParamInfo<SenderCase>& info) { return std::string(info.param.label); });

TEST(ChordSender, APressWhileARowGoesOutIsNotAnsweredAndLeavesTheStepAlone) {
    TriggerState state;
    state.triggerMode = 1;  // Alt+F, Alt+T one by one
    PressFilter press;
    test::FakeJoystick joystick;
    QueuedSender sender;
    PollOutcome first = AnswerReading(state, ButtonReading::Down, 0, press, joystick, sender);
    EXPECT_TRUE(first.pressed);
    EXPECT_EQ(first.chordsSent, 1);
    EXPECT_EQ(state.sequenceStep, 1);
    // Released and pressed again, then held for a repeat: the chord is still out.
    AnswerReading(state, ButtonReading::Up, 50000, press, joystick, sender);
    for (uint64_t at : {100000u, 500000u}) {
        const PollOutcome during = AnswerReading(state, ButtonReading::Down, at, press, joystick, sender);
        EXPECT_TRUE(during.pressed) << at;
        EXPECT_TRUE(during.unanswered) << at;
        EXPECT_EQ(during.chordsSent, 0) << at;
    }
    EXPECT_EQ(sender.sends, 1);
    EXPECT_EQ(state.sequenceStep, 1) << "an unanswered press advanced the row";
    sender.queued = false;  // the row is out
    const PollOutcome next = AnswerReading(state, ButtonReading::Down, 900000, press, joystick, sender);
    EXPECT_FALSE(next.unanswered);
    EXPECT_EQ(sender.sends, 2);
    EXPECT_EQ(sender.last.chords[0].key, 'T');
}

}  // namespace
}  // namespace brelkin
