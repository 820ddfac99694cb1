// The support log's real files (under Wine here): Brelkin.log.1 held open by a
// program that does not share deleting, as an editor does.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32/SupportLogFile.h"
#include "support/RotatingSupportLog.h"

namespace brelkin {
namespace {

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Contents(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text(64 * 1024, '\0');
    DWORD read = 0;
    ::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    ::CloseHandle(file);
    text.resize(read);
    return text;
}

TEST(SupportLogFile, ARotationThatFailsEmptiesTheLogInsteadOfLettingItGrow) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"BrelkinLogTest.log";
    ::DeleteFileW(path.c_str());
    ::DeleteFileW((path + L".1").c_str());
    SupportLogFile file(path);
    constexpr uint64_t cap = 4096;
    RotatingSupportLog log(file, cap);

    for (int i = 0; i < 100; ++i) log.Write("a line of about fifty bytes for the cap " + std::to_string(i));
    ASSERT_GT(FileSize(path + L".1"), 0u) << "the rotation works while nothing holds the older file";

    // Read and write shared, deleting not: replacing Brelkin.log.1 fails.
    HANDLE held = ::CreateFileW((path + L".1").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file.Rotate());
    uint64_t largest = 0;
    for (int i = 0; i < 300; ++i) {
        log.Write("held " + std::to_string(i));
        largest = std::max(largest, FileSize(path));
    }
    ::CloseHandle(held);
    EXPECT_LE(largest, cap);
    const std::string text = Contents(path);
    EXPECT_NE(text.find("so this file was emptied instead"), std::string::npos);
    EXPECT_NE(text.find("held 299\r\n"), std::string::npos) << "the newest line is kept";
    ::DeleteFileW(path.c_str());
    ::DeleteFileW((path + L".1").c_str());
}

}  // namespace
}  // namespace brelkin
