// The real binding of the camera libraries against our stand-ins. Each case
// runs CameraProbe.exe from a folder of its own holding the libraries it
// needs, and reads the stand-ins' call counters from their shared block.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CameraProbeResult.h"
#include "tools/CameraStandInState.h"

namespace brelkin::test {
namespace {

using standin::ClassCounters;
using standin::ClassState;
using standin::StandInState;

std::wstring Widen(const char* s) { return std::wstring(s, s + std::strlen(s)); }

std::wstring ExeDir()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

std::wstring StandInDir() { return ExeDir() + L"\\" + Widen(BRELKIN_STANDIN_RELATIVE_DIR); }

std::wstring MakeFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root =
        std::wstring(temp) + L"brelkin-camera-binding-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);
    const std::wstring dir = root + L"\\" + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void CopyInto(const std::wstring& source, const std::wstring& folder)
{
    const std::wstring target = folder + source.substr(source.find_last_of(L"\\/"));
    ASSERT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE))
        << "copy failed, error " << GetLastError();
}

// A folder with the probe and the given libraries next to it.
std::wstring ProbeFolder(const std::wstring& name, std::initializer_list<std::wstring> libraries)
{
    const std::wstring folder = MakeFolder(name);
    CopyInto(ExeDir() + L"\\CameraProbe.exe", folder);
    for (const std::wstring& library : libraries)
        CopyInto(library, folder);
    return folder;
}

// The probe's exit code, or -1 if it could not run or hung.
int RunProbe(const std::wstring& folder, const char* kind, const std::wstring& currentDir = {})
{
    std::wstring command = L"\"" + folder + L"\\CameraProbe.exe\" " + Widen(kind);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.empty() ? folder.c_str() : currentDir.c_str(), &si, &pi))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

std::string Describe(const ClassCounters& c)
{
    return "constructed " + std::to_string(c.constructed) + ", destroyed " +
           std::to_string(c.destroyed) + ", opened " + std::to_string(c.opened) + ", closed " +
           std::to_string(c.closed) + ", valid " + std::to_string(c.valid) + ", getPio " +
           std::to_string(c.getPio) + ", pressed " + std::to_string(c.pressed) + ", misuse " +
           std::to_string(c.misuse);
}

bool Untouched(const ClassCounters& c)
{
    return c.constructed == 0 && c.destroyed == 0 && c.opened == 0 && c.closed == 0 &&
           c.valid == 0 && c.getPio == 0 && c.pressed == 0 && c.misuse == 0;
}

class CameraBinding : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_state = standin::OpenStandInState(&m_mapping);
        ASSERT_NE(m_state, nullptr) << "shared state block not available";
        standin::ResetStandInState(*m_state);
    }
    void TearDown() override { standin::CloseStandInState(m_state, m_mapping); }

    ClassState& Class(bool bda) { return bda ? m_state->bda : m_state->wdm; }

    StandInState* m_state = nullptr;
    HANDLE m_mapping = nullptr;
};

TEST_F(CameraBinding, OpensPollsAndClosesEachClassWithBalancedCounters)
{
    struct Row {
        const char* label;
        void (*prepare)(ClassState&);
        int expected;
        LONG pressedCalls;  // the probe's own call plus those of the two polls
    };
    const Row rows[] = {
        {"button up", [](ClassState&) {},
         ProbeHeld | ProbeValid | ProbePortClear | ProbeStepReset, 3},
        {"button pressed", [](ClassState& s) { s.buttonPressed = 1; },
         ProbeHeld | ProbeValid | ProbePortClear | ProbePressed | ProbeJoystickPressed |
             ProbeKeysSent | ProbeStepReset,
         3},
        // The BDA stand-in returns its validity as a bool with the rest of the
        // register dirty; reading the whole register would see "valid".
        {"interface not valid", [](ClassState& s) { s.interfaceValid = 0; s.buttonPressed = 1; },
         ProbeHeld | ProbePortClear | ProbePressed | ProbeStepReset, 1},
        {"port busy", [](ClassState& s) { s.portValue = 0x81; s.buttonPressed = 1; },
         ProbeHeld | ProbeValid | ProbePressed | ProbeStepReset, 1},
    };
    const std::wstring folder =
        ProbeFolder(L"complete", {StandInDir() + L"\\emDLL.dll", StandInDir() + L"\\BDADLL.dll"});
    for (bool bda : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(bda ? "BDA, " : "WDM, ") + row.label);
            standin::ResetStandInState(*m_state);
            row.prepare(Class(bda));
            EXPECT_EQ(RunProbe(folder, bda ? "bda" : "wdm"), row.expected);
            const ClassCounters& c = Class(bda).calls;
            EXPECT_TRUE(c.constructed == 1 && c.destroyed == 1 && c.opened == 1 &&
                        c.closed == 1 && c.misuse == 0 && c.pressed == row.pressedCalls)
                << Describe(c);
            EXPECT_TRUE(Untouched(Class(!bda).calls)) << "other class: " << Describe(Class(!bda).calls);
        }
    }
}

