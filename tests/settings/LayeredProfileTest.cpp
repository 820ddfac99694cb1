// The precedence of the policies, the user's values and the machine-wide
// defaults, through recording profiles, and the settings loaded and saved over
// the layers.
#include <gtest/gtest.h>

#include <string>

#include "settings/AppSettings.h"
#include "settings/LanguageSetting.h"
#include "settings/LayeredProfile.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsReport.h"
#include "tests/settings/FakeProfile.h"
#include "tests/support/RecordingSupport.h"

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
         [](TriggerState& t, DriverKind&) { t.presets[CustomRow].Keys[0] = 0x41, t.triggerMode = CustomRow + 1; }, true,
         "DefaultKey;Key1;", CustomRow + 1, DriverBda, 900},
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

// The six stores as the program layers them, each holding every value in
// SettingsValues as its own number (or letter), as planted.
struct PolicyStores {
    FakeProfile enforcedComputer, enforcedUser, user, recommendedComputer, recommendedUser, machine;
    // The program's own order.
    LayeredProfile profile{
        PolicyLayers({enforcedComputer, enforcedUser, user, recommendedComputer, recommendedUser, machine})};
    FakeProfile* Store(char tag) {
        switch (tag) {
        case 'E': return &enforcedComputer;
        case 'e': return &enforcedUser;
        case 'U': return &user;
        case 'R': return &recommendedComputer;
        case 'r': return &recommendedUser;
        default: return &machine;
        }
    }
};

// The rules as the Programs dialog gets them: the administrator's marked and
// kept beneath the user's own, and what its OK makes of the dialog's edits,
// over the rules read again at OK.
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
        // A policy at the dialog's opening, and the refresh before its OK.
        void (*policy)(PolicyStores&) = nullptr;
        void (*refresh)(PolicyStores&) = nullptr;
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
        {"an enforced rule goes while the dialog is open: the user's rule it hid is kept",
         [](ProgramRuleSet& s) { s.onlyListed = true; }, {},
         "Dexis.exe=Space over Kodak (F5); chart.exe=Enter (deployed) over Enter; ",
         [](PolicyStores& p) { p.enforcedComputer.SetText(u"Settings\\Programs", u"Dexis.exe", u"Enter"); },
         [](PolicyStores& p) { p.enforcedComputer.values.clear(); }},
        {"users' own rules off: the deployed one applies, and the user's edit is not saved",
         [](ProgramRuleSet& s) { s.rules[1].mode = u"Space", s.rules[1].deployed = false; }, {},
         "Dexis.exe=Kodak (F5) (deployed) over Kodak (F5); chart.exe=Enter (deployed) over Enter; ",
         [](PolicyStores& p) { p.enforcedComputer.SetInt(u"UserProgramRules", 0); }},
        {"a long-press rule goes to its own section; the untouched double-press rule stays",
         [](ProgramRuleSet& s) { s.longPressRules.push_back({u"chart.exe", u"Space"}); },
         {"write LongPress\\chart.exe=Space"},
         "Dexis.exe=Space over Kodak (F5); chart.exe=Enter (deployed) over Enter; "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        PolicyStores stores;
        FakeProfile &user = stores.user, &machine = stores.machine;
        user.SetText(u"Settings\\Programs", u"Dexis.exe", u"Space");
        // The same spelling: the fake's names are compared exactly, unlike the registry's.
        machine.SetText(u"Settings\\Programs", u"Dexis.exe", u"Kodak (F5)");
        machine.SetText(u"Settings\\Programs", u"chart.exe", u"Enter");
        user.SetText(u"Settings\\Programs\\DoublePress", u"Dexis.exe", u"Enter");
        if (row.policy) row.policy(stores);
        ProgramSettings store(stores.profile);
        const ProgramRuleSet loaded = store.Load();
        ProgramRuleSet edited = loaded;
        row.edit(edited);
        if (row.refresh) row.refresh(stores);
        user.calls.clear();
        const ProgramRuleSet current = store.Load();
        EXPECT_TRUE(store.Save(current, ApplyProgramEdits(loaded, edited, current)));
        std::vector<std::string> calls;
        for (const test::ProfileCall& c : user.calls) {
            // A gesture's section is named before the entry: "LongPress\\chart.exe".
            const std::u16string entry =
                (c.section.size() > 18 ? c.section.substr(18) + u"\\" : std::u16string()) + c.entry;
            if (c.kind == test::ProfileCall::WriteString) calls.push_back("write " + test::Narrow(entry + u"=" + c.text));
            if (c.kind == test::ProfileCall::Delete) calls.push_back("delete " + test::Narrow(entry));
        }
        EXPECT_EQ(calls, row.userCalls);
        EXPECT_EQ(describe(store.Load()), row.reloaded);
        EXPECT_EQ(store.Load().doublePressRules.size(), 1u) << "the user's double-press rule is kept";
        EXPECT_FALSE(machine.Wrote());
    }
}

