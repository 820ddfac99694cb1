// The camera host: the only program that loads the camera vendor's library.
// Brelkin starts it with its ends of two anonymous pipes, the watch block,
// a handle to Brelkin's own process and Brelkin's folder on the command line;
// every handle is inherited, none has a name another process could open, and
// the host makes each non-inheritable before anything else, so that no
// process the camera library starts holds them.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "host/CrashRecorder.h"
#include "host/DllSearch.h"
#include "host/HostChannel.h"
#include "host/HostPoll.h"

namespace {

bool ParseHandle(const wchar_t* text, HANDLE& out) {
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text, &end, 16);
    if (end == text || *end != 0 || value == 0) return false;
    out = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
    return true;
}

// Brelkin's folder: given, or this program's own, which sits beside
// Brelkin.exe so that a library that reads its files "beside the program"
// finds them in Brelkin's folder, as it did before the host existed.
std::wstring BrelkinFolder(int argc, wchar_t** argv) {
    if (argc > 5 && argv[5][0] != 0) return argv[5];
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    const std::wstring file(path, n);
    return file.substr(0, file.find_last_of(L'\\'));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    HANDLE commands = nullptr, reports = nullptr, watchSection = nullptr, brelkin = nullptr;
    if (argv == nullptr || argc < 5 || !ParseHandle(argv[1], commands) || !ParseHandle(argv[2], reports) ||
        !ParseHandle(argv[3], watchSection) || !ParseHandle(argv[4], brelkin))
        return static_cast<int>(brelkin::hostwire::HostExitBadCommandLine);
    // A process the library starts with inherited handles (a helper, a
    // driver tool) would otherwise hold the pipes open after the host ends.
    for (HANDLE h : {commands, reports, watchSection, brelkin}) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    // A library never comes from the current folder or the PATH.
    brelkin::host::LimitDllSearch();
    auto* watch = static_cast<brelkin::hostwire::WatchBlock*>(
        MapViewOfFile(watchSection, FILE_MAP_WRITE, 0, 0, sizeof(brelkin::hostwire::WatchBlock)));
    if (watch == nullptr) return static_cast<int>(brelkin::hostwire::HostExitBadCommandLine);
    brelkin::host::InstallCrashRecorder(watch);

    brelkin::host::HostChannel channel(commands, reports);
    if (!channel.Start()) return 1;
    // The first report: a Brelkin of another version knows at once.
    channel.Send(brelkin::hostwire::EncodeHello());
    const std::wstring folder = BrelkinFolder(argc, argv);
    LocalFree(argv);
    brelkin::host::HostPoll poll(channel, *watch, brelkin, folder);
    return poll.Run();
}