TEST_F(CameraBinding, FailedOpenInterfaceDestroysWithoutClosing)
{
    const std::wstring folder =
        ProbeFolder(L"open-fails", {StandInDir() + L"\\emDLL.dll", StandInDir() + L"\\BDADLL.dll"});
    for (bool bda : {false, true}) {
        SCOPED_TRACE(bda ? "BDA" : "WDM");
        standin::ResetStandInState(*m_state);
        Class(bda).openResult = 0;
        EXPECT_EQ(RunProbe(folder, bda ? "bda" : "wdm"), ProbeStepReset);
        const ClassCounters& c = Class(bda).calls;
        EXPECT_TRUE(c.constructed == 1 && c.destroyed == 1 && c.opened == 1 && c.closed == 0 &&
                    c.valid == 0 && c.misuse == 0)
            << Describe(c);
    }
}

TEST_F(CameraBinding, MissingOrIncompleteLibraryLeavesTheSlotEmpty)
{
    struct Row {
        const char* label;
        std::wstring folder;
        const char* kind;
    };
    const Row rows[] = {
        {"no libraries", ProbeFolder(L"missing", {}), "wdm"},
        {"no libraries", ProbeFolder(L"missing", {}), "bda"},
        {"WDM library lacking IsButtonPressed",
         ProbeFolder(L"lacking-member", {ExeDir() + L"\\lacking-member\\emDLL.dll"}), "wdm"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.label) + ", " + row.kind);
        standin::ResetStandInState(*m_state);
        EXPECT_EQ(RunProbe(row.folder, row.kind), ProbeStepReset);
        EXPECT_TRUE(Untouched(m_state->wdm.calls)) << Describe(m_state->wdm.calls);
        EXPECT_TRUE(Untouched(m_state->bda.calls)) << Describe(m_state->bda.calls);
    }
}

TEST_F(CameraBinding, LibrariesInCurrentDirectoryOrPathAreNotLoaded)
{
    const std::wstring app = ProbeFolder(L"planted-app", {});
    const std::wstring planted = MakeFolder(L"planted-libraries");
    CopyInto(StandInDir() + L"\\emDLL.dll", planted);
    CopyInto(StandInDir() + L"\\BDADLL.dll", planted);

    wchar_t oldPath[32767];
    const DWORD oldLength = GetEnvironmentVariableW(L"PATH", oldPath, 32767);
    const std::wstring path = planted + L";" + std::wstring(oldPath, oldLength);
    SetEnvironmentVariableW(L"PATH", path.c_str());  // inherited by the probe
    const int wdm = RunProbe(app, "wdm", planted);
    const int bda = RunProbe(app, "bda", planted);
    SetEnvironmentVariableW(L"PATH", oldLength ? oldPath : nullptr);

    EXPECT_EQ(wdm, ProbeStepReset);
    EXPECT_EQ(bda, ProbeStepReset);
    EXPECT_TRUE(Untouched(m_state->wdm.calls)) << Describe(m_state->wdm.calls);
    EXPECT_TRUE(Untouched(m_state->bda.calls)) << Describe(m_state->bda.calls);
}

}  // namespace
}  // namespace brelkin::test
