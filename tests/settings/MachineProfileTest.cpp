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

}  // namespace
}  // namespace brelkin
