#pragma once
// Starts Brelkin.exe or its test build in a folder of its own, with the camera
// stand-ins beside it and a clean registry key, and reads the probe block.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "tests/shell/probe/ProbeBlock.h"

namespace e2e {

using brelkin::probe::Block;

inline std::wstring WinPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

template <typename Pred>
bool WaitFor(Pred pred, DWORD milliseconds = 15000) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (!pred()) {
        if (GetTickCount64() > end) return false;
        Sleep(20);
    }
    return true;
}

struct Process {
    PROCESS_INFORMATION pi{};
    ~Process() {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD WaitExit(DWORD ms = 15000) {
        if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return 0xDEAD;
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
};

struct FindFrame {
    DWORD pid;
    HWND found = nullptr;
};
inline BOOL CALLBACK FindFrameProc(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<FindFrame*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (pid == f->pid && std::wstring(cls) == L"BrelkinFrame128") {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
inline HWND FrameOf(const Process& p) {
    FindFrame f{p.pi.dwProcessId};
    EnumWindows(FindFrameProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

inline std::wstring StoredDefaultKey() {
    wchar_t text[128] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", L"DefaultKey",
                     RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return L"<none>";
    return text;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Morvane");
        mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Block),
                                     brelkin::probe::BlockName);
        ASSERT_NE(mapping, nullptr);
        block = static_cast<Block*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_NE(block, nullptr);
        ZeroMemory(block, sizeof(Block));
    }
    void TearDown() override {
        UnmapViewOfFile(block);
        CloseHandle(mapping);
    }

    // A folder of its own for this test, with the program and the stand-ins
    // (or the given libraries, as Unix paths), emptied first.
    std::wstring Install(const wchar_t* exe) {
        const std::wstring standins = WinPath(BRELKIN_STANDIN_DIR);
        return Install(exe, {standins + L"\\emDLL.dll", standins + L"\\BDADLL.dll"});
    }
    std::wstring Install(const wchar_t* exe, std::initializer_list<std::wstring> libraries,
                         const std::wstring& binDir = WinPath(BRELKIN_BIN_DIR)) {
        const std::wstring dir = TestDir();
        CreateDirectoryW(WinPath(BRELKIN_E2E_DIR).c_str(), nullptr);
        CreateDirectoryW(dir.c_str(), nullptr);
        for (const wchar_t* dll : {L"emDLL.dll", L"BDADLL.dll"}) DeleteFileW((dir + L"\\" + dll).c_str());
        const std::wstring exeName = exe;
        // A program of an earlier case in this folder may still be on its way
        // out and hold its file: the copy is retried until it goes through.
        auto copy = [](const std::wstring& from, const std::wstring& to) {
            EXPECT_TRUE(WaitFor([&] { return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0; }, 10000))
                << "cannot copy to " << std::string(to.begin(), to.end());
        };
        copy(binDir + L"\\" + exeName, dir + L"\\" + exeName);
        // The camera host of this build beside it, where the installer puts it.
        InstallHost(WinPath(BRELKIN_BIN_DIR), dir);
        for (const std::wstring& library : libraries) {
            copy(library, dir + library.substr(library.find_last_of(L'\\')));
        }
        return dir + L"\\" + exeName;
    }
    // This build's host program copied beside the program of an
    // installation; false when the build has none.
    static bool InstallHost(const std::wstring& fromFolder, const std::wstring& toFolder) {
        const std::wstring from = fromFolder + L"\\" BRELKIN_HOST_NAME_W;
        if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
        const std::wstring to = toFolder + L"\\" BRELKIN_HOST_NAME_W;
        return WaitFor([&] { return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0; }, 10000);
    }
    std::wstring TestDir() const {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return WinPath(BRELKIN_E2E_DIR) + L"\\" + std::wstring(info->name(), info->name() + strlen(info->name()));
    }
    // The program's LOCALAPPDATA, so that each test reads a support log of its own.
    std::wstring AppData() const { return TestDir() + L"\\appdata"; }
    std::wstring SupportLogFile() const { return AppData() + L"\\Brelkin\\Brelkin.log"; }
    std::string SupportLog() const {
        std::ifstream in(SupportLogFile().c_str(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool WaitForLog(const std::string& part, DWORD milliseconds = 10000) const {
        return WaitFor([&] { return SupportLog().find(part) != std::string::npos; }, milliseconds);
    }

    // `currentFolder` and `pathFront` (put before the PATH) are what the
    // program inherits; neither may ever be searched for a camera library.
    void Start(Process& p, const std::wstring& exe, const wchar_t* currentFolder = nullptr,
               const wchar_t* pathFront = nullptr) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe + L"\"";
        const std::wstring appData = AppData();
        CreateDirectoryW(appData.c_str(), nullptr);
        DeleteFileW(SupportLogFile().c_str());
        wchar_t saved[MAX_PATH] = {};
        const DWORD savedLength = GetEnvironmentVariableW(L"LOCALAPPDATA", saved, MAX_PATH);
        SetEnvironmentVariableW(L"LOCALAPPDATA", appData.c_str());  // inherited by the program
        static wchar_t savedPath[32768];
        const DWORD pathLength = GetEnvironmentVariableW(L"PATH", savedPath, 32768);
        if (pathFront) SetEnvironmentVariableW(L"PATH", (std::wstring(pathFront) + L";" + savedPath).c_str());
        const BOOL started = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                            currentFolder, &si, &p.pi);
        if (pathFront) SetEnvironmentVariableW(L"PATH", pathLength ? savedPath : nullptr);
        SetEnvironmentVariableW(L"LOCALAPPDATA", savedLength ? saved : nullptr);
        ASSERT_TRUE(started) << "cannot start " << std::string(exe.begin(), exe.end());
    }
    HWND StartAndWaitForFrame(Process& p, const std::wstring& exe, const wchar_t* currentFolder = nullptr,
                              const wchar_t* pathFront = nullptr) {
        Start(p, exe, currentFolder, pathFront);
        HWND frame = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (frame = FrameOf(p)) != nullptr; })) << "no frame window";
        // The frame exists before its creation has finished; the settings
        // load creates the registry key.
        WaitFor([&] {
            HKEY key;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", 0, KEY_READ, &key))
                return false;
            RegCloseKey(key);
            return true;
        });
        return frame;
    }
    DWORD Exit(Process& p, HWND frame) {
        PostMessageW(frame, WM_COMMAND, 57665, 0);
        return p.WaitExit();
    }

    HWND TrayWindow() { return reinterpret_cast<HWND>(block->trayWindow); }

    // Opens the tray popup as a right click does and waits for its items.
    bool OpenPopup() {
        const LONG before = block->menuSerial;
        PostMessageW(TrayWindow(), WM_USER + 10, 130, WM_RBUTTONUP);
        return WaitFor([&] { return block->menuSerial > before; });
    }
    void ClosePopup() {
        HWND probe = FindWindowW(brelkin::probe::WindowClass, nullptr);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(probe, brelkin::probe::EndMenuMessage, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }

    HANDLE mapping = nullptr;
    Block* block = nullptr;
};

}  // namespace e2e
