#include <gtest/gtest.h>

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
};

void PrintTo(const ChordCase& c, std::ostream* os) { *os << c.label; }

class SendKeyChordEvents : public ::testing::TestWithParam<ChordCase> {};

TEST_P(SendKeyChordEvents, ExactSequence) {
    const ChordCase& c = GetParam();
    RecordingInput input;
    SendKeyChord(input, input, c.modifiers, c.key);
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
                  {"extra-info", "Shift down", "Ctrl down", "Alt down", "LWin down", "G down", "sleep 25", "G up",
                   "Shift up", "Ctrl up", "Alt up", "LWin up"}},
        ChordCase{"WinOnly_mask8", 8, 'E', {"extra-info", "LWin down", "E down", "sleep 25", "E up", "LWin up"}},
        // Bits above the four modifier bits add nothing.
        ChordCase{"HighBitOnly_mask16", 16, 0x74, {"extra-info", "F5 down", "sleep 25", "F5 up"}},
        ChordCase{"HighBitsWithCtrl_maskFFF2", 0xFFF2, 'I',
                  {"extra-info", "Ctrl down", "I down", "sleep 25", "I up", "Ctrl up"}},
        // Arrow keys go out without the extended-key flag (flags exactly 0 and 2).
        ChordCase{"LeftArrow_noExtendedFlag", 0, 0x25, {"extra-info", "vk25 down", "sleep 25", "vk25 up"}},
        ChordCase{"Delete_noExtendedFlag", 1, 0x2E,
                  {"extra-info", "Shift down", "vk2E down", "sleep 25", "vk2E up", "Shift up"}}),
    [](const ::testing::TestParamInfo<ChordCase>& info) { return std::string(info.param.label); });

TEST(SendKeyChord, EveryRecordHasTheFixedFields) {
    RecordingInput input;
    SendKeyChord(input, input, 15, 0x25);
    ASSERT_EQ(input.log.size(), 1u + 10u + 1u);
    const uintptr_t extra = input.log[0].extraInfo;
    int ups = 0;
    for (const LogEntry& entry : input.log) {
        if (entry.kind != LogEntry::Key) continue;
        EXPECT_EQ(entry.event.scan, 0u);
        EXPECT_EQ(entry.event.time, 0u);
        EXPECT_TRUE(entry.event.flags == 0 || entry.event.flags == KeyEventKeyUp) << entry.event.flags;
        EXPECT_EQ(entry.event.extraInfo, extra);
        ups += entry.event.flags == KeyEventKeyUp;
    }
    EXPECT_EQ(ups, 5);
}

TEST(SendKeyChord, EachChordReadsExtraInfoAfresh) {
    RecordingInput input;
    SendKeyChord(input, input, 4, 'F');
    SendKeyChord(input, input, 4, 'T');
    // Describe flags any event whose value is not the one read for its chord.
    EXPECT_EQ(Describe(input.log),
              (std::vector<std::string>{"extra-info", "Alt down", "F down", "sleep 25", "F up", "Alt up", "extra-info",
                                        "Alt down", "T down", "sleep 25", "T up", "Alt up"}));
}

TEST(SendKeyChord, KeyZeroSendsNothing) {
    // Bare modifiers would reach the focused window (a lone Alt opens its menu).
    RecordingInput input;
    SendKeyChord(input, input, 15, 0);
    EXPECT_TRUE(input.log.empty());
}

}  // namespace
}  // namespace brelkin
