// The settings store against the real registry (run under Wine here). Most
// tests work under a private registry key so that they cannot disturb a
// running program; one checks the program's own key path.
#include "tests/settings/RegistryTestKey.h"

namespace brelkin {
namespace {

// The test key, its raw reads and writes and the fixture (RegistryTestKey.h).
using namespace test;

TEST_F(RegistryProfileTest, FirstLoadCreatesTheEmptyKeyPathAndWritesNothing) {
    ASSERT_FALSE(KeyExists(TestRoot));
    TriggerState trigger;
    DriverKind kind = DriverBda;
    FakeTooltip tip;
    AppSettings(profile, trigger, kind, tip).LoadSettings();

    DWORD values = 99, subkeys = 99;
    ASSERT_TRUE(KeyExists(TestSection, &values, &subkeys));
    EXPECT_EQ(values, 0u);
    EXPECT_EQ(subkeys, 0u);
    EXPECT_EQ(trigger.presets[CustomRow].Keys[0], 32);
    EXPECT_EQ(trigger.triggerMode, 1);
    EXPECT_EQ(kind, DriverBda);
}

// The program's own key: HKCU\Software\Morvane\Tolvacore\Settings.
TEST(RegistryProfileProgramKey, SaveWritesTheTenNamedValuesWithTheirTypes) {
    const wchar_t* const profileKey = L"Software\\Morvane\\Tolvacore";
    const wchar_t* const section = L"Software\\Morvane\\Tolvacore\\Settings";
    DeleteTree(profileKey);
    RegistryProfile profile(BrelkinRegistryKey, BrelkinProfileName);
    EXPECT_EQ(profile.ProfilePath(), L"Software\\Morvane\\Tolvacore");

    TriggerState trigger;
    DriverKind kind = 5;
    FakeTooltip tip;
    ActionPreset& custom = trigger.presets[CustomRow];
    custom.Keys[0] = 0x41; custom.Keys[1] = 0x42; custom.Keys[2] = 0;
    custom.Modifiers[0] = 4; custom.Modifiers[1] = 0; custom.Modifiers[2] = 2;
    custom.OneByOne = 0;
    custom.DelayTime = 250;
    trigger.triggerMode = 11;
    AppSettings(profile, trigger, kind, tip).SaveSettings();

    DWORD values = 0;
    ASSERT_TRUE(KeyExists(section, &values));
    EXPECT_EQ(values, 10u);
    const struct { const wchar_t* name; DWORD value; } ints[] = {
        {L"Key1", 0x41}, {L"Key2", 0x42}, {L"Key3", 0},        {L"KeyEx1", 4},  {L"KeyEx2", 0},
        {L"KeyEx3", 2},  {L"OneByOne", 0}, {L"DelayTime", 250}, {L"UseBDA", 5},
    };
    for (const auto& expected : ints) {
        SCOPED_TRACE(testing::Message() << "value " << static_cast<char>(expected.name[0])
                                        << static_cast<char>(expected.name[3]));
        const RawValue v = ReadRaw(section, expected.name);
        ASSERT_TRUE(v.present);
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
        ASSERT_EQ(v.bytes.size(), 4u);
        DWORD stored = 0;
        memcpy(&stored, v.bytes.data(), 4);
        EXPECT_EQ(stored, expected.value);
    }
    const RawValue name = ReadRaw(section, L"DefaultKey");
    ASSERT_TRUE(name.present);
    EXPECT_EQ(name.type, static_cast<DWORD>(REG_SZ));
    const wchar_t space[] = L"Space";  // its NUL is part of the stored length
    ASSERT_EQ(name.bytes.size(), sizeof space);
    EXPECT_EQ(0, memcmp(name.bytes.data(), space, sizeof space));
    DeleteTree(profileKey);
}

TEST_F(RegistryProfileTest, DamagedIntegersReadAsTheDefaultAndStayStored) {
    const DWORD64 qword = 7;
    const BYTE four[4] = {7, 0, 0, 0};
    const BYTE eight[8] = {7, 0, 0, 0, 0, 0, 0, 0};
    const wchar_t text[] = L"7";
    const struct {
        const char* label;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {"REG_SZ", REG_SZ, text, sizeof text},
        {"REG_BINARY of four bytes", REG_BINARY, four, 4},
        {"REG_QWORD", REG_QWORD, &qword, 8},
        {"REG_DWORD of two bytes", REG_DWORD, four, 2},
        {"REG_DWORD of eight bytes", REG_DWORD, eight, 8},
        {"REG_DWORD of no bytes", REG_DWORD, four, 0},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, four, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteRaw(L"DelayTime", c.type, c.data, c.size);
        EXPECT_EQ(profile.GetProfileInt(u"Settings", u"DelayTime", 5000), 5000u);
        const RawValue left = ReadRaw(TestSection, L"DelayTime");
        EXPECT_TRUE(left.present && left.type == c.type && left.bytes.size() == c.size)
            << "reading changed the stored value";
    }
    // A sound neighbour still reads.
    const DWORD good = 70000;
    WriteRaw(L"DelayTime", REG_DWORD, &good, 4);
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"DelayTime", 5000), 70000u);
}

