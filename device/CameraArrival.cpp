#include "device/CameraArrival.h"

#include <cstddef>

namespace brelkin {

namespace {

void PutLe32(DeviceInterfaceFilter& bytes, std::size_t offset, uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

DeviceInterfaceFilter CameraArrivalFilter()
{
    DeviceInterfaceFilter bytes{};
    PutLe32(bytes, 0, 32);  // dbcc_size
    PutLe32(bytes, 4, 5);   // DBT_DEVTYP_DEVICEINTERFACE
    // {65E8773D-8F56-11D0-A3B9-00A0C9223196}: Data1..Data3 little-endian,
    // Data4 as the eight bytes in order. Name and padding stay zero.
    PutLe32(bytes, 12, 0x65E8773D);
    const uint8_t rest[12] = {0x56, 0x8F, 0xD0, 0x11, 0xA3, 0xB9,
                              0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96};
    for (std::size_t i = 0; i < sizeof rest; ++i)
        bytes[16 + i] = rest[i];
    return bytes;
}

void CameraArrivalRegistration::Register(IDeviceNotification& notification, uintptr_t window)
{
    m_handle = NoDeviceNotify;
    m_entries = notification.LookUpEntries();
    if (m_entries.registerFound) {
        // Flags 0: DEVICE_NOTIFY_WINDOW_HANDLE, delivered as WM_DEVICECHANGE.
        m_handle = notification.RegisterNotification(window, CameraArrivalFilter(), 0);
    }
}

void CameraArrivalRegistration::Unregister(IDeviceNotification& notification)
{
    if (m_handle == NoDeviceNotify)
        return;
    if (m_entries.unregisterFound)
        notification.UnregisterNotification(m_handle);
    m_handle = NoDeviceNotify;
}

}  // namespace brelkin
