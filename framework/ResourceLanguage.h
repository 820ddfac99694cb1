#pragma once
// The language of the resources the framework loads. The menu, the dialog
// templates and the strings are looked up for one explicit language, and in
// English (United States) where that language has none: FindResource's own
// choice of language differs between Windows versions and Wine, and follows
// the thread's UI language rather than the one the user chose for Brelkin.
#include <windows.h>

#include <string>

// Set once at start-up, before the first window.
void SetResourceLanguage(LANGID language);
LANGID ResourceLanguage();

// The resource in the chosen language, else in English, else in whatever
// language the module has it; null where it has none.
HRSRC FindResourceInLanguage(HMODULE module, LPCWSTR type, LPCWSTR name);
const void* LoadResourceInLanguage(HMODULE module, LPCWSTR type, LPCWSTR name);

// Null when the module has no such menu.
HMENU LoadMenuInLanguage(HMODULE module, UINT id);
// Empty when the module has no such string.
std::wstring LoadStringInLanguage(HMODULE module, UINT id);