TEST_F(RegistryProfileTest, DamagedTextReadsSafely) {
    const DWORD number = 1;
    const wchar_t space[] = L"Space";
    const wchar_t withInnerNul[] = L"Space\0junk";
    const BYTE oddSpace[11] = {'S', 0, 'p', 0, 'a', 0, 'c', 0, 'e', 0, 'X'};
    const struct {
        const char* label;
        DWORD type;
        const void* data;
        DWORD size;
        std::u16string expected;
    } cases[] = {
        {"REG_DWORD", REG_DWORD, &number, 4, u"default"},
        {"REG_BINARY", REG_BINARY, space, sizeof space, u"default"},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, space, sizeof space, u"default"},
        {"REG_MULTI_SZ", REG_MULTI_SZ, space, sizeof space, u"default"},
        {"REG_SZ without its NUL", REG_SZ, space, 10, u"Space"},
        {"REG_SZ of an odd byte count", REG_SZ, oddSpace, 11, u"Space"},
        {"REG_SZ with a NUL inside", REG_SZ, withInnerNul, sizeof withInnerNul, u"Space"},
        {"REG_SZ of no bytes", REG_SZ, space, 0, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteRaw(L"DefaultKey", c.type, c.data, c.size);
        EXPECT_EQ(profile.GetProfileString(u"Settings", u"DefaultKey", u"default"), c.expected);
    }
}

TEST_F(RegistryProfileTest, OverlongTextReadsAsTheDefaultAtTheBound) {
    const size_t max = RegistryProfile::MaxStringLength;
    const struct {
        const char* label;
        size_t units;
        bool withNul;
        bool readable;
    } cases[] = {
        {"the bound with its NUL", max, true, true},
        {"the bound without a NUL", max, false, true},
        {"one over the bound without a NUL", max + 1, false, false},
        {"one over the bound with its NUL", max + 1, true, false},
        {"one megabyte", 512 * 1024, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::wstring text(c.units, L'S');
        const DWORD size = static_cast<DWORD>((c.units + (c.withNul ? 1 : 0)) * sizeof(wchar_t));
        WriteRaw(L"DefaultKey", REG_SZ, text.c_str(), size);
        const std::u16string read = profile.GetProfileString(u"Settings", u"DefaultKey", u"default");
        // The state tells the support log and the layers what the read found.
        EXPECT_EQ(profile.GetValueState(u"Settings", u"DefaultKey", true),
                  c.readable ? ProfileValueState::Stored : ProfileValueState::Damaged);
        if (c.readable) {
            EXPECT_EQ(read.size(), c.units);
        } else {
            EXPECT_EQ(read, u"default");
        }
    }
    // The same bound on writes: what is refused is not stored.
    EXPECT_TRUE(profile.WriteProfileString(u"Settings", u"Long", std::u16string(max, u'x')));
    EXPECT_FALSE(profile.WriteProfileString(u"Settings", u"Longer", std::u16string(max + 1, u'x')));
    EXPECT_FALSE(ReadRaw(TestSection, L"Longer").present);
    EXPECT_FALSE(profile.WriteProfileString(u"Settings", u"Nul", std::u16string(u"a\0b", 3)));

    // Loaded through the settings, a 1 MB name selects row 0.
    std::wstring huge(512 * 1024, L'S');
    WriteRaw(L"DefaultKey", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() * 2));
    TriggerState trigger;
    trigger.triggerMode = 0;
    DriverKind kind = DriverWdm;
    FakeTooltip tip;
    AppSettings(profile, trigger, kind, tip).LoadSettings();
    EXPECT_EQ(trigger.triggerMode, 1);
}

