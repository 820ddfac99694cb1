#pragma once
// Camera arrivals: the device-interface notifications that make Brelkin open
// the camera library again when a camera is plugged in.
#include <cstdint>

#include "platform/DeviceNotification.h"

namespace brelkin {

constexpr uintptr_t DeviceArrivalEvent = 0x8000;  // DBT_DEVICEARRIVAL

// The filter for arrivals of kernel-streaming capture interfaces
// (KSCATEGORY_CAPTURE) as a DEV_BROADCAST_DEVICEINTERFACE_W.
DeviceInterfaceFilter CameraArrivalFilter();

// The registration for camera arrivals on the frame's window, which the
// camera source holds until it is released. Where the system lacks the entry
// points there is none, and nothing to end.
class CameraArrivalRegistration {
public:
    void Register(IDeviceNotification& notification, uintptr_t window);
    void Unregister(IDeviceNotification& notification);

private:
    DeviceNotifyHandle m_handle = NoDeviceNotify;
    DeviceNotificationEntries m_entries;
};

}  // namespace brelkin
