#pragma once
// Recording fakes of the device-access platform interfaces: every call goes
// into one shared log, in order, so a test can state the exact sequence.
#include <memory>
#include <string>
#include <vector>

#include "platform/CameraLibrary.h"
#include "platform/Com.h"
#include "platform/DeviceIo.h"
#include "platform/DeviceNotification.h"
#include "platform/OsVersion.h"
#include "platform/VJoyFeeder.h"

namespace brelkin::test {

using CallLog = std::vector<std::string>;

inline const char* ClassName(CameraClass c) { return c == CameraClass::Wdm ? "WDM" : "BDA"; }

class FakeCameraObject : public ICameraObject {
public:
    FakeCameraObject(CallLog& log, CameraClass c, uintptr_t openResult)
        : m_log(log), m_name(ClassName(c)), m_openResult(openResult)
    {
        m_log.push_back("construct " + m_name);
    }
    ~FakeCameraObject() override { m_log.push_back("destroy " + m_name); }
    uintptr_t OpenInterface() override
    {
        m_log.push_back("OpenInterface " + m_name);
        return m_openResult;
    }
    void CloseInterface() override { m_log.push_back("CloseInterface " + m_name); }
    int32_t IsInterfaceValid() override { return 1; }
    int32_t GetPIO(uint32_t* value) override { *value = 0; return 0; }
    int32_t IsButtonPressed() override { return 0; }

private:
    CallLog& m_log;
    std::string m_name;
    uintptr_t m_openResult;
};

class FakeCameraLibrary : public ICameraLibrary {
public:
    explicit FakeCameraLibrary(CallLog& log) : m_log(log) {}
    std::unique_ptr<ICameraObject> CreateCameraObject(CameraClass c) override
    {
        if (c == CameraClass::Wdm ? !wdmAvailable : !bdaAvailable) {
            m_log.push_back(std::string("library missing ") + ClassName(c));
            return nullptr;
        }
        return std::make_unique<FakeCameraObject>(m_log, c, c == CameraClass::Wdm ? wdmOpenResult
                                                                                : bdaOpenResult);
    }
    LibraryLoadReport LastLoad(CameraClass c) const override
    {
        return c == CameraClass::Wdm ? wdmReport : LibraryLoadReport{};
    }
    bool wdmAvailable = true, bdaAvailable = true;
    LibraryLoadReport wdmReport;
    uintptr_t wdmOpenResult = 0x1234, bdaOpenResult = 0x5678;

private:
    CallLog& m_log;
};

class FakeCom : public ICom {
public:
    explicit FakeCom(CallLog& log) : m_log(log) {}
    void CoInitialize() override { m_log.push_back("CoInitialize"); ++outstanding; }
    void CoUninitialize() override { m_log.push_back("CoUninitialize"); --outstanding; }
    int outstanding = 0;

private:
    CallLog& m_log;
};

class FakeOsVersion : public IOsVersion {
public:
    OsVersion GetOsVersion() override { return version; }
    OsVersion version{6, 1};
};

class FakeDeviceNotification : public IDeviceNotification {
public:
    explicit FakeDeviceNotification(CallLog& log) : m_log(log) {}
    DeviceNotificationEntries LookUpEntries() override { return entries; }
    DeviceNotifyHandle RegisterNotification(uintptr_t window,
                                                  const DeviceInterfaceFilter& f,
                                                  uint32_t flags) override
    {
        m_log.push_back("Register window=" + std::to_string(window) +
                        " flags=" + std::to_string(flags));
        filter = f;
        return registerResult;
    }
    void UnregisterNotification(DeviceNotifyHandle handle) override
    {
        m_log.push_back("Unregister " + std::to_string(handle));
    }
    DeviceNotificationEntries entries{true, true};
    DeviceNotifyHandle registerResult = 77;
    DeviceInterfaceFilter filter{};

private:
    CallLog& m_log;
};

struct IoRequest {
    DeviceHandle handle;
    uint32_t code;
    std::vector<uint8_t> input;
    bool hasOutput;
    uint32_t outputSize;
    bool hasBytesReturned;
};

class FakeDeviceIo : public IDeviceIo {
public:
    explicit FakeDeviceIo(CallLog& log) : m_log(log) {}
    DeviceHandle OpenDevice(std::u16string_view name, uint32_t access, uint32_t share,
                            uint32_t disposition, uint32_t flags) override
    {
        m_log.push_back("CreateFile access=" + std::to_string(access) + " share=" +
                        std::to_string(share) + " disposition=" + std::to_string(disposition) +
                        " flags=" + std::to_string(flags));
        openedName = std::u16string(name);
        return createResult;
    }
    bool ControlDevice(DeviceHandle handle, uint32_t code, const void* input, uint32_t inputSize,
                         void* output, uint32_t outputSize, uint32_t* bytesReturned) override
    {
        m_log.push_back("DeviceIoControl");
        auto* bytes = static_cast<const uint8_t*>(input);
        requests.push_back({handle, code, std::vector<uint8_t>(bytes, bytes + inputSize),
                            output != nullptr, outputSize, bytesReturned != nullptr});
        return false;  // the driver is never there in these tests
    }
    void CloseDevice(DeviceHandle handle) override
    {
        m_log.push_back("CloseHandle " + std::to_string(handle));
    }
    DeviceHandle createResult = 42;
    std::u16string openedName;
    std::vector<IoRequest> requests;

private:
    CallLog& m_log;
};

// vJoy's driver as the feeder sees it; the fake library answers from it.
struct FakeVJoyDriver {
    VJoyLoadFailure loadFailure = VJoyLoadFailure::NotInstalled;  // vJoy absent unless a test installs it
    bool enabled = true;
    VJoyDeviceStatus status = VJoyDeviceStatus::Free;
    int32_t buttons = 8;
    bool acquireResult = true;
};

class FakeVJoyFeeder : public IVJoyFeeder {
public:
    FakeVJoyFeeder(CallLog& log, const FakeVJoyDriver& driver) : m_log(log), m_driver(driver) {}
    ~FakeVJoyFeeder() override { m_log.push_back("unload vJoy"); }
    bool VJoyEnabled() override { m_log.push_back("vJoyEnabled"); return m_driver.enabled; }
    VJoyDeviceStatus GetVJDStatus(uint32_t device) override
    {
        m_log.push_back("GetVJDStatus " + std::to_string(device));
        return m_driver.status;
    }
    int32_t GetVJDButtonNumber(uint32_t device) override
    {
        m_log.push_back("GetVJDButtonNumber " + std::to_string(device));
        return m_driver.buttons;
    }
    bool AcquireVJD(uint32_t device) override
    {
        m_log.push_back("AcquireVJD " + std::to_string(device));
        return m_driver.acquireResult;
    }
    void RelinquishVJD(uint32_t device) override
    {
        m_log.push_back("RelinquishVJD " + std::to_string(device));
    }
    bool SetBtn(bool pressed, uint32_t device, uint8_t button) override
    {
        m_log.push_back("SetBtn " + std::to_string(pressed) + " device " + std::to_string(device) +
                        " button " + std::to_string(button));
        return true;
    }

private:
    CallLog& m_log;
    const FakeVJoyDriver& m_driver;
};

class FakeVJoyLibrary : public IVJoyLibrary {
public:
    explicit FakeVJoyLibrary(CallLog& log) : m_log(log) {}
    VJoyLoadResult LoadFeeder() override
    {
        m_log.push_back("load vJoy");
        if (driver.loadFailure != VJoyLoadFailure::None)
            return {nullptr, driver.loadFailure};
        return {std::make_unique<FakeVJoyFeeder>(m_log, driver), VJoyLoadFailure::None};
    }
    FakeVJoyDriver driver;

private:
    CallLog& m_log;
};

}  // namespace brelkin::test