// Runs reg.exe as a user editing by hand would; returns its exit code.
DWORD RunReg(std::wstring arguments) {
    std::wstring command = L"reg.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
        return static_cast<DWORD>(-1);
    }
    DWORD code = static_cast<DWORD>(-2);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    else TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST_F(RegistryProfileTest, ValuesStoredByHandWithRegAreLoaded) {
    const std::wstring key = L"\"HKCU\\Software\\BrelkinSettingsTest\\Tolvacore\\Settings\"";
    ASSERT_EQ(RunReg(L"add " + key + L" /v DelayTime /t REG_DWORD /d 70000 /f"), 0u);
    ASSERT_EQ(RunReg(L"add " + key + L" /v OneByOne /t REG_DWORD /d 256 /f"), 0u);
    ASSERT_EQ(RunReg(L"add " + key + L" /v UseBDA /t REG_DWORD /d 5 /f"), 0u);
    ASSERT_EQ(RunReg(L"add " + key + L" /v Key2 /t REG_SZ /d 66 /f"), 0u);
    ASSERT_EQ(RunReg(L"add " + key + L" /v DefaultKey /t REG_SZ /d \"Custom Setting\" /f"), 0u);

    TriggerState trigger;
    DriverKind kind = DriverWdm;
    FakeTooltip tip;
    AppSettings settings(profile, trigger, kind, tip);
    settings.LoadSettings();
    const ActionPreset& custom = trigger.presets[CustomRow];
    EXPECT_EQ(custom.DelayTime, 4464);
    EXPECT_EQ(custom.OneByOne, 0);
    EXPECT_EQ(custom.Keys[1], 0) << "a text where an integer belongs gives the default";
    EXPECT_EQ(kind, 5);
    EXPECT_EQ(trigger.triggerMode, CustomRow + 1);
    ASSERT_EQ(tip.texts.size(), 1u);
    EXPECT_EQ(tip.texts[0], u"Brelkin - Custom Setting");

    settings.SaveSettings();
    const RawValue delay = ReadRaw(TestSection, L"DelayTime");
    const RawValue key2 = ReadRaw(TestSection, L"Key2");
    ASSERT_EQ(delay.bytes.size(), 4u);
    // Not changed by the user: left as stored, the damaged one falling back at every read.
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(delay.bytes.data()), 70000u);
    EXPECT_EQ(key2.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(profile.GetProfileString(u"Settings", u"DefaultKey", u""), u"Custom Setting");
}

// Replaces the section key's DACL by an empty one (nobody may read or write)
// or by none at all (everyone may). The owner keeps WRITE_DAC either way.
bool SetSectionDacl(bool denyAll) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, TestSection, 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    SECURITY_DESCRIPTOR sd;
    ACL acl;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, denyAll ? &acl : nullptr, FALSE);
    const bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

