#include "platform/win32/SupportLogFile.h"

#include <shlobj.h>

#include <cstdio>

namespace brelkin {

std::wstring SupportLogPath() {
    // The variable first: it is what the user and support see, and tests
    // point it at a folder of their own.
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
            return {};
    }
    std::wstring path = folder;
    path += L"\\Brelkin";
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path + L"\\Brelkin.log";
}

uint64_t SupportLogFile::Size() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool SupportLogFile::Append(std::string_view bytes) {
    if (m_path.empty()) return false;
    // Shared for reading, writing and deleting: an editor that has the log
    // open must not stop the program, nor the program the editor.
    HANDLE file = ::CreateFileW(m_path.c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

bool SupportLogFile::Rotate() {
    if (m_path.empty()) return false;
    const std::wstring older = m_path + L".1";
    return ::MoveFileExW(m_path.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool SupportLogFile::Truncate() {
    if (m_path.empty()) return false;
    // The same sharing as Append: an editor that reads the log keeps it open.
    HANDLE file = ::CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return true;
    }
    return ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::string SupportLogFile::Timestamp() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

}  // namespace brelkin
