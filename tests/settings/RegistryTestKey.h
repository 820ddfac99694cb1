#pragma once
// The registry tests' private key under HKEY_CURRENT_USER and the raw reads
// and writes that check what the settings store really stored.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/RegistryProfile.h"
#include "settings/AppSettings.h"
#include "settings/LayeredProfile.h"
#include "settings/ProgramSettings.h"
#include "tests/settings/FakeProfile.h"

namespace brelkin {
namespace test {

inline const wchar_t* const TestRoot = L"Software\\BrelkinSettingsTest";
inline const wchar_t* const TestSection = L"Software\\BrelkinSettingsTest\\Tolvacore\\Settings";

struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

inline RawValue ReadRaw(const wchar_t* path, const wchar_t* name) {
    RawValue v;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return v;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        v.bytes.resize(size);
        v.present = RegQueryValueExW(key, name, nullptr, &v.type, v.bytes.data(), &size) == ERROR_SUCCESS;
        v.bytes.resize(size);
    }
    RegCloseKey(key);
    return v;
}

inline void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, TestSection, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

inline bool KeyExists(const wchar_t* path, DWORD* values = nullptr, DWORD* subkeys = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return true;
}

inline void DeleteTree(const wchar_t* path) {
    RegDeleteTreeW(HKEY_CURRENT_USER, path);
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
}

class RegistryProfileTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(TestRoot); }
    void TearDown() override { DeleteTree(TestRoot); }

    RegistryProfile profile{u"BrelkinSettingsTest", u"Tolvacore"};
};

}  // namespace test
}  // namespace brelkin
