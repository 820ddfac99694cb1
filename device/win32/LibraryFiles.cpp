#include "device/win32/LibraryFiles.h"

namespace brelkin {

std::u16string U16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string SystemErrorText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result(text ? text : L"", n);
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\r' || result.back() == L'\n' || result.back() == L' '))
        result.pop_back();
    return U16(result);
}

unsigned PeFileBits(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    auto readAt = [file](LONG offset, void* out, DWORD size) {
        DWORD got = 0;
        return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ReadFile(file, out, size, &got, nullptr) && got == size;
    };
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    const bool ok = readAt(0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                    dos.e_lfanew > 0 && readAt(dos.e_lfanew, &signature, sizeof signature) &&
                    signature == IMAGE_NT_SIGNATURE &&
                    readAt(dos.e_lfanew + static_cast<LONG>(sizeof signature), &header, sizeof header);
    CloseHandle(file);
    if (!ok)
        return 0;
    switch (header.Machine) {
    case IMAGE_FILE_MACHINE_I386:
    case IMAGE_FILE_MACHINE_ARMNT:
        return 32;
    case IMAGE_FILE_MACHINE_AMD64:
    case IMAGE_FILE_MACHINE_ARM64:
    case IMAGE_FILE_MACHINE_IA64:
        return 64;
    default:
        return 0;
    }
}

}  // namespace brelkin