// What a store tagged `tag` holds of a text value: the tag, or for DefaultKey,
// which must name a mode to be used, the mode of a row of its own.
std::u16string TextOf(std::u16string_view name, char tag) {
    if (name != u"DefaultKey") return std::u16string(1, static_cast<char16_t>(tag));
    return std::u16string(ModeName(BuiltInPresets()[std::string_view("EeURrM").find(tag)]));
}

// `stores`: a tag per store that holds the value (E/e enforced by the computer
// or for the user, U the user's own, R/r recommended, M the machine-wide
// default); a tag after '!' holds it damaged (the other type), one after '?'
// holds only a DefaultKey that names no mode and a PollPeriod of 5.
void PlantAll(PolicyStores& stores, std::string_view plan) {
    char mark = 0;
    for (char tag : plan) {
        if (tag == '!' || tag == '?') {
            mark = tag;
            continue;
        }
        FakeProfile& store = *stores.Store(tag);
        if (mark == '?') {
            store.SetText(u"DefaultKey", u"Romexis (F7)");
            store.SetInt(u"PollPeriod", 5);
            mark = 0;
            continue;
        }
        for (const SettingsValue& value : SettingsValues) {
            const bool asText = value.isText != (mark == '!');
            if (asText) store.SetText(value.name, TextOf(value.name, tag));
            else store.SetInt(value.name, static_cast<uint32_t>(tag));
        }
        mark = 0;
    }
}

TEST(PolicyLayers, EachValueComesFromTheFirstOfTheFiveSourcesThatHoldsItReadably) {
    const struct {
        const char* plan;
        char winner;  // its tag, or 0 for the built-in default
        ProfileSource source;
    } rows[] = {
        {"EeURrM", 'E', ProfileSource::Enforced},
        {"eURrM", 'e', ProfileSource::Enforced},
        {"!EeURrM", 'e', ProfileSource::Enforced},  // a damaged enforced value counts as missing
        {"!E!eURrM", 'U', ProfileSource::User},
        {"URrM", 'U', ProfileSource::User},
        {"!URrM", 'R', ProfileSource::Recommended},
        {"rM", 'r', ProfileSource::Recommended},
        {"!RM", 'M', ProfileSource::Machine},
        {"?EURrM", 'U', ProfileSource::User},  // passed over, and nothing is enforced
        {"M", 'M', ProfileSource::Machine},  // the setup's machine-wide defaults alone (its Language, for one)
        {"!E!U!M", 0, ProfileSource::Default},
        {"", 0, ProfileSource::Default},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.plan);
        PolicyStores stores;
        PlantAll(stores, row.plan);
        for (const SettingsValue& value : SettingsValues) {
            SCOPED_TRACE(test::Narrow(value.name));
            if (value.isText) {
                const std::u16string expected = row.winner ? TextOf(value.name, row.winner) : u"default";
                EXPECT_EQ(test::Narrow(stores.profile.GetProfileString(u"Settings", value.name, u"default")),
                          test::Narrow(expected));
                EXPECT_EQ(stores.profile.ProfileStringSource(u"Settings", value.name), row.source);
            } else {
                EXPECT_EQ(stores.profile.GetProfileInt(u"Settings", value.name, 99),
                          row.winner ? static_cast<uint32_t>(row.winner) : 99u);
                EXPECT_EQ(stores.profile.ProfileIntSource(u"Settings", value.name), row.source);
            }
        }
        // The language is chosen from what its own reading finds, in the same order.
        EXPECT_EQ(test::Narrow(ReadLanguageSetting(stores.profile)), row.winner ? std::string(1, row.winner) : "");
        EXPECT_EQ(EnforcedValues::Read(stores.profile).Any(), row.source == ProfileSource::Enforced);
        for (char tag : std::string("EeURrM")) EXPECT_FALSE(stores.Store(tag)->Wrote()) << tag;
    }
}

