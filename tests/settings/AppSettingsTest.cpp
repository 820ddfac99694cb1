#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/AppSettings.h"
#include "settings/PollPeriodSetting.h"
#include "settings/SettingsReport.h"
#include "settings/Tooltip.h"
#include "tests/settings/FakeProfile.h"
#include "tests/support/RecordingSupport.h"

namespace brelkin {
namespace {

using test::FakeProfile;
using test::FakeTooltip;
using test::Narrow;
using test::ProfileCall;

struct Harness {
    FakeProfile profile;
    TriggerState trigger;
    DriverKind driverKind = DriverWdm;
    FakeTooltip tooltip;
    AppSettings settings{profile, trigger, driverKind, tooltip};
};

void SetCustom(ActionPreset& row, uint16_t k1, uint16_t k2, uint16_t k3, uint16_t m1, uint16_t m2,
               uint16_t m3, uint8_t oneByOne, uint16_t delay) {
    row.Keys[0] = k1; row.Keys[1] = k2; row.Keys[2] = k3;
    row.Modifiers[0] = m1; row.Modifiers[1] = m2; row.Modifiers[2] = m3;
    row.OneByOne = oneByOne;
    row.DelayTime = delay;
}

void ExpectCustom(const ActionPreset& row, uint16_t k1, uint16_t k2, uint16_t k3, uint16_t m1,
                  uint16_t m2, uint16_t m3, uint8_t oneByOne, uint16_t delay) {
    EXPECT_EQ(row.Keys[0], k1);
    EXPECT_EQ(row.Keys[1], k2);
    EXPECT_EQ(row.Keys[2], k3);
    EXPECT_EQ(row.Modifiers[0], m1);
    EXPECT_EQ(row.Modifiers[1], m2);
    EXPECT_EQ(row.Modifiers[2], m3);
    EXPECT_EQ(row.OneByOne, oneByOne);
    EXPECT_EQ(row.DelayTime, delay);
}

ProfileCall ReadInt(std::u16string entry, uint32_t def) {
    return {ProfileCall::ReadInt, u"Settings", std::move(entry), def, {}};
}
ProfileCall WriteInt(std::u16string entry, uint32_t value) {
    return {ProfileCall::WriteInt, u"Settings", std::move(entry), value, {}};
}

TEST(AppSettingsLoad, FirstStartReadsTheTenValuesInOrderWithTheirDefaultsAndWritesNothing) {
    for (DriverKind chosen : {DriverWdm, DriverBda}) {
        SCOPED_TRACE(chosen == DriverWdm ? "driver kind chosen: WDM" : "driver kind chosen: BDA");
        Harness h;
        h.driverKind = chosen;
        SetCustom(h.trigger.presets[CustomRow], 1, 2, 3, 4, 5, 6, 0, 7);
        h.trigger.triggerMode = 9;
        h.trigger.sequenceStep = 2;

        h.settings.LoadSettings();

        const std::vector<ProfileCall> expected = {
            ReadInt(u"Key1", 32),    ReadInt(u"Key2", 0),     ReadInt(u"Key3", 0),
            ReadInt(u"KeyEx1", 0),   ReadInt(u"KeyEx2", 0),   ReadInt(u"KeyEx3", 0),
            ReadInt(u"OneByOne", 1), ReadInt(u"DelayTime", 5000),
            ReadInt(u"UseBDA", static_cast<uint32_t>(chosen)),
            {ProfileCall::ReadString, u"Settings", u"DefaultKey", 0, u""},
        };
        EXPECT_EQ(h.profile.calls, expected);
        EXPECT_TRUE(h.profile.values.empty());
        ExpectCustom(h.trigger.presets[CustomRow], 32, 0, 0, 0, 0, 0, 1, 5000);
        EXPECT_EQ(h.trigger.triggerMode, 1);
        EXPECT_EQ(h.trigger.sequenceStep, 2) << "the camera open resets the step, not the load";
        EXPECT_EQ(h.driverKind, chosen);
        EXPECT_EQ(h.tooltip.texts, std::vector<std::u16string>{u"Brelkin - Alt+F,Alt+T"});
        // The fixed rows are not touched.
        for (int row = 0; row < CustomRow; ++row) {
            EXPECT_EQ(0, std::memcmp(&h.trigger.presets[row], &BuiltInPresets()[row], sizeof(ActionPreset)))
                << "row " << row;
        }
    }
}

TEST(AppSettingsLoad, DefaultKeySelectsTheModeByExactRowName) {
    struct Case {
        const char* label;
        std::u16string stored;
        TriggerMode mode;
        std::u16string tooltip;
    };
    const Case cases[] = {
        {"row 10 by its exact name", u"Space", 11, u"Brelkin - Space"},
        {"row 0 by its exact name", u"Schick (Alt+F,Alt+T)", 1, u"Brelkin - Alt+F,Alt+T"},
        {"row 8, whose display text is not its chords", u"Vixwin (Alt+G,Space)", 9, u"Brelkin - Vixwin"},
        {"the last named row", u"Enter", CustomRow, u"Brelkin - Enter"},
        {"the custom row", u"Custom Setting", CustomRow + 1, u"Brelkin - Custom Setting"},
        {"row 10 in lower case", u"space", 1, u"Brelkin - Alt+F,Alt+T"},
        {"row 10 in upper case", u"SPACE", 1, u"Brelkin - Alt+F,Alt+T"},
        {"a trailing blank", u"Space ", 1, u"Brelkin - Alt+F,Alt+T"},
        {"a leading blank", u" Space", 1, u"Brelkin - Alt+F,Alt+T"},
        {"a prefix of a name", u"Spac", 1, u"Brelkin - Alt+F,Alt+T"},
        {"a NUL after a name", std::u16string(u"Space\0x", 7), 1, u"Brelkin - Alt+F,Alt+T"},
        {"the joystick", u"Joystick Button 1", 0, u"Brelkin - Joystick Button 1"},
        {"the joystick's menu caption", u"&Joystick Button 1", 1, u"Brelkin - Alt+F,Alt+T"},
        {"the joystick in lower case", u"joystick button 1", 1, u"Brelkin - Alt+F,Alt+T"},
        {"a tooltip text", u"Brelkin - Space", 1, u"Brelkin - Alt+F,Alt+T"},
        {"empty", u"", 1, u"Brelkin - Alt+F,Alt+T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Harness h;
        h.trigger.triggerMode = 7;
        h.profile.SetText(u"DefaultKey", c.stored);
        h.settings.LoadSettings();
        EXPECT_EQ(h.trigger.triggerMode, c.mode);
        ASSERT_EQ(h.tooltip.texts.size(), 1u);
        EXPECT_EQ(h.tooltip.texts[0], c.tooltip) << Narrow(h.tooltip.texts[0]);
        // An unmatched text stays stored until a save replaces it.
        EXPECT_EQ(h.profile.Find(u"DefaultKey")->text, c.stored);
    }
}

TEST(AppSettingsLoad, StoredValuesKeepOnlyTheirFieldWidthAndStayAsStoredUntilChanged) {
    struct Case {
        const char* label;
        std::u16string entry;
        uint32_t stored;
        uint32_t loaded;
    };
    const Case cases[] = {
        {"DelayTime 70000", u"DelayTime", 70000, 4464},
        {"DelayTime 65535", u"DelayTime", 65535, 65535},
        {"OneByOne 256 (all at one time)", u"OneByOne", 256, 0},
        {"OneByOne 0x1FF", u"OneByOne", 0x1FF, 0xFF},
        {"Key1 0x10041", u"Key1", 0x10041, 0x41},
        {"Key3 all bits", u"Key3", 0xFFFFFFFF, 0xFFFF},
        {"KeyEx2 0xFFFF0008", u"KeyEx2", 0xFFFF0008, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Harness h;
        h.profile.SetInt(c.entry, c.stored);
        h.settings.LoadSettings();
        const ActionPreset& custom = h.trigger.presets[CustomRow];
        const uint32_t field = c.entry == u"DelayTime" ? custom.DelayTime
                             : c.entry == u"OneByOne"  ? custom.OneByOne
                             : c.entry == u"Key1"      ? custom.Keys[0]
                             : c.entry == u"Key3"      ? custom.Keys[2]
                                                       : custom.Modifiers[1];
        EXPECT_EQ(field, c.loaded);
        h.settings.SaveSettings();
        EXPECT_EQ(h.profile.Find(c.entry)->number, c.stored) << "not changed by the user: not written";
        EXPECT_FALSE(h.profile.Wrote());
    }
}

TEST(AppSettingsLoad, UseBdaIsKeptWholeAndWrittenBackUnchanged) {
    for (uint32_t stored : {0u, 1u, 2u, 5u, 0x10000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE("UseBDA " + std::to_string(stored));
        Harness h;
        h.driverKind = DriverBda;
        h.profile.SetInt(u"UseBDA", stored);
        h.settings.LoadSettings();
        EXPECT_EQ(static_cast<uint32_t>(h.driverKind), stored);
        EXPECT_EQ(IsBda(h.driverKind), stored != 0);
        h.settings.SaveModeChoice();
        h.driverKind = DriverWdm;
        h.settings.SaveSettings();
        h.driverKind = static_cast<DriverKind>(stored);
        h.settings.SaveSettings();
        EXPECT_EQ(h.profile.Find(u"UseBDA")->number, stored);
    }
}

TEST(AppSettingsSave, BeforeALoadWritesAllTenDefaultKeyFirstThenOnlyWhatChanged) {
    Harness h;
    SetCustom(h.trigger.presets[CustomRow], 0x41, 0x42, 0, 4, 2, 0, 0, 250);
    h.trigger.triggerMode = 5;
    h.driverKind = 2;
    h.settings.SaveSettings();
    h.settings.SaveSettings();  // nothing changed: nothing written
    const std::vector<ProfileCall> once = {
        {ProfileCall::WriteString, u"Settings", u"DefaultKey", 0, u"XDR (Ctrl+I)"},
        WriteInt(u"Key1", 0x41),   WriteInt(u"Key2", 0x42),   WriteInt(u"Key3", 0),
        WriteInt(u"KeyEx1", 4),    WriteInt(u"KeyEx2", 2),    WriteInt(u"KeyEx3", 0),
        WriteInt(u"OneByOne", 0),  WriteInt(u"DelayTime", 250), WriteInt(u"UseBDA", 2),
    };
    EXPECT_EQ(h.profile.calls, once);
    EXPECT_TRUE(h.tooltip.texts.empty()) << "a save does not touch the tooltip";

    // The same mode chosen again in the menu: the choice is stored all the same.
    h.profile.calls.clear();
    EXPECT_TRUE(h.settings.SaveModeChoice());
    EXPECT_EQ(h.profile.calls, std::vector<ProfileCall>{once[0]});
}

TEST(AppSettingsSave, DefaultKeyNamesTheModeAndFallsBackToRowZero) {
    struct Case {
        TriggerMode mode;
        std::u16string name;
    };
    const Case cases[] = {
        {0, u"Joystick Button 1"}, {1, u"Schick (Alt+F,Alt+T)"}, {11, u"Space"},
        {CustomRow + 1, u"Custom Setting"}, {PresetRowCount + 1, u"Schick (Alt+F,Alt+T)"}, {-1, u"Schick (Alt+F,Alt+T)"},
        {1000, u"Schick (Alt+F,Alt+T)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        Harness h;
        h.trigger.triggerMode = c.mode;
        h.settings.SaveSettings();
        EXPECT_EQ(h.profile.Find(u"DefaultKey")->text, c.name);
        EXPECT_EQ(h.trigger.triggerMode, c.mode) << "a save leaves the mode as it is";
    }
}

TEST(AppSettingsRoundTrip, EveryModeAndEveryValueSurviveARestart) {
    for (TriggerMode mode = 0; mode <= PresetRowCount; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        FakeProfile store;
        {
            TriggerState trigger;
            DriverKind kind = 7;
            FakeTooltip tip;
            SetCustom(trigger.presets[CustomRow], 0x70, 0x0D, 0x5A, 8, 3, 0xF, 0, 65535);
            trigger.triggerMode = mode;
            AppSettings(store, trigger, kind, tip).SaveSettings();
        }
        TriggerState trigger;
        DriverKind kind = DriverWdm;
        FakeTooltip tip;
        AppSettings(store, trigger, kind, tip).LoadSettings();
        ExpectCustom(trigger.presets[CustomRow], 0x70, 0x0D, 0x5A, 8, 3, 0xF, 0, 65535);
        EXPECT_EQ(trigger.triggerMode, mode);
        EXPECT_EQ(kind, 7);
        ASSERT_EQ(tip.texts.size(), 1u);
        EXPECT_EQ(tip.texts[0], mode == 0 ? JoystickTooltip() : PresetTooltip(trigger.presets[mode - 1]));
    }
}

TEST(AppSettingsFailure, AnUnusableProfileGivesDefaultsKeepsTheStateAndIsRetriedAtEverySave) {
    Harness h;
    h.driverKind = DriverBda;
    h.profile.SetInt(u"Key1", 0x41);
    h.profile.SetText(u"DefaultKey", u"Space");
    h.profile.failReads = true;
    h.profile.failWrites = true;

    h.settings.LoadSettings();
    ExpectCustom(h.trigger.presets[CustomRow], 32, 0, 0, 0, 0, 0, 1, 5000);
    EXPECT_EQ(h.trigger.triggerMode, 1);
    EXPECT_EQ(h.driverKind, DriverBda);

    // The user changes things; every save fails, the state stays as set.
    SetCustom(h.trigger.presets[CustomRow], 0x42, 0, 0, 1, 0, 0, 1, 100);
    h.trigger.triggerMode = 0;
    h.profile.calls.clear();
    EXPECT_FALSE(h.settings.SaveModeChoice());
    EXPECT_FALSE(h.settings.SaveSettings());
    EXPECT_EQ(h.profile.calls.size(), 8u) << "each save attempts the four changed values";
    ExpectCustom(h.trigger.presets[CustomRow], 0x42, 0, 0, 1, 0, 0, 1, 100);
    EXPECT_EQ(h.trigger.triggerMode, 0);
    EXPECT_EQ(h.driverKind, DriverBda);
    EXPECT_EQ(h.profile.Find(u"Key1")->number, 0x41u) << "nothing was overwritten";

    // Once the profile works again, the next save stores what the user changed.
    h.profile.failWrites = false;
    EXPECT_TRUE(h.settings.SaveSettings());
    EXPECT_EQ(h.profile.Find(u"DefaultKey")->text, u"Joystick Button 1");
    EXPECT_EQ(h.profile.Find(u"Key1")->number, 0x42u);
    EXPECT_EQ(h.profile.Find(u"DelayTime")->number, 100u);
    EXPECT_EQ(h.profile.Find(u"UseBDA"), nullptr) << "never set by the user";
    h.profile.calls.clear();
    EXPECT_TRUE(h.settings.SaveSettings());
    EXPECT_TRUE(h.profile.calls.empty()) << "all stored: nothing is written again";
}

TEST(PollPeriodSetting, InRangeIsKeptAnythingElseIsTheDefaultAndNothingIsWritten) {
    struct Row { const char* label; bool stored; bool asText; uint32_t value; uint32_t read; };
    const Row rows[] = {
        {"missing", false, false, 0, 50},     {"lowest", true, false, 10, 10},
        {"highest, the old period", true, false, 400, 400}, {"typical", true, false, 100, 100},
        {"below range", true, false, 9, 50},  {"above range", true, false, 401, 50},
        {"zero", true, false, 0, 50},         {"all bits", true, false, 0xFFFFFFFFu, 50},
        {"text, not a number", true, true, 0, 50},
    };
    for (const Row& r : rows) {
        FakeProfile profile;
        if (r.stored && r.asText) profile.SetText(u"PollPeriod", u"100");
        if (r.stored && !r.asText) profile.SetInt(u"PollPeriod", r.value);
        EXPECT_EQ(ReadPollPeriod(profile), r.read) << r.label;
        EXPECT_EQ(profile.calls, std::vector<ProfileCall>{ReadInt(u"PollPeriod", 50)}) << r.label;
    }
    FakeProfile failing;
    failing.failReads = true;
    failing.SetInt(u"PollPeriod", 100);
    EXPECT_EQ(ReadPollPeriod(failing), 50u);
}

TEST(PollPeriodSetting, ASaveLeavesTheDeployedValueAlone) {
    Harness h;
    h.profile.SetInt(u"PollPeriod", 400);
    h.settings.LoadSettings();
    h.settings.SaveSettings();
    for (const ProfileCall& call : h.profile.calls) {
        EXPECT_NE(Narrow(call.entry), "PollPeriod") << "kind " << call.kind;
    }
    EXPECT_EQ(h.profile.Find(u"PollPeriod")->number, 400u);
}

TEST(SettingsReport, LogsTheModeAndEachDamagedValueAndReadsShowNotifications) {
    Harness h;
    h.driverKind = DriverBda;
    h.profile.SetText(u"Key2", u"70");              // text where a number belongs
    h.profile.SetInt(u"DefaultKey", 3);             // a number where text belongs
    h.profile.SetInt(u"ShowNotifications", 0);
    h.settings.LoadSettings();
    test::RecordingSupportLog log;
    PolicyDamageLog policyDamage;
    LogSettingsRead(h.profile, h.trigger, h.driverKind, 400, log, policyDamage);
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "Settings: mode \"Schick (Alt+F,Alt+T)\", driver BDA, poll period 400 ms",
                             "Settings: long press none; double press none",
                             "Settings from the user: ShowNotifications; from the machine: none",
                             "Settings enforced by policy: none; recommended by policy: none",
                             "Settings: Key2 is damaged and was not used",
                             "Settings: DefaultKey is damaged and was not used"}));
    EXPECT_FALSE(ReadShowNotifications(h.profile));

    Harness unknown;
    unknown.profile.SetText(u"DefaultKey", u"Kodak");  // readable, but no row's name
    unknown.profile.SetText(u"LongPressKey", u"Kodak");
    unknown.settings.LoadSettings();
    test::RecordingSupportLog unknownLog;
    LogSettingsRead(unknown.profile, unknown.trigger, unknown.driverKind, 400, unknownLog, policyDamage);
    EXPECT_TRUE(unknownLog.Has("DefaultKey \"Kodak\" names no mode")) << unknownLog.lines.back();
    EXPECT_TRUE(unknownLog.Has("LongPressKey \"Kodak\" names no mode and was read as none"));
    test::RecordingSupportLog againLog;
    LogSettingsRead(unknown.profile, unknown.trigger, unknown.driverKind, 400, againLog, policyDamage);
    EXPECT_FALSE(againLog.Has("LongPressKey \"Kodak\"")) << "an unknown gesture mode is logged once";
    EXPECT_TRUE(ReadShowNotifications(unknown.profile)) << "missing: balloons on";
}

TEST(Tooltip, TextsAreThePrefixAndTheBoundedDisplayText) {
    EXPECT_EQ(JoystickTooltip(), u"Brelkin - Joystick Button 1");
    EXPECT_EQ(PresetTooltip(BuiltInPresets()[4]), u"Brelkin - Ctrl+I");

    ActionPreset row{};
    for (int i = 0; i < NameLength - 1; ++i) row.DisplayText[i] = u'x';
    EXPECT_EQ(PresetTooltip(row).size(), 59u) << "the longest display text fits the tray's tip";

    // A field without its NUL ends at the field (ASan would report an over-read).
    row.DisplayText[NameLength - 1] = u'y';
    EXPECT_EQ(PresetText(row.DisplayText).size(), static_cast<size_t>(NameLength));
}

}  // namespace
}  // namespace brelkin