TEST_F(RegistryProfileTest, AccessDeniedGivesDefaultsFailsWritesAndRecovers) {
    const DWORD stored = 0x41;
    WriteRaw(L"Key1", REG_DWORD, &stored, 4);
    ASSERT_TRUE(SetSectionDacl(true));
    const bool writeFailed = !profile.WriteProfileInt(u"Settings", u"Probe", 1);
    if (!writeFailed) {
        SetSectionDacl(false);
        GTEST_SKIP() << "this registry does not enforce key DACLs, "
                        "so access denied cannot be produced here";
    }
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"Key1", 32), 32u);

    TriggerState trigger;
    DriverKind kind = DriverBda;
    FakeTooltip tip;
    AppSettings settings(profile, trigger, kind, tip);
    settings.LoadSettings();
    EXPECT_EQ(trigger.presets[CustomRow].Keys[0], 32);
    trigger.presets[CustomRow].Keys[0] = 0x43;
    trigger.triggerMode = 0;
    settings.SaveSettings();
    EXPECT_EQ(trigger.presets[CustomRow].Keys[0], 0x43);
    EXPECT_EQ(trigger.triggerMode, 0);

    ASSERT_TRUE(SetSectionDacl(false));
    settings.SaveSettings();
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"Key1", 32), 0x43u);
    EXPECT_EQ(profile.GetProfileString(u"Settings", u"DefaultKey", u""), u"Joystick Button 1");
}

TEST_F(RegistryProfileTest, ProgramRulesLoadSaveAndKeepAHandEditedValueAsItIs) {
    const std::wstring programs = std::wstring(TestSection) + L"\\Programs";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, programs.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    const wchar_t mode[] = L"Kodak (F5)";
    const DWORD number = 7;
    RegSetValueExW(key, L"dexis.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(mode), sizeof mode);
    RegSetValueExW(key, L"odd.exe", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegSetValueExW(key, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(mode), sizeof mode);  // the default value
    RegCloseKey(key);

    ProgramSettings store(profile);
    const ProgramRuleSet loaded = store.Load();
    ASSERT_EQ(loaded.rules.size(), 2u);
    EXPECT_EQ(loaded.rules[0].program, u"dexis.exe");
    EXPECT_EQ(loaded.rules[0].mode, u"Kodak (F5)");
    EXPECT_EQ(loaded.rules[1].program, u"odd.exe");
    EXPECT_EQ(loaded.rules[1].mode, u"") << "a value that is not text names no mode";
    EXPECT_FALSE(loaded.onlyListed);

    ProgramRuleSet edited = loaded;
    edited.rules.erase(edited.rules.begin());
    edited.rules.push_back({u"chart.exe", u"Space"});
    edited.onlyListed = true;
    ASSERT_TRUE(store.Save(loaded, edited));
    EXPECT_FALSE(ReadRaw(programs.c_str(), L"dexis.exe").present);
    EXPECT_EQ(ReadRaw(programs.c_str(), L"odd.exe").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRaw(programs.c_str(), L"chart.exe").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadRaw(TestSection, L"OnlyListedPrograms").type, static_cast<DWORD>(REG_DWORD));
    const ProgramRuleSet reloaded = store.Load();  // in the registry's order
    EXPECT_EQ(reloaded.rules.size(), 2u);
    for (const ProgramRule& rule : edited.rules) {
        const ProgramRule* found = FindProgramRule(reloaded.rules, rule.program);
        ASSERT_NE(found, nullptr) << test::Narrow(rule.program);
        EXPECT_EQ(found->mode, rule.mode);
    }
    EXPECT_TRUE(reloaded.onlyListed);
    EXPECT_EQ(profile.GetProfileEntries(u"Settings\\Programs", 1).size(), 1u) << "the limit holds";
    EXPECT_TRUE(profile.DeleteProfileEntry(u"Settings\\Programs", u"never-there.exe"));
}

}  // namespace
}  // namespace brelkin
