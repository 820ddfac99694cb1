#pragma once
// Where the loads this process makes look, the camera library's own included:
// the system folder and the folders added here, never the current folder or
// the PATH. The search functions are looked up at run time, so that the host
// starts on a Windows 7 without them; there the library's folder takes the
// current folder's place and the library is loaded by its full path.
#include <string>

namespace brelkin::host {

// First thing in the host, before any load.
void LimitDllSearch();
// The folder a camera library is loaded from: its own loads by name and its
// delay-loads find what sits beside it. Each folder is added once.
void AddLibraryFolder(const std::wstring& folder);
// Loads the library `file` from `folder` or else the system folder, by the
// same rules and flags as the camera library's binding, which then finds it
// loaded: the library's start-up code (DllMain) runs here, in a call of its
// own. Null where it cannot be loaded; the binding reports why.
void* LoadCameraLibrary(const std::wstring& folder, const wchar_t* file);

}  // namespace brelkin::host
