#pragma once
// Portable code holds text as char16_t; the Win32 calls take wchar_t, which is
// the same 16-bit unit on Windows.
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16 on Windows");

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string ToU16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}