// An enforced value is never written: a menu choice, a save of a changed
// value and the Programs dialog's switch leave it alone; the rest is saved.
TEST(PolicyLayers, EnforcedValuesAreNeverWrittenAndTheLogNamesThemAndTheirDamageOnce) {
    PolicyStores stores;
    stores.enforcedComputer.SetText(u"DefaultKey", u"Kodak (F5)");
    stores.enforcedUser.SetInt(u"UseBDA", 1);
    stores.enforcedUser.SetInt(u"OnlyListedPrograms", 1);
    stores.enforcedComputer.SetText(u"Language", u"fr");
    stores.enforcedComputer.SetText(u"Settings\\Programs", u"chart.exe", u"Enter");
    stores.enforcedComputer.SetText(u"PollPeriod", u"100");  // damaged
    stores.recommendedUser.SetText(u"Settings\\Programs", u"x.exe", u"Romexis (F7)");  // names no mode
    stores.recommendedUser.SetInt(u"DelayTime", 700);
    stores.user.SetText(u"Settings\\Programs", u"chart.exe", u"Space");  // beneath the enforced rule
    stores.user.SetInt(u"UseBDA", 0);
    TriggerState trigger;
    DriverKind kind = DriverWdm;
    FakeTooltip tip;
    AppSettings settings(stores.profile, trigger, kind, tip);
    settings.LoadSettings();
    // The load asks each store for each value's state once; its log asks again for none.
    for (char tag : std::string("EeURrM"))
        EXPECT_EQ(stores.Store(tag)->stateQueries, static_cast<int>(std::size(SettingsValues))) << tag;
    EXPECT_EQ(trigger.triggerMode, 3);
    EXPECT_EQ(kind, DriverBda);
    EXPECT_EQ(trigger.presets[CustomRow].DelayTime, 700);
    EXPECT_TRUE(settings.Enforced().Has(u"DefaultKey"));
    EXPECT_FALSE(settings.Enforced().Has(u"PollPeriod")) << "damaged, so not enforced";

    trigger.triggerMode = 11;
    kind = DriverWdm;
    trigger.presets[CustomRow].Keys[0] = 0x41;
    EXPECT_TRUE(settings.SaveModeChoice());
    std::vector<std::string> written;
    for (const test::ProfileCall& call : stores.user.calls)
        if (call.kind == test::ProfileCall::WriteInt || call.kind == test::ProfileCall::WriteString)
            written.push_back(test::Narrow(call.entry));
    EXPECT_EQ(written, std::vector<std::string>{"Key1"});

    ProgramSettings programs(stores.profile);
    const ProgramRuleSet loaded = programs.Load();
    ASSERT_EQ(loaded.rules.size(), 1u) << "the user's rule of the same program is hidden";
    EXPECT_TRUE(loaded.rules[0].enforced && loaded.rules[0].deployed);
    EXPECT_EQ(test::Narrow(loaded.rules[0].mode), "Enter");
    EXPECT_TRUE(loaded.onlyListed && loaded.onlyListedEnforced);
    ProgramRuleSet edited = loaded;
    edited.onlyListed = false;
    stores.user.calls.clear();
    EXPECT_TRUE(programs.Save(loaded, edited));
    EXPECT_TRUE(stores.user.calls.empty());

    test::RecordingSupportLog log;
    PolicyDamageLog damage;
    // The rules' load asked each store once more, for x.exe, which no store holds usably.
    LogSettingsRead(stores.profile, settings.LayerStates(), trigger, kind, 50, log, damage);
    for (char tag : std::string("EeURrM"))
        EXPECT_EQ(stores.Store(tag)->stateQueries, static_cast<int>(std::size(SettingsValues)) + 1) << tag;
    LogSettingsRead(stores.profile, trigger, kind, 50, log, damage);
    LogProgramRulesRead(stores.profile, log, damage);
    LogProgramRulesRead(stores.profile, log, damage);
    EXPECT_TRUE(log.Has("Program rules enforced by policy: chart.exe; recommended by policy: none"));
    EXPECT_TRUE(log.Has("Settings enforced by policy: UseBDA, DefaultKey, OnlyListedPrograms, Language; "
                        "recommended by policy: DelayTime"));
    int damagedLines = 0;
    for (const std::string& line : log.lines) {
        damagedLines += line == "Settings: PollPeriod of the computer's enforced policy is damaged and was not used";
        damagedLines +=
            line == "Settings: program rule x.exe of the user's recommended policy is damaged and was not used";
    }
    EXPECT_EQ(damagedLines, 2);
}

}  // namespace
}  // namespace brelkin
