// The real vJoy binding against the stand-in vJoyInterface.dll, recorded as
// installed in this prefix's registry the way vJoy's installer does it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/JoystickOutput.h"
#include "device/win32/VJoyFeederLibrary.h"
#include "device/win32/Win32DevicePlatform.h"
#include "tools/VJoyStandInState.h"

namespace brelkin::test {
namespace {

using namespace standin;

std::wstring FromExeDir(const char* relative)
{
    wchar_t path[MAX_PATH];
    std::wstring dir(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    dir.resize(dir.find_last_of(L"\\/") + 1);
    for (const char* c = relative; *c; ++c) dir += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return dir;
}

std::string Calls(const VJoyStandInState& s)
{
    static const char* const names[] = {"?", "enabled", "status", "buttons", "acquire",
                                        "relinquish", "released", "pressed"};
    std::string text;
    for (LONG i = 0; i < s.callCount && i < VJoyCallCapacity; ++i)
        text += std::string(text.empty() ? "" : " ") + names[s.calls[i] < 8 ? s.calls[i] : 0];
    return text;
}

class VJoyBinding : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_state = OpenVJoyStandInState(&m_mapping);
        ASSERT_NE(m_state, nullptr) << "shared state block not available";
        ResetVJoyStandInState(*m_state);
    }
    void TearDown() override
    {
        UnregisterVJoyStandIn();  // the other tests of this prefix run without vJoy
        CloseSharedStateBlock(m_state, m_mapping);
    }
    // Opens the joystick output of the program: PPJoy is never there under Wine.
    JoystickStatus Open()
    {
        m_output.OpenJoystickOutput();
        return m_output.Status();
    }

    VJoyStandInState* m_state = nullptr;
    HANDLE m_mapping = nullptr;
    Win32DeviceIo m_io;
    VJoyFeederLibrary m_library;
    JoystickOutput m_output{m_io, m_library};
};

TEST_F(VJoyBinding, AcquiresFollowsTheButtonThenReleasesAndRelinquishes)
{
    ASSERT_TRUE(RegisterVJoyStandIn(FromExeDir(BRELKIN_VJOY_STANDIN_RELATIVE_DIR)));
    ASSERT_EQ(Open().backEnd, JoystickBackEnd::VJoy) << DescribeJoystickRefusal(m_output.Status().refusal);
    EXPECT_EQ(m_state->ownerProcess, static_cast<LONG>(GetCurrentProcessId()));
    m_output.SendJoystickButton(true);
    EXPECT_EQ(m_state->button1, 1);
    m_output.SendJoystickButton(false);
    EXPECT_EQ(m_state->button1, 0);
    m_output.SendJoystickButton(true);
    m_output.CloseJoystickOutput(true);
    EXPECT_EQ(m_state->button1, 0);
    EXPECT_EQ(m_state->ownerProcess, 0);
    EXPECT_EQ(m_state->misuse, 0);
    EXPECT_EQ(Calls(*m_state),
              "enabled status buttons acquire pressed released pressed released relinquish");
}

TEST_F(VJoyBinding, EachRefusalLeavesNoOutputAndNoCrash)
{
    struct Row {
        const char* label;
        const char* installFolder;  // relative to the test; null: not registered
        void (*prepare)(VJoyStandInState&);
        JoystickRefusal refusal;
        const char* calls;
    };
    const Row rows[] = {
        {"not installed", nullptr, [](VJoyStandInState&) {}, JoystickRefusal::VJoyNotInstalled, ""},
        {"no library in the recorded folder", "no-vjoy-here", [](VJoyStandInState&) {},
         JoystickRefusal::VJoyLibraryUnusable, ""},
        {"a library without SetBtn", BRELKIN_VJOY_LACKING_RELATIVE_DIR, [](VJoyStandInState&) {},
         JoystickRefusal::VJoyFunctionMissing, ""},
        {"driver disabled", BRELKIN_VJOY_STANDIN_RELATIVE_DIR,
         [](VJoyStandInState& s) { s.driverEnabled = 0; }, JoystickRefusal::VJoyDriverDisabled,
         "enabled"},
        {"device owned by another program", BRELKIN_VJOY_STANDIN_RELATIVE_DIR,
         [](VJoyStandInState& s) { s.otherOwner = 1; }, JoystickRefusal::VJoyDeviceBusy,
         "enabled status"},
        {"device without buttons", BRELKIN_VJOY_STANDIN_RELATIVE_DIR,
         [](VJoyStandInState& s) { s.buttonCount = 0; }, JoystickRefusal::VJoyDeviceWithoutButton,
         "enabled status buttons"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ResetVJoyStandInState(*m_state);
        UnregisterVJoyStandIn();
        if (row.installFolder) {
            ASSERT_TRUE(RegisterVJoyStandIn(FromExeDir(row.installFolder)));
        }
        row.prepare(*m_state);
        const JoystickStatus status = Open();
        EXPECT_EQ(status.backEnd, JoystickBackEnd::None);
        EXPECT_EQ(status.refusal, row.refusal) << DescribeJoystickRefusal(status.refusal);
        m_output.SendJoystickButton(true);
        m_output.CloseJoystickOutput(true);
        EXPECT_EQ(Calls(*m_state), row.calls);
        EXPECT_EQ(m_state->ownerProcess, 0);
    }
}

TEST_F(VJoyBinding, ABadLocationTheCurrentFolderAndPathAreNotUsed)
{
    const std::wstring folder = FromExeDir(BRELKIN_VJOY_STANDIN_RELATIVE_DIR);
    wchar_t oldDir[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, oldDir);
    SetCurrentDirectoryW(folder.c_str());
    wchar_t oldPath[32767];
    const DWORD oldLength = GetEnvironmentVariableW(L"PATH", oldPath, 32767);
    const std::wstring bitnessFolder = folder + L"\\" + VJoyBitnessFolder;
    SetEnvironmentVariableW(L"PATH", bitnessFolder.c_str());
    // "." would make x64 under the current folder the stand-in's folder.
    const DWORD number = 1;
    const std::wstring overlong = folder + L"\\" + std::wstring(MAX_PATH, L'a');
    for (int bad = 0; bad < 3; ++bad) {
        SCOPED_TRACE(bad == 0 ? "relative" : bad == 1 ? "longer than a path" : "not a string");
        ASSERT_TRUE(RegisterVJoyStandIn(bad == 0 ? L"." : overlong));
        if (bad == 2) {
            HKEY key;
            ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, VJoyUninstallKey, 0, KEY_SET_VALUE, &key), 0);
            RegSetValueExW(key, VJoyInstallLocationValue, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&number), sizeof number);
            RegCloseKey(key);
        }
        EXPECT_EQ(Open().refusal, JoystickRefusal::VJoyNotInstalled);
    }
    SetCurrentDirectoryW(oldDir);
    SetEnvironmentVariableW(L"PATH", oldLength ? oldPath : nullptr);
    EXPECT_EQ(m_state->callCount, 0);
    EXPECT_EQ(GetModuleHandleW(VJoyFeederLibraryName), nullptr);
}

}  // namespace
}  // namespace brelkin::test
