#include <gtest/gtest.h>

#include "engine/ChordSender.h"
#include "engine/KeySynthesis.h"
#include "tests/engine/EngineFakes.h"

namespace brelkin {
namespace {

using test::Describe;
using test::LogEntry;
using test::RecordingInput;

struct ChordCase {
    const char* label;
    ModifierMask modifiers;
    uint16_t key;
    std::vector<std::string> events;
    uint16_t layout = 0;              // in front at the start
    uint32_t layoutChangesAfter = 0;  // key event after which the next one is
};

void PrintTo(const ChordCase& c, std::ostream* os) { *os << c.label; }

class SendKeyChordEvents : public ::testing::TestWithParam<ChordCase> {};

TEST_P(SendKeyChordEvents, ExactSequence) {
    const ChordCase& c = GetParam();
    RecordingInput input;
    input.layout = c.layout;
    input.layoutChangesAfter = c.layoutChangesAfter;
    KeysLeftDown leftDown;
    EXPECT_TRUE(SendKeyChord(input, input, c.modifiers, c.key, leftDown));
    EXPECT_TRUE(leftDown.Empty());
    EXPECT_EQ(Describe(input.log), c.events);
    EXPECT_EQ(input.extraInfoReads, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Chords, SendKeyChordEvents,
    ::testing::Values(
        ChordCase{"F5_mask0", 0, 0x74, {"extra-info", "F5 down", "sleep 25", "F5 up"}},
        ChordCase{"AltF_mask4", 4, 'F', {"extra-info", "Alt down", "F down", "sleep 25", "F up", "Alt up"}},
        // Released in press order: Shift before Ctrl.
        ChordCase{"ShiftCtrlV_mask3", 3, 'V',
                  {"extra-info", "Shift down", "Ctrl down", "V down", "sleep 25", "V up", "Shift up", "Ctrl up"}},
        ChordCase{"AllFour_mask15", 15, 'G',
                  {"extra-info", "Shift down", "Ctrl down", "Alt down", "LWin down ext", "G down", "sleep 25",
                   "G up", "Shift up", "Ctrl up", "Alt up", "LWin up ext"}},
        ChordCase{"WinOnly_mask8", 8, 'E',
                  {"extra-info", "LWin down ext", "E down", "sleep 25", "E up", "LWin up ext"}},
        // Bits above the four modifier bits add nothing.
        ChordCase{"HighBitOnly_mask16", 16, 0x74, {"extra-info", "F5 down", "sleep 25", "F5 up"}},
        ChordCase{"HighBitsWithCtrl_maskFFF2", 0xFFF2, 'I',
                  {"extra-info", "Ctrl down", "I down", "sleep 25", "I up", "Ctrl up"}},
        ChordCase{"LeftArrow_extended", 0, 0x25, {"extra-info", "vk25 down ext", "sleep 25", "vk25 up ext"}},
        // The layout changes during the hold: the key-ups keep the scan codes
        // of their key-downs, which the whole chord read before it began.
        ChordCase{"LayoutChangedDuringTheHold_UpsKeepTheirScanCodes", 4, 'F',
                  {"extra-info", "Alt down scan=1018", "F down scan=1070", "sleep 25", "F up scan=1070",
                   "Alt up scan=1018"},
                  1, 1}),
    [](const ::testing::TestParamInfo<ChordCase>& info) { return std::string(info.param.label); });

TEST(SendKeyChord, EveryRecordHasTheFixedFields) {
    RecordingInput input;
    input.layout = 2;
    KeysLeftDown leftDown;
    SendKeyChord(input, input, 15, 0x25, leftDown);
    ASSERT_EQ(input.log.size(), 1u + 10u + 1u);
    const uintptr_t extra = input.log[0].extraInfo;
    int ups = 0, extended = 0;
    for (const LogEntry& entry : input.log) {
        if (entry.kind != LogEntry::Key) continue;
        EXPECT_EQ(entry.event.scan, 2000u + entry.event.vk);
        EXPECT_EQ(entry.event.time, 0u);
        EXPECT_EQ(entry.event.flags & ~(KeyEventKeyUp | KeyEventExtendedKey), 0u) << entry.event.flags;
        EXPECT_EQ(entry.event.extraInfo, extra);
        ups += (entry.event.flags & KeyEventKeyUp) != 0;
        extended += (entry.event.flags & KeyEventExtendedKey) != 0;
    }
    EXPECT_EQ(ups, 5);
    EXPECT_EQ(extended, 4);  // the Windows key and the arrow, down and up
}

TEST(SendKeyChord, EachChordReadsExtraInfoAfresh) {
    RecordingInput input;
    KeysLeftDown leftDown;
    SendKeyChord(input, input, 4, 'F', leftDown);
    SendKeyChord(input, input, 4, 'T', leftDown);
    // Describe flags any event whose value is not the one read for its chord.
    EXPECT_EQ(Describe(input.log),
              (std::vector<std::string>{"extra-info", "Alt down", "F down", "sleep 25", "F up", "Alt up", "extra-info",
                                        "Alt down", "T down", "sleep 25", "T up", "Alt up"}));
}

TEST(SendKeyChord, KeyZeroSendsNothing) {
    // Bare modifiers would reach the focused window (a lone Alt opens its menu).
    RecordingInput input;
    KeysLeftDown leftDown;
    SendKeyChord(input, input, 15, 0, leftDown);
    EXPECT_TRUE(input.log.empty());
}

// Presses through the chord sender while the system refuses some key events
// (counted from 1): what is sent again, when, and what the log says.
struct RefusalCase {
    const char* label;
    std::vector<PressChords> presses;
    std::vector<uint32_t> refuse;
    bool exitAfter;
    std::vector<std::string> events;
    int logLines;
    uint16_t layout = 0;
    uint32_t layoutChangesAfter = 0;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.label; }

PressChords Press(std::initializer_list<PressChord> chords, bool delayAfterEach = false) {
    PressChords press;
    for (const PressChord& chord : chords) press.chords[press.count++] = chord;
    press.delayAfterEach = delayAfterEach;
    press.delayMilliseconds = 50;
    return press;
}

class LineCount final : public ISupportLog {
public:
    void Write(std::string_view line) override {
        ++lines;
        last = line;
    }
    int lines = 0;
    std::string last;
};

class RefusedKeyUps : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedKeyUps, SentAgainUntilTheyGoOut) {
    const RefusalCase& c = GetParam();
    RecordingInput input;
    input.refuse = c.refuse;
    input.layout = c.layout;
    input.layoutChangesAfter = c.layoutChangesAfter;
    ImmediatePressSender sender(input, input);
    LineCount log;
    sender.Sender().AttachLog(log);
    for (const PressChords& press : c.presses) sender.Send(press);
    if (c.exitAfter) sender.Sender().ReleaseKeysLeftDown();
    EXPECT_EQ(Describe(input.log), c.events);
    EXPECT_EQ(log.lines, c.logLines) << log.last;
}

const PressChord AltF{ModAlt, 'F'}, AltT{ModAlt, 'T'}, CtrlI{ModCtrl, 'I'};

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedKeyUps,
    ::testing::Values(
        RefusalCase{"UpsRefused_SentAgainAtTheNextPress", {Press({AltF}), Press({AltT})}, {3, 4}, false,
                    {"extra-info", "Alt down", "F down", "sleep 25", "F up refused", "Alt up refused", "extra-info",
                     "F up", "Alt up", "extra-info", "Alt down", "T down", "sleep 25", "T up", "Alt up"},
                    1},
        // Refused again by the press's one attempt before its first chord
        // (never a second one at once), then taken before its second chord.
        RefusalCase{"RefusedAgain_SentAgainOnceBeforeEachChordUntilItGoesOut",
                    {Press({AltF}), Press({CtrlI, AltT}, true)}, {4, 5}, false,
                    {"extra-info", "Alt down", "F down", "sleep 25", "F up", "Alt up refused", "extra-info",
                     "Alt up refused", "extra-info", "Ctrl down", "I down", "sleep 25", "I up", "Ctrl up", "sleep 50",
                     "extra-info", "Alt up", "extra-info", "Alt down", "T down", "sleep 25", "T up", "Alt up",
                     "sleep 50"},
                    1},
        // Sent again with the scan code of its key-down, whatever layout the
        // next press finds in front.
        RefusalCase{"UpRefused_SentAgainWithItsScanCodeAfterTheLayoutChanged", {Press({CtrlI}), Press({AltF})}, {3},
                    false,
                    {"extra-info", "Ctrl down scan=1017", "I down scan=1073", "sleep 25", "I up scan=1073 refused",
                     "Ctrl up scan=1017", "extra-info", "I up scan=1073", "extra-info", "Alt down scan=2018",
                     "F down scan=2070", "sleep 25", "F up scan=2070", "Alt up scan=2018"},
                    1, 1, 4},
        RefusalCase{"UpRefused_SentAgainAtExit", {Press({CtrlI})}, {3}, true,
                    {"extra-info", "Ctrl down", "I down", "sleep 25", "I up refused", "Ctrl up", "extra-info", "I up"},
                    1},
        // A key the system never took as down is not released again.
        RefusalCase{"DownAndUpRefused_NothingLeftDown", {Press({AltF})}, {1, 4}, true,
                    {"extra-info", "Alt down refused", "F down", "sleep 25", "F up", "Alt up refused"}, 1},
        RefusalCase{"ThreeRefusedChords_OneLinePerPress", {Press({AltF, AltT, CtrlI}, true), Press({AltF})},
                    {3, 8, 13, 15, 18}, false,
                    {"extra-info", "Alt down", "F down", "sleep 25", "F up refused", "Alt up", "sleep 50",
                     "extra-info", "F up", "extra-info", "Alt down", "T down", "sleep 25", "T up refused", "Alt up",
                     "sleep 50", "extra-info", "T up", "extra-info", "Ctrl down", "I down", "sleep 25",
                     "I up refused", "Ctrl up", "sleep 50", "extra-info", "I up refused", "extra-info", "Alt down",
                     "F down", "sleep 25", "F up refused", "Alt up"},
                    2}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace brelkin
