// The precedence of the user's values over the machine-wide defaults, through
// two recording profiles, and the settings loaded and saved over the layers.
#include <gtest/gtest.h>

#include <string>

#include "settings/AppSettings.h"
#include "settings/LayeredProfile.h"
#include "settings/ProgramSettings.h"
#include "tests/settings/FakeProfile.h"

namespace brelkin {
namespace {

using test::FakeProfile;
using test::FakeTooltip;

enum class Stored { Present, Missing, Damaged, Unreadable };

// Present: a value of the right kind; Damaged: one of the other kind, as a
// text where an integer belongs; Unreadable: the whole store fails to read.
void Plant(FakeProfile& store, Stored state, uint32_t number, std::u16string_view text) {
    store.failReads = state == Stored::Unreadable;
    if (state == Stored::Present) {
        store.SetInt(u"DelayTime", number);
        store.SetText(u"DefaultKey", text);
    } else if (state == Stored::Damaged) {
        store.SetText(u"DelayTime", u"250");
        store.SetInt(u"DefaultKey", 3);
    }
}

TEST(LayeredProfile, TheUsersReadableValueWinsTheMachinesFillsInTheDefaultIsLast) {
    const struct {
        Stored user, machine;
        uint32_t number;
        std::u16string text;
        ProfileSource source;
    } rows[] = {
        {Stored::Present, Stored::Present, 100, u"Space", ProfileSource::User},
        {Stored::Present, Stored::Missing, 100, u"Space", ProfileSource::User},
        {Stored::Present, Stored::Damaged, 100, u"Space", ProfileSource::User},
        {Stored::Present, Stored::Unreadable, 100, u"Space", ProfileSource::User},
        {Stored::Missing, Stored::Present, 200, u"Kodak (F5)", ProfileSource::Machine},
        {Stored::Missing, Stored::Missing, 5000, u"default", ProfileSource::Default},
        {Stored::Missing, Stored::Damaged, 5000, u"default", ProfileSource::Default},
        {Stored::Missing, Stored::Unreadable, 5000, u"default", ProfileSource::Default},
        {Stored::Damaged, Stored::Present, 200, u"Kodak (F5)", ProfileSource::Machine},
        {Stored::Damaged, Stored::Damaged, 5000, u"default", ProfileSource::Default},
        {Stored::Unreadable, Stored::Present, 200, u"Kodak (F5)", ProfileSource::Machine},
        {Stored::Unreadable, Stored::Missing, 5000, u"default", ProfileSource::Default},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "user " << static_cast<int>(row.user) << ", machine "
                                        << static_cast<int>(row.machine));
        FakeProfile user, machine;
        Plant(user, row.user, 100, u"Space");
        Plant(machine, row.machine, 200, u"Kodak (F5)");
        LayeredProfile profile(user, machine);
        EXPECT_EQ(profile.GetProfileInt(u"Settings", u"DelayTime", 5000), row.number);
        EXPECT_EQ(test::Narrow(profile.GetProfileString(u"Settings", u"DefaultKey", u"default")),
                  test::Narrow(row.text));
        EXPECT_EQ(profile.ProfileIntSource(u"Settings", u"DelayTime"), row.source);
        EXPECT_EQ(profile.ProfileStringSource(u"Settings", u"DefaultKey"), row.source);
        EXPECT_FALSE(machine.Wrote());
        EXPECT_FALSE(user.Wrote());
    }
}

TEST(LayeredProfile, AFirstStartTakesTheMachinesPresetAndDriverWritesNothingThenTheUsersChoiceWins) {
    FakeProfile user, machine;
    machine.SetText(u"DefaultKey", u"Kodak (F5)");
    machine.SetInt(u"UseBDA", 0);
    LayeredProfile profile(user, machine);
    TriggerState trigger;
    DriverKind kind = DriverBda;
    FakeTooltip tip;
    AppSettings settings(profile, trigger, kind, tip);
    settings.LoadSettings();
    EXPECT_EQ(trigger.triggerMode, 3);
    EXPECT_EQ(kind, DriverWdm);
    EXPECT_EQ(trigger.presets[CustomRow].Keys[0], 32) << "a value neither store has keeps its default";
    EXPECT_FALSE(user.Wrote());

    trigger.triggerMode = 11;  // Space, chosen from the menu
    settings.SaveSettings();
    EXPECT_FALSE(machine.Wrote());
    ASSERT_NE(user.Find(u"DefaultKey"), nullptr);
    EXPECT_EQ(test::Narrow(user.Find(u"DefaultKey")->text), "Space");
    settings.LoadSettings();
    EXPECT_EQ(trigger.triggerMode, 11);
    EXPECT_EQ(profile.ProfileStringSource(u"Settings", u"DefaultKey"), ProfileSource::User);
}

// What the user changes reaches their key and nothing else, so a default that
// the administrator changes afterwards still reaches every value the user
// never set, at the next start.
TEST(LayeredProfile, UserChangedOneValueMachineChangesAnotherLater) {
    struct Row {
        const char* label;
        bool userHadAllTen;  // as earlier versions wrote it
        void (*choose)(TriggerState&, DriverKind&);
        bool modeChosen;
        std::string userKey;  // the names in the user's key afterwards
        TriggerMode modeAtRestart;
        DriverKind kindAtRestart;
        uint16_t delayAtRestart;
    };
    const Row rows[] = {
        {"a menu choice", false, [](TriggerState& t, DriverKind&) { t.triggerMode = 11; }, true, "DefaultKey;", 11,
         DriverBda, 900},
        {"Custom Settings changed Key1", false,
         [](TriggerState& t, DriverKind&) { t.presets[CustomRow].Keys[0] = 0x41, t.triggerMode = 13; }, true,
         "DefaultKey;Key1;", 13, DriverBda, 900},
        {"the driver dialog", false, [](TriggerState&, DriverKind& k) { k = 2; }, false, "UseBDA;", 12, 2, 900},
        {"a user key with all ten values keeps them", true, [](TriggerState& t, DriverKind&) { t.triggerMode = 11; },
         true, "DefaultKey;DelayTime;Key1;Key2;Key3;KeyEx1;KeyEx2;KeyEx3;OneByOne;UseBDA;", 11, DriverWdm, 5000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        FakeProfile user, machine;
        machine.SetText(u"DefaultKey", u"Kodak (F5)");
        machine.SetInt(u"UseBDA", 0);
        if (row.userHadAllTen) {
            for (auto name : {u"Key1", u"Key2", u"Key3", u"KeyEx1", u"KeyEx2", u"KeyEx3", u"OneByOne", u"UseBDA"})
                user.SetInt(name, 0);
            user.SetInt(u"DelayTime", 5000);
            user.SetText(u"DefaultKey", u"Kodak (F5)");
        }
        LayeredProfile profile(user, machine);
        TriggerState trigger;
        DriverKind kind = DriverWdm;
        FakeTooltip tip;
        AppSettings settings(profile, trigger, kind, tip);
        settings.LoadSettings();
        row.choose(trigger, kind);
        EXPECT_TRUE(row.modeChosen ? settings.SaveModeChoice() : settings.SaveSettings());
        std::string names;
        for (const auto& value : user.values) names += test::Narrow(value.first) + ";";
        EXPECT_EQ(names, row.userKey);

        // The administrator deploys new defaults; the user starts again.
        machine.SetText(u"DefaultKey", u"Enter");
        machine.SetInt(u"UseBDA", 1);
        machine.SetInt(u"DelayTime", 900);
        trigger = TriggerState{};
        kind = DriverWdm;
        settings.LoadSettings();
        EXPECT_EQ(trigger.triggerMode, row.modeAtRestart);
        EXPECT_EQ(kind, row.kindAtRestart);
        EXPECT_EQ(trigger.presets[CustomRow].DelayTime, row.delayAtRestart);
        EXPECT_FALSE(machine.Wrote());

        // Removing one value from the user's key gives the machine's back.
        user.values.erase(u"UseBDA");
        settings.LoadSettings();
        EXPECT_EQ(kind, DriverBda);
    }
}

TEST(LayeredProfile, MachineProgramRulesApplyWhereTheUserHasNoRuleOfTheSameProgram) {
    FakeProfile user, machine;
    user.SetText(u"Settings\\Programs", u"Dexis.exe", u"Space");
    machine.SetText(u"Settings\\Programs", u"DEXIS.EXE", u"Kodak (F5)");
    machine.SetText(u"Settings\\Programs", u"chart.exe", u"Enter");
    LayeredProfile profile(user, machine);
    const ProgramRuleSet rules = ProgramSettings(profile).Load();
    ASSERT_EQ(rules.rules.size(), 2u);
    EXPECT_EQ(test::Narrow(rules.rules[0].program + u"=" + rules.rules[0].mode), "Dexis.exe=Space");
    EXPECT_EQ(test::Narrow(rules.rules[1].program + u"=" + rules.rules[1].mode), "chart.exe=Enter");
    EXPECT_EQ(profile.GetProfileEntries(u"Settings\\Programs", 1).size(), 1u) << "the limit covers both stores";
    EXPECT_TRUE(profile.DeleteProfileEntry(u"Settings\\Programs", u"chart.exe"));
    EXPECT_FALSE(machine.Wrote());
    for (const test::ProfileCall& call : machine.calls)
        EXPECT_NE(call.kind, test::ProfileCall::Delete) << "a delete reached the machine";
}

// The rules as the Programs dialog gets them: the administrator's marked and
// kept beneath the user's own, and what a save makes of the dialog's edits.
TEST(LayeredProfile, DeployedRulesAreShownAsTheAdministratorsAndOverriddenByTheUsersOwn) {
    auto describe = [](const ProgramRuleSet& set) {
        std::string text;
        for (const ProgramRule& r : set.rules) {
            text += test::Narrow(r.program + u"=" + r.mode) + (r.deployed ? " (deployed)" : "") +
                    (r.deployedMode ? " over " + test::Narrow(*r.deployedMode) : "") + "; ";
        }
        return text;
    };
    struct Row {
        const char* label;
        void (*edit)(ProgramRuleSet&);
        std::vector<std::string> userCalls;  // writes and deletes in the user's store
        std::string reloaded;
    };
    const Row rows[] = {
        {"shown as loaded", [](ProgramRuleSet&) {}, {},
         "Dexis.exe=Space over Kodak (F5); chart.exe=Enter (deployed) over Enter; "},
        {"another mode for a deployed rule makes it the user's own",
         [](ProgramRuleSet& s) { s.rules[1].mode = u"Space", s.rules[1].deployed = false; }, {"write chart.exe=Space"},
         "Dexis.exe=Space over Kodak (F5); chart.exe=Space over Enter; "},
        {"the user's rule removed: the administrator's applies again",
         [](ProgramRuleSet& s) { s.rules[0].mode = u"Kodak (F5)", s.rules[0].deployed = true; },
         {"delete Dexis.exe"}, "Dexis.exe=Kodak (F5) (deployed) over Kodak (F5); chart.exe=Enter (deployed) over Enter; "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        FakeProfile user, machine;
        user.SetText(u"Settings\\Programs", u"Dexis.exe", u"Space");
        // The same spelling: the fake's names are compared exactly, unlike the registry's.
        machine.SetText(u"Settings\\Programs", u"Dexis.exe", u"Kodak (F5)");
        machine.SetText(u"Settings\\Programs", u"chart.exe", u"Enter");
        LayeredProfile profile(user, machine);
        ProgramSettings store(profile);
        const ProgramRuleSet loaded = store.Load();
        ProgramRuleSet edited = loaded;
        row.edit(edited);
        user.calls.clear();
        EXPECT_TRUE(store.Save(loaded, edited));
        std::vector<std::string> calls;
        for (const test::ProfileCall& c : user.calls) {
            if (c.kind == test::ProfileCall::WriteString) calls.push_back("write " + test::Narrow(c.entry + u"=" + c.text));
            if (c.kind == test::ProfileCall::Delete) calls.push_back("delete " + test::Narrow(c.entry));
        }
        EXPECT_EQ(calls, row.userCalls);
        EXPECT_EQ(describe(store.Load()), row.reloaded);
        EXPECT_FALSE(machine.Wrote());
    }
}

}  // namespace
}  // namespace brelkin
