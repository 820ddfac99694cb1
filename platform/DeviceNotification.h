#pragma once
// Registration of a window for device-interface arrival notifications. The
// two entry points are looked up at run time and either can be missing.
#include <array>
#include <cstdint>

namespace brelkin {

using DeviceNotifyHandle = uintptr_t;  // 0: none
constexpr DeviceNotifyHandle NoDeviceNotify = 0;

// A DEV_BROADCAST_DEVICEINTERFACE_W record, byte for byte.
using DeviceInterfaceFilter = std::array<uint8_t, 32>;

struct DeviceNotificationEntries {
    bool registerFound = false;
    bool unregisterFound = false;
};

class IDeviceNotification {
public:
    virtual ~IDeviceNotification() = default;
    virtual DeviceNotificationEntries LookUpEntries() = 0;
    // Only called when the register entry was found. NoDeviceNotify on failure.
    virtual DeviceNotifyHandle RegisterNotification(uintptr_t window,
                                                          const DeviceInterfaceFilter& filter,
                                                          uint32_t flags) = 0;
    // Only called when the unregister entry was found. Result ignored.
    virtual void UnregisterNotification(DeviceNotifyHandle handle) = 0;
};

}  // namespace brelkin
