#pragma once
// The closed camera libraries, bound at run time: emDLL.dll (CEM2800Prop) and
// BDADLL.dll (CBDA2800). Each is loaded from the application's folder or the
// system folder only, on the first open that finds it complete, and stays
// loaded while this object lives.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "device/DecoratedName.h"
// The camera host's starter finds the file helpers here too.
#include "device/win32/LibraryFiles.h"
#include "platform/CameraLibrary.h"

namespace brelkin {

// One loaded library with the addresses of the class's seven members.
struct BoundCameraClass {
    struct Entry {
        FARPROC address = nullptr;
        unsigned returnBytes = 0;
    };
    HMODULE module = nullptr;
    std::array<Entry, ClassMemberCount> members{};
    size_t objectSize = 0;

    ~BoundCameraClass();
    const Entry& operator[](ClassMember m) const { return members[static_cast<size_t>(m)]; }
};

class VendorCameraLibrary : public ICameraLibrary {
public:
    // `programFolder` is where the library is looked for before the system
    // folder: the camera host passes Brelkin's folder, which is not its own.
    // Empty: this program's own folder.
    explicit VendorCameraLibrary(std::wstring programFolder = {}) : m_programFolder(std::move(programFolder)) {}
    std::unique_ptr<ICameraObject> CreateCameraObject(CameraClass cameraClass) override;
    LibraryLoadReport LastLoad(CameraClass cameraClass) const override;

private:
    std::shared_ptr<const BoundCameraClass> Bind(CameraClass cameraClass, LibraryLoadReport& report);

    std::wstring m_programFolder;

    // Kept once bound: a closed library may keep threads or global state that
    // does not survive being unloaded and loaded again at every rescan.
    std::shared_ptr<const BoundCameraClass> m_wdm;
    std::shared_ptr<const BoundCameraClass> m_bda;
    LibraryLoadReport m_wdmReport;
    LibraryLoadReport m_bdaReport;
};

// The library's file name: emDLL.dll or BDADLL.dll.
const wchar_t* CameraLibraryFile(CameraClass cameraClass);

// Finds the seven members of the class in the module's export table. False
// when any is missing.
bool FindClassMembers(HMODULE module, const char* className, BoundCameraClass& bound);

}  // namespace brelkin
