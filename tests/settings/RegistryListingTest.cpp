// The registry listing over a scripted enumerator (every answer the registry
// can give) and over a key deleted while it is open.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/RegistryProfile.h"

namespace brelkin {
namespace {

std::string Joined(const std::vector<std::u16string>& names) {
    std::string text;
    for (const std::u16string& name : names) text += std::string(name.begin(), name.end()) + ";";
    return text;
}

TEST(RegistryListing, StopsOnEveryErrorButMoreDataWhichGrowsTheBuffer) {
    const std::wstring longName(1000, L'n');
    struct Row {
        const char* label;
        std::vector<LSTATUS> answers;  // per call; a success gives "v<index>" or the long name
        std::string names;
        int calls;
    };
    const Row rows[] = {
        {"two names, then no more items", {ERROR_SUCCESS, ERROR_SUCCESS, ERROR_NO_MORE_ITEMS}, "v0;v1;", 3},
        {"the key deleted while open", {ERROR_SUCCESS, ERROR_KEY_DELETED}, "v0;", 2},
        {"access denied at the first name", {ERROR_ACCESS_DENIED}, "", 1},
        {"an unknown error", {ERROR_SUCCESS, ERROR_INVALID_HANDLE}, "v0;", 2},
        {"more data: the same index again with more room", {ERROR_MORE_DATA, ERROR_SUCCESS, ERROR_NO_MORE_ITEMS},
         "L;", 3},
        {"more data even at the longest name: stops", std::vector<LSTATUS>(10, ERROR_MORE_DATA), "", 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        int calls = 0;
        std::vector<DWORD> indexes, rooms;
        const auto names = ListRegistryNames(
            [&](DWORD index, wchar_t* name, DWORD* length) -> LSTATUS {
                const std::size_t call = static_cast<std::size_t>(calls++);
                indexes.push_back(index);
                rooms.push_back(*length);
                // Past the script the key "ends" with an error that must stop it too.
                const LSTATUS answer = call < row.answers.size() ? row.answers[call] : ERROR_KEY_DELETED;
                if (answer != ERROR_SUCCESS) return answer;
                const std::wstring text = rooms.size() > 1 && rooms[call] > rooms[0] ? longName
                                                                                     : L"v" + std::to_wstring(index);
                if (text.size() + 1 > *length) return ERROR_MORE_DATA;
                text.copy(name, text.size());
                name[text.size()] = L'\0';
                *length = static_cast<DWORD>(text.size());
                return ERROR_SUCCESS;
            },
            100);
        std::string shown = Joined(names);
        if (!names.empty() && names[0].size() == longName.size()) shown = "L;";
        EXPECT_EQ(shown, row.names);
        EXPECT_EQ(calls, row.calls);
        if (row.answers[0] == ERROR_MORE_DATA) {
            EXPECT_EQ(indexes[1], 0u) << "the same index is asked again";
            EXPECT_GT(rooms[1], rooms[0]);
            EXPECT_LE(rooms.back(), 16384u) << "never more room than the longest registry name";
        }
    }
    int calls = 0;
    EXPECT_EQ(ListRegistryNames([&](DWORD, wchar_t* name, DWORD* length) -> LSTATUS {
                  ++calls;
                  name[0] = L'x';
                  *length = 1;
                  return ERROR_SUCCESS;
              }, 3).size(), 3u);
    EXPECT_EQ(calls, 3) << "the limit ends an endless key";
}

TEST(RegistryListing, AKeyDeletedWhileOpenEndsTheListing) {
    const wchar_t* const path = L"Software\\BrelkinListingTest";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExW(key, L"a", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    int calls = 0;
    const auto names = ListRegistryNames(
        [&](DWORD index, wchar_t* name, DWORD* length) {
            ++calls;
            return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
        },
        100000);
    RegCloseKey(key);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace brelkin
