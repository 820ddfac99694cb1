#pragma once
// The file helpers that the camera library binding and the camera host's
// starter share: where this program lives, whether a file is there, which
// bitness a program file has, and what the system calls an error.
#include <windows.h>

#include <string>

namespace brelkin {

std::u16string U16(const std::wstring& text);
// The folder of this program's own file; empty when it cannot be read.
std::wstring ProgramFolder();
bool IsFile(const std::wstring& path);
// The system's text for an error code, without the trailing line break.
std::u16string SystemErrorText(DWORD code);

// 32 or 64 from the machine field of a program file's PE header; 0 when the
// file cannot be read or is no PE file.
unsigned PeFileBits(const wchar_t* path);

}  // namespace brelkin
