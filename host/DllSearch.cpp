#include "host/DllSearch.h"

#include <windows.h>

#include <set>

#include "device/win32/LibraryFiles.h"

namespace brelkin::host {

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using AddDllDirectoryFn = void*(WINAPI*)(PCWSTR);

// Where the function exists, so do the LOAD_LIBRARY_SEARCH flags (KB2533623).
template <typename Fn>
Fn Kernel32(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

bool g_defaults = false;
std::set<std::wstring> g_added;

}  // namespace

void LimitDllSearch() {
    // The current folder leaves the list in any case.
    SetDllDirectoryW(L"");
    if (auto setDefaults = Kernel32<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
        g_defaults = Kernel32<AddDllDirectoryFn>("AddDllDirectory") != nullptr &&
                     setDefaults(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS) != FALSE;
}

void AddLibraryFolder(const std::wstring& folder) {
    if (folder.empty() || !g_added.insert(folder).second) return;
    if (g_defaults) {
        Kernel32<AddDllDirectoryFn>("AddDllDirectory")(folder.c_str());
        return;
    }
    // One folder can take the current folder's place; Brelkin's folder is
    // the only one added where the library is not in the system folder.
    SetDllDirectoryW(folder.c_str());
}

void* LoadCameraLibrary(const std::wstring& folder, const wchar_t* file) {
    const bool searchFlags = Kernel32<AddDllDirectoryFn>("AddDllDirectory") != nullptr;
    const std::wstring inFolder = folder + L"\\" + file;
    if (!folder.empty() && brelkin::IsFile(inFolder))
        return LoadLibraryExW(inFolder.c_str(), nullptr,
                              searchFlags ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                          : LOAD_WITH_ALTERED_SEARCH_PATH);
    if (searchFlags) return LoadLibraryExW(file, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    wchar_t system[MAX_PATH];
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return LoadLibraryExW((std::wstring(system, n) + L"\\" + file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace brelkin::host
