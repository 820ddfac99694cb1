#pragma once
// Where vJoy's installer records itself in the machine-wide registry: its
// uninstall entry, in the 64-bit view on 64-bit Windows. InstallLocation is
// the folder with the x86 and x64 subfolders; installers up to 2.1 also
// record each subfolder on its own.
namespace brelkin {

constexpr wchar_t VJoyUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    L"{8E31F76F-74C3-47F1-9550-E041EEDC5FBB}_is1";
constexpr wchar_t VJoyInstallLocationValue[] = L"InstallLocation";
constexpr wchar_t VJoyFeederLibraryName[] = L"vJoyInterface.dll";

#if defined(_WIN64)
constexpr wchar_t VJoyLibraryFolderValue[] = L"DllX64Location";
constexpr wchar_t VJoyBitnessFolder[] = L"x64";
#else
constexpr wchar_t VJoyLibraryFolderValue[] = L"DllX86Location";
constexpr wchar_t VJoyBitnessFolder[] = L"x86";
#endif

}  // namespace brelkin
