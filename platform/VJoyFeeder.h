#pragma once
// The feeder side of the vJoy virtual joystick: the functions of its
// vJoyInterface.dll that joystick mode uses, and the loader that finds the
// library of the program's bitness where vJoy's installer put it.
#include <cstdint>
#include <memory>

namespace brelkin {

// GetVJDStatus's answers, with the driver's own values.
enum class VJoyDeviceStatus : int32_t {
    Own = 0,      // acquired by this process
    Free = 1,     // nobody's: can be acquired
    Busy = 2,     // another program's
    Missing = 3,  // not configured, or the driver is down
    Unknown = 4,
};

class IVJoyFeeder {
public:
    virtual ~IVJoyFeeder() = default;  // unloads the library
    virtual bool VJoyEnabled() = 0;
    virtual VJoyDeviceStatus GetVJDStatus(uint32_t device) = 0;
    virtual int32_t GetVJDButtonNumber(uint32_t device) = 0;
    virtual bool AcquireVJD(uint32_t device) = 0;
    virtual void RelinquishVJD(uint32_t device) = 0;
    // `button` counts from 1.
    virtual bool SetBtn(bool pressed, uint32_t device, uint8_t button) = 0;
};

enum class VJoyLoadFailure {
    None,
    NotInstalled,     // no install location recorded, or not an absolute path
    NoLibrary,        // recorded, but the library is absent or will not load
    MissingFunction,  // loaded, but without one of the functions above
};

struct VJoyLoadResult {
    std::unique_ptr<IVJoyFeeder> feeder;  // null unless `failure` is None
    VJoyLoadFailure failure = VJoyLoadFailure::NotInstalled;
};

class IVJoyLibrary {
public:
    virtual ~IVJoyLibrary() = default;
    virtual VJoyLoadResult LoadFeeder() = 0;
};

}  // namespace brelkin
