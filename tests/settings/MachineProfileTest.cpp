// The machine-wide defaults under HKEY_LOCAL_MACHINE against the real
// registry: the view they are read from and their place under the user's values.
#include "tests/settings/RegistryTestKey.h"

namespace brelkin {
namespace {

// The test key, its raw reads and writes and the fixture (RegistryTestKey.h).
using namespace test;

// The machine-wide defaults under HKLM, as the installer writes them: in the
// 64-bit view, which a 32-bit process reaches only by asking for it.
void WriteMachine(REGSAM view, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, TestSection, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}
bool MachineKeyExists(REGSAM view, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
void DeleteMachineTree(REGSAM view) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, TestRoot);  // the process's own view
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view, &software) == ERROR_SUCCESS) {
        RegDeleteTreeW(software, L"BrelkinSettingsTest");
        RegDeleteKeyExW(software, L"BrelkinSettingsTest", view, 0);
        RegCloseKey(software);
    }
}

class MachineProfileTest : public RegistryProfileTest {
protected:
    void SetUp() override {
        RegistryProfileTest::SetUp();
        DeleteMachineTree(KEY_WOW64_64KEY);
        DeleteMachineTree(KEY_WOW64_32KEY);
    }
    void TearDown() override {
        DeleteMachineTree(KEY_WOW64_64KEY);
        DeleteMachineTree(KEY_WOW64_32KEY);
        RegistryProfileTest::TearDown();
    }
    RegistryProfile machine{u"BrelkinSettingsTest", u"Tolvacore", RegistryScope::Machine};
    LayeredProfile layered{profile, machine};
};

TEST_F(MachineProfileTest, ReadsTheSixtyFourBitViewCreatesNothingAndNeverWrites) {
    EXPECT_EQ(machine.GetProfileInt(u"Settings", u"UseBDA", 7), 7u);
    EXPECT_FALSE(MachineKeyExists(KEY_WOW64_64KEY, TestRoot)) << "a read created the machine key";
    EXPECT_FALSE(machine.WriteProfileInt(u"Settings", u"UseBDA", 1));
    EXPECT_FALSE(machine.WriteProfileString(u"Settings", u"DefaultKey", u"Space"));
    EXPECT_FALSE(MachineKeyExists(KEY_WOW64_64KEY, TestRoot)) << "a write reached the machine key";

    const DWORD wow64 = 32, native = 64;
    WriteMachine(KEY_WOW64_32KEY, L"PollPeriod", REG_DWORD, &wow64, 4);
    WriteMachine(KEY_WOW64_64KEY, L"PollPeriod", REG_DWORD, &native, 4);
    EXPECT_EQ(machine.GetProfileInt(u"Settings", u"PollPeriod", 400), 64u);
    const DWORD stored = 1;
    EXPECT_FALSE(machine.WriteProfileInt(u"Settings", u"PollPeriod", stored));
    EXPECT_EQ(machine.GetProfileInt(u"Settings", u"PollPeriod", 400), 64u);
}

