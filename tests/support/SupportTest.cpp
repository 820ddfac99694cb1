// The support log's cap and rotation over a store in memory, its text
// encoding, the notifications' gate and the integrity rule over a fake query.
#include <gtest/gtest.h>

#include <map>

#include "support/ElevatedTargetCheck.h"
#include "support/Notifications.h"
#include "support/RotatingSupportLog.h"
#include "support/SupportTexts.h"
#include "engine/Utf8.h"
#include "tests/support/RecordingSupport.h"

namespace brelkin::test {
namespace {

using MemoryLogStore = RecordingLogStore;

TEST(SupportLog, KeepsEachFileUnderTheCapAndOneOlderFile) {
    struct Row {
        const char* label;
        uint64_t cap;
        std::vector<std::string> events;
        std::string current, older;
        int rotations;
        bool failRotate = false, failTruncate = false;
        int truncations = 0;
    };
    const std::string emptied = "T Support log: the older file could not be replaced, so this file was emptied instead\r\n";
    const Row rows[] = {
        {"fits", 100, {"a", "b"}, "T a\r\nT b\r\n", "", 0},
        // 5 + 5 = 10 fits exactly; the third line rotates.
        {"rotates at the cap", 10, {"a", "b", "c"}, "T c\r\n", "T a\r\nT b\r\n", 1},
        {"second rotation drops the oldest", 5, {"a", "b", "c"}, "T c\r\n", "T b\r\n", 2},
        {"overlong event is cut to the cap", 8, {"abcdefgh"}, "T abcd\r\n", "", 0},
        {"line breaks in an event stay one line", 100, {"a\r\nb"}, "T a  b\r\n", "", 0},
        {"failing rotation empties the file and says so", 100, {std::string(96, 'x'), "b"}, emptied + "T b\r\n", "",
         0, true, false, 1},
        {"failing rotation, note and line too long for the cap together", 10, {"a", "b", "c"}, "T c\r\n", "", 0,
         true, false, 1},
        {"nothing can make room: the line is lost, not the cap", 10, {"a", "b", "c"}, "T a\r\nT b\r\n", "", 0,
         true, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        MemoryLogStore store;
        store.failRotate = row.failRotate;
        store.failTruncate = row.failTruncate;
        RotatingSupportLog log(store, row.cap);
        for (const auto& e : row.events) log.Write(e);
        EXPECT_EQ(store.current, row.current);
        EXPECT_EQ(store.older, row.older);
        EXPECT_EQ(store.rotations, row.rotations);
        EXPECT_EQ(store.truncations, row.truncations);
        EXPECT_LE(store.current.size(), row.cap);
    }
}

TEST(SupportLog, AFailingStoreLosesTheLineQuietly) {
    MemoryLogStore store;
    store.failAppend = true;
    RotatingSupportLog log(store);
    log.Write("lost");
    store.failAppend = false;
    log.Write("kept");
    EXPECT_EQ(store.current, "T kept\r\n");
}

TEST(SupportLog, Utf8OfNamesAndDamagedText) {
    EXPECT_EQ(ToUtf8(u"C:\\Bilder\\\u00c4rzte\\\u20ac"), "C:\\Bilder\\\xC3\x84rzte\\\xE2\x82\xAC");
    EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xEF\xBF\xBD" "b");
}

struct RecordingBalloons final : IBalloonTarget {
    std::vector<std::u16string> shown;
    bool keep = true;
    bool ShowBalloon(std::u16string_view text) override {
        if (keep) shown.emplace_back(text);
        return keep;
    }
};

// The log stays English; the balloon is in the user's language.
TEST(Notifications, AreLoggedAndShownUnlessBalloonsAreOff) {
    for (bool show : {true, false}) {
        SCOPED_TRACE(show ? "on" : "off");
        RecordingSupportLog log;
        RecordingBalloons balloons;
        Notifications notifications(log, balloons, show);
        notifications.Notify(u"Cause. Next step.", u"Ursache. N\u00e4chster Schritt.");
        ASSERT_EQ(balloons.shown.size(), show ? 1u : 0u);
        if (show) {
            EXPECT_EQ(balloons.shown[0], u"Ursache. N\u00e4chster Schritt.");
        }
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0], show ? "Notification: Cause. Next step."
                                     : "Notification (balloons off): Cause. Next step.");
    }
}

TEST(Notifications, ABalloonTheTrayCannotKeepIsLoggedAsNotShown) {
    RecordingSupportLog log;
    RecordingBalloons full;
    full.keep = false;
    Notifications(log, full).Notify(u"Ninth.");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Notification: Ninth.",
                                                   "Notification not shown: too many balloons wait to be shown"}));
}

using FakeIntegrity = FakeProcessIntegrity;

TEST(ElevatedTarget, NamesAHigherProcessOnceAndIgnoresEqualOrUnknownOnes) {
    struct Row {
        const char* label;
        std::vector<uint32_t> focusPerPress;
        size_t notices;
        int highCount;  // presses that found the focus above this process
    };
    const Row rows[] = {
        {"high target, three presses", {7, 7, 7}, 1, 3},
        {"two high targets", {7, 8, 7, 8}, 2, 4},
        {"same level", {5}, 0, 0},
        {"lower level", {6}, 0, 0},
        {"no focus", {0}, 0, 0},
        {"unreadable level", {9}, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        FakeIntegrity integrity;
        integrity.levels = {{0, 0x2000}, {5, 0x2000}, {6, 0x1000}, {7, 0x3000}, {8, 0x4000}};
        RecordingSupportLog log;
        RecordingNotifier notifier;
        ElevatedTargetCheck check(integrity, log, notifier);
        int high = 0;
        for (uint32_t focus : row.focusPerPress) {
            integrity.focus = focus;
            high += check.CheckKeyTarget() ? 1 : 0;
        }
        EXPECT_EQ(notifier.texts.size(), row.notices);
        EXPECT_EQ(log.lines.size(), row.notices);
        EXPECT_EQ(high, row.highCount);
    }
    FakeIntegrity integrity;
    integrity.levels = {{0, 0x2000}, {7, 0x3000}};
    integrity.focus = 7;
    RecordingSupportLog log;
    RecordingNotifier notifier;
    ElevatedTargetCheck(integrity, log, notifier).CheckKeyTarget();
    ASSERT_EQ(notifier.texts.size(), 1u);
    EXPECT_EQ(notifier.texts[0].rfind("C:\\Imaging\\Viewer.exe runs as administrator", 0), 0u) << notifier.texts[0];
}

// Support scripts match these lines exactly.
TEST(SupportTexts, KeyTargetLinesReadAsSupportExpects) {
    EXPECT_EQ(KeysDroppedLine(7, u""),
              "Keys dropped: process 7 (The program with the focus) runs at a higher integrity level than Brelkin");
    EXPECT_EQ(ToUtf8(KeysDroppedText(u"viewer.exe").English()),
              "viewer.exe runs as administrator, so Windows drops the keys that Brelkin types into it. "
              "Run the imaging program without elevation, or Brelkin at the same level.");
}

}  // namespace
}  // namespace brelkin::test
