#pragma once
// The two closed camera libraries, each with one class of the same members.
// An object made here has run the library's default constructor; destroying
// it runs the library's destructor and frees the object's memory.
#include <cstdint>
#include <memory>

#include "engine/CameraButton.h"

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

class ICameraLibrary {
public:
    virtual ~ICameraLibrary() = default;
    // Null when the library or one of the class's members cannot be found.
    virtual std::unique_ptr<ICameraObject> CreateCameraObject(CameraClass cameraClass) = 0;
};

}  // namespace brelkin
