#pragma once
// The two closed camera libraries, each with one class of the same members.
// An object made here has run the library's default constructor; destroying
// it runs the library's destructor and frees the object's memory.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/CameraButton.h"

namespace brelkin {

enum class CameraClass {
    Wdm,  // emDLL.dll, CEM2800Prop
    Bda,  // BDADLL.dll, CBDA2800
};

class ICameraObject : public ICameraButton {
public:
    // Non-zero: the camera interface is open.
    virtual uintptr_t OpenInterface() = 0;
    virtual void CloseInterface() = 0;
};

// What the last CreateCameraObject of a class found, for the support log and
// the notification that names the cause.
enum class LibraryLoadStatus {
    Loaded,            // bound: this time or kept from an earlier open
    Missing,           // in neither the program folder nor the system folder
    WrongBitness,      // there, but built for the other processor width
    LoadFailed,        // there, but the loader refused it for another reason
    NotCameraLibrary,  // loads, or is no program library at all, without the class
    MemberMissing,     // loads, with the class, but without one of its members
};

struct LibraryLoadReport {
    LibraryLoadStatus status = LibraryLoadStatus::Loaded;
    bool attempted = false;       // this call asked the loader (a kept library is not loaded again)
    std::u16string library;       // the file name, "emDLL.dll"
    std::u16string path;          // the full path loaded or found; empty when missing
    std::u16string programFolder;
    std::u16string systemFolder;
    uint32_t errorCode = 0;       // the loader's error, when it refused
    std::u16string errorText;
    unsigned libraryBits = 0;     // 32 or 64 from the file's header; 0 unknown
    unsigned programBits = 0;
    std::string member;           // the first member not found
};

class ICameraLibrary {
public:
    virtual ~ICameraLibrary() = default;
    // Null when the library or one of the class's members cannot be found.
    virtual std::unique_ptr<ICameraObject> CreateCameraObject(CameraClass cameraClass) = 0;
    // About the last CreateCameraObject of the class. A library that cannot
    // tell reports every load as kept.
    virtual LibraryLoadReport LastLoad(CameraClass cameraClass) const { return {}; }
};

}  // namespace brelkin
