// The registry listing over a key deleted while it is open, and over a name
// that needs a bigger buffer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/RegistryProfile.h"

namespace brelkin {
namespace {

TEST(RegistryListing, AKeyDeletedWhileOpenEndsTheListingAndMoreDataGrowsTheBuffer) {
    const wchar_t* const path = L"Software\\BrelkinListingTest";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring longName(1000, L'n');
    const DWORD one = 1;
    RegSetValueExW(key, longName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    std::vector<DWORD> rooms;
    auto enumerate = [&](DWORD index, wchar_t* name, DWORD* length) {
        rooms.push_back(*length);
        return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    };
    const std::vector<std::u16string> names = ListRegistryNames(enumerate, 100);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].size(), longName.size());
    EXPECT_GT(rooms.size(), 2u) << "ERROR_MORE_DATA asked the same index again with more room";

    // Before, every index answered ERROR_KEY_DELETED and the listing went on.
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    rooms.clear();
    EXPECT_TRUE(ListRegistryNames(enumerate, 100000).empty());
    EXPECT_EQ(rooms.size(), 1u);
    RegCloseKey(key);

    // Even at the longest name, more data ends the listing instead of looping.
    int calls = 0;
    EXPECT_TRUE(ListRegistryNames([&](DWORD, wchar_t*, DWORD*) { return ++calls, LSTATUS(ERROR_MORE_DATA); }, 9)
                    .empty());
    EXPECT_EQ(calls, 4);
}

}  // namespace
}  // namespace brelkin
