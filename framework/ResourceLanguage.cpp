#include "framework/ResourceLanguage.h"

namespace {

constexpr LANGID English = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
LANGID g_language = English;

}  // namespace

void SetResourceLanguage(LANGID language) {
    g_language = language;
}

LANGID ResourceLanguage() {
    return g_language;
}

HRSRC FindResourceInLanguage(HMODULE module, LPCWSTR type, LPCWSTR name) {
    if (HRSRC found = ::FindResourceExW(module, type, name, g_language)) return found;
    if (HRSRC found = ::FindResourceExW(module, type, name, English)) return found;
    return ::FindResourceW(module, name, type);
}

const void* LoadResourceInLanguage(HMODULE module, LPCWSTR type, LPCWSTR name) {
    HRSRC found = FindResourceInLanguage(module, type, name);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    return loaded ? ::LockResource(loaded) : nullptr;
}

HMENU LoadMenuInLanguage(HMODULE module, UINT id) {
    const void* menu = LoadResourceInLanguage(module, RT_MENU, MAKEINTRESOURCEW(id));
    return menu ? ::LoadMenuIndirectW(menu) : nullptr;
}

std::wstring LoadStringInLanguage(HMODULE module, UINT id) {
    // Strings come in blocks of sixteen, each a count of UTF-16 units and the units.
    HRSRC found = nullptr;
    const auto block = MAKEINTRESOURCEW(id / 16 + 1);
    for (LANGID language : {g_language, English}) {
        found = ::FindResourceExW(module, RT_STRING, block, language);
        if (!found) continue;
        HGLOBAL loaded = ::LoadResource(module, found);
        const auto* units = static_cast<const WCHAR*>(loaded ? ::LockResource(loaded) : nullptr);
        const DWORD size = ::SizeofResource(module, found) / sizeof(WCHAR);
        if (!units) continue;
        DWORD at = 0;
        for (UINT index = 0; index < id % 16 && at < size; ++index) at += 1 + units[at];
        if (at < size && units[at] > 0 && at + units[at] < size) return std::wstring(units + at + 1, units[at]);
    }
    return {};
}
