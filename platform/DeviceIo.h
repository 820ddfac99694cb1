#pragma once
// Control requests to a device opened by name.
#include <cstdint>
#include <string_view>

namespace brelkin {

using DeviceHandle = uintptr_t;
constexpr DeviceHandle NoDeviceHandle = 0;
constexpr DeviceHandle InvalidDeviceHandle = ~uintptr_t{0};  // INVALID_HANDLE_VALUE

// The values of the Win32 constants, so that portable code can state them.
constexpr uint32_t DeviceGenericWrite = 0x40000000;  // GENERIC_WRITE
constexpr uint32_t DeviceShareWrite = 0x00000002;    // FILE_SHARE_WRITE
constexpr uint32_t DeviceOpenExisting = 3;           // OPEN_EXISTING

class IDeviceIo {
public:
    virtual ~IDeviceIo() = default;
    // Whatever CreateFileW returns, InvalidDeviceHandle included.
    virtual DeviceHandle OpenDevice(std::u16string_view name, uint32_t access, uint32_t shareMode,
                                    uint32_t disposition, uint32_t flagsAndAttributes) = 0;
    virtual bool ControlDevice(DeviceHandle handle, uint32_t controlCode, const void* input,
                                 uint32_t inputSize, void* output, uint32_t outputSize,
                                 uint32_t* bytesReturned) = 0;
    virtual void CloseDevice(DeviceHandle handle) = 0;
};

}  // namespace brelkin