TEST_F(MachineProfileTest, TheUsersSoundValuesWinDamagedOnesFallBackOnTheMachinesFirstStartWritesNothing) {
    const wchar_t kodak[] = L"Kodak (F5)";
    const wchar_t text[] = L"300";
    const DWORD bda = 0, machineDelay = 300, machineKey = 0x41, userKey = 0x42;
    WriteMachine(KEY_WOW64_64KEY, L"DefaultKey", REG_SZ, kodak, sizeof kodak);
    WriteMachine(KEY_WOW64_64KEY, L"UseBDA", REG_DWORD, &bda, 4);
    WriteMachine(KEY_WOW64_64KEY, L"DelayTime", REG_DWORD, &machineDelay, 4);
    WriteMachine(KEY_WOW64_64KEY, L"Key1", REG_DWORD, &machineKey, 4);
    WriteMachine(KEY_WOW64_64KEY, L"Key2", REG_SZ, text, sizeof text);  // damaged: the default

    TriggerState trigger;
    DriverKind kind = DriverBda;
    FakeTooltip tip;
    AppSettings settings(layered, trigger, kind, tip);
    settings.LoadSettings();
    EXPECT_EQ(trigger.triggerMode, 3);
    EXPECT_EQ(kind, DriverWdm);
    EXPECT_EQ(trigger.presets[CustomRow].DelayTime, 300);
    EXPECT_EQ(trigger.presets[CustomRow].Keys[0], 0x41);
    EXPECT_EQ(trigger.presets[CustomRow].Keys[1], 0);
    DWORD values = 99;
    ASSERT_TRUE(KeyExists(TestSection, &values));
    EXPECT_EQ(values, 0u) << "a first start wrote into the user's key";
    EXPECT_EQ(layered.ProfileIntSource(u"Settings", u"Key1"), ProfileSource::Machine);
    EXPECT_EQ(layered.ProfileIntSource(u"Settings", u"Key2"), ProfileSource::Default);

    WriteRaw(L"Key1", REG_DWORD, &userKey, 4);
    WriteRaw(L"DelayTime", REG_SZ, text, sizeof text);  // the user's damaged one falls back
    settings.LoadSettings();
    EXPECT_EQ(trigger.presets[CustomRow].Keys[0], 0x42);
    EXPECT_EQ(trigger.presets[CustomRow].DelayTime, 300);
    EXPECT_EQ(layered.ProfileIntSource(u"Settings", u"Key1"), ProfileSource::User);

    trigger.triggerMode = 11;
    settings.SaveSettings();
    EXPECT_EQ(profile.GetProfileString(u"Settings", u"DefaultKey", u""), u"Space");
    EXPECT_EQ(machine.GetProfileString(u"Settings", u"DefaultKey", u""), u"Kodak (F5)");
}

// The policy keys as the templates write them: the values in the key itself,
// the rules in its Programs subkey; HKEY_LOCAL_MACHINE's in the 64-bit view.
TEST_F(MachineProfileTest, PolicyProfilesReadTheirKeyAndItsProgramsSubkeyCreateNothingAndNeverWrite) {
    const wchar_t* const policies = L"Software\\Policies\\BrelkinSettingsTest";
    auto plant = [](HKEY hive, REGSAM view, const std::wstring& path, const wchar_t* name, const wchar_t* text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    };
    auto clear = [policies] {
        DeleteTree(policies);
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY software = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Policies", 0, KEY_ALL_ACCESS | view, &software)) continue;
            RegDeleteTreeW(software, L"BrelkinSettingsTest");
            RegDeleteKeyExW(software, L"BrelkinSettingsTest", view, 0);
            RegCloseKey(software);
        }
    };
    clear();
    RegistryProfile enforced{u"BrelkinSettingsTest", u"Tolvacore", RegistryScope::MachinePolicy, u""};
    RegistryProfile recommended{u"BrelkinSettingsTest", u"Tolvacore", RegistryScope::UserPolicy, u"Recommended"};
    EXPECT_EQ(enforced.GetValueState(u"Settings", u"DefaultKey", true), ProfileValueState::Missing);
    EXPECT_FALSE(enforced.WriteProfileString(u"Settings", u"DefaultKey", u"Space"));
    EXPECT_FALSE(recommended.WriteProfileString(u"Settings\\Programs", u"chart.exe", u"Space"));
    EXPECT_FALSE(MachineKeyExists(KEY_WOW64_64KEY, policies)) << "the computer's policy key was created";
    EXPECT_FALSE(KeyExists(policies)) << "the user's policy key was created";

    const std::wstring root = std::wstring(policies) + L"\\Tolvacore";
    plant(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, root, L"DefaultKey", L"Kodak (F5)");
    plant(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, root + L"\\Programs", L"dexis.exe", L"Space");
    plant(HKEY_CURRENT_USER, 0, root + L"\\Recommended\\Programs", L"chart.exe", L"Enter");
    EXPECT_EQ(enforced.GetProfileString(u"Settings", u"DefaultKey", u""), u"Kodak (F5)");
    EXPECT_EQ(enforced.GetProfileEntries(u"Settings\\Programs", 10), std::vector<std::u16string>{u"dexis.exe"});
    EXPECT_EQ(recommended.GetProfileString(u"Settings\\Programs", u"chart.exe", u""), u"Enter");
    EXPECT_EQ(recommended.GetValueState(u"Settings", u"DefaultKey", true), ProfileValueState::Missing);
    clear();
}

}  // namespace
}  // namespace brelkin
