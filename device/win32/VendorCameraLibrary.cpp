#include "device/win32/VendorCameraLibrary.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "device/win32/Win32DevicePlatform.h"

// The members are ordinary non-virtual C++ members compiled by MSVC: thiscall
// (this in ECX, callee pops) on x86, the one x64 convention with this first
// on x64.
#if defined(_M_IX86) || defined(__i386__)
#if defined(_MSC_VER)
#define BRELKIN_MEMBER_CALL __thiscall
#else
#define BRELKIN_MEMBER_CALL __attribute__((thiscall))
#endif
#else
#define BRELKIN_MEMBER_CALL
#endif

namespace brelkin {

namespace {

// Every result is taken as the whole register and cut to the declared width.
using NoArgMember = uintptr_t(BRELKIN_MEMBER_CALL*)(void* self);
using VoidMember = void(BRELKIN_MEMBER_CALL*)(void* self);
using GetPioMember = uintptr_t(BRELKIN_MEMBER_CALL*)(void* self, void* portValue);

struct ClassInfo {
    const wchar_t* library;
    const char* className;
    size_t x86Size;  // from the vendor's class declarations
};

const ClassInfo& Info(CameraClass cameraClass)
{
    static const ClassInfo wdm{L"emDLL.dll", "CEM2800Prop", 36};
    static const ClassInfo bda{L"BDADLL.dll", "CBDA2800", 44};
    return cameraClass == CameraClass::Wdm ? wdm : bda;
}

}  // namespace

const wchar_t* CameraLibraryFile(CameraClass cameraClass)
{
    return Info(cameraClass).library;
}

namespace {

size_t ObjectSize(const ClassInfo& info)
{
#if defined(_M_IX86) || defined(__i386__)
    return info.x86Size;
#else
    // No x64 build of the vendor classes is known, so their size is not
    // either. Their x86 layout doubled with every member a pointer would
    // still be under 100 bytes; a zeroed 4 KiB block leaves a wide margin
    // for an object we cannot measure, at no cost for two objects.
    (void)info;
    return 4096;
#endif
}

const char* MemberName(ClassMember member)
{
    switch (member) {
    case ClassMember::Constructor: return "its constructor";
    case ClassMember::Destructor: return "its destructor";
    case ClassMember::OpenInterface: return "OpenInterface";
    case ClassMember::CloseInterface: return "CloseInterface";
    case ClassMember::IsInterfaceValid: return "IsInterfaceValid";
    case ClassMember::GetPIO: return "GetPIO";
    case ClassMember::IsButtonPressed: return "IsButtonPressed";
    }
    return "?";
}

// The folder the loader really reads for this program's bitness: an x86
// program on 64-bit Windows is sent from System32 to SysWOW64.
std::wstring SystemFolder()
{
    wchar_t path[MAX_PATH];
    BOOL wow64 = FALSE;
    if (sizeof(void*) == 4 && IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        const UINT n = GetSystemWow64DirectoryW(path, MAX_PATH);
        if (n != 0 && n < MAX_PATH)
            return std::wstring(path, n);
    }
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::wstring() : std::wstring(path, n);
}

// Why a library that is there did not load: the other bitness, no program
// library at all, or the loader's own reason.
void DiagnoseRefusedLoad(LibraryLoadReport& report, DWORD error)
{
    const std::wstring path(report.path.begin(), report.path.end());
    report.errorCode = error;
    report.errorText = SystemErrorText(error);
    report.libraryBits = PeFileBits(path.c_str());
    if (report.libraryBits == 0)
        report.status = LibraryLoadStatus::NotCameraLibrary;
    else if (report.libraryBits != report.programBits)
        report.status = LibraryLoadStatus::WrongBitness;
    else
        report.status = LibraryLoadStatus::LoadFailed;
}

uintptr_t Cut(uintptr_t value, unsigned bytes)
{
    if (bytes == 0 || bytes >= sizeof(uintptr_t))
        return value;
    return value & ((uintptr_t{1} << (8 * bytes)) - 1);
}

class VendorCameraObject : public ICameraObject {
    // Defined first: their deduced return types are needed below.
    template <typename Fn>
    auto Call(ClassMember member)
    {
        return ProcAs<Fn>((*m_bound)[member].address)(m_object);
    }

    uintptr_t Result(ClassMember member)
    {
        return Cut(Call<NoArgMember>(member), (*m_bound)[member].returnBytes);
    }

public:
    explicit VendorCameraObject(std::shared_ptr<const BoundCameraClass> bound)
        : m_bound(std::move(bound)), m_object(std::calloc(1, m_bound->objectSize))
    {
        if (!m_object)
            throw std::bad_alloc();  // out of memory for the whole program
        Call<NoArgMember>(ClassMember::Constructor);
    }

    ~VendorCameraObject() override
    {
        Call<VoidMember>(ClassMember::Destructor);
        std::free(m_object);
    }

    uintptr_t OpenInterface() override { return Result(ClassMember::OpenInterface); }
    void CloseInterface() override { Call<VoidMember>(ClassMember::CloseInterface); }
    int32_t IsInterfaceValid() override { return Result(ClassMember::IsInterfaceValid) != 0; }
    int32_t IsButtonPressed() override { return Result(ClassMember::IsButtonPressed) != 0; }

    int32_t GetPIO(uint32_t* portValue) override
    {
        // Room for a 64-bit value, in case the vendor's parameter is a
        // ULONG_PTR rather than an unsigned long: the port bits are the low
        // 32 either way, and nothing beyond our variable gets written.
        uint64_t wide = 0;
        const auto& entry = (*m_bound)[ClassMember::GetPIO];
        const uintptr_t result = Cut(
            ProcAs<GetPioMember>(entry.address)(m_object, &wide), entry.returnBytes);
        if (result == 0 && portValue)
            *portValue = static_cast<uint32_t>(wide);
        return result == 0 ? 0 : 1;
    }

private:
    std::shared_ptr<const BoundCameraClass> m_bound;  // outlives the object's memory
    void* m_object;
};

}  // namespace

BoundCameraClass::~BoundCameraClass()
{
    if (module)
        FreeLibrary(module);
}

bool FindClassMembers(HMODULE module, const char* className, BoundCameraClass& bound)
{
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_EXPORT)
        return false;
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0)
        return false;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);

    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        const char* name = reinterpret_cast<const char*>(base + names[i]);
        for (ClassMember member : AllClassMembers) {
            auto& entry = bound.members[static_cast<size_t>(member)];
            if (entry.address)
                continue;  // the first overload found is kept
            if (auto match = MatchClassMember(name, className, member)) {
                // GetProcAddress also follows a forwarded export.
                entry.address = GetProcAddress(module, name);
                entry.returnBytes = match->returnBytes;
            }
        }
    }
    for (const auto& entry : bound.members)
        if (!entry.address)
            return false;
    return true;
}

std::shared_ptr<const BoundCameraClass> VendorCameraLibrary::Bind(CameraClass cameraClass,
                                                                  LibraryLoadReport& report)
{
    auto& cached = cameraClass == CameraClass::Wdm ? m_wdm : m_bda;
    const ClassInfo& info = Info(cameraClass);
    report = LibraryLoadReport{};
    report.library = U16(info.library);
    report.programBits = sizeof(void*) * 8;
    if (cached) {
        report.path = (cameraClass == CameraClass::Wdm ? m_wdmReport : m_bdaReport).path;
        report.libraryBits = report.programBits;
        return cached;
    }
    report.attempted = true;
    const std::wstring programFolder = m_programFolder.empty() ? ProgramFolder() : m_programFolder;
    const std::wstring systemFolder = SystemFolder();
    report.programFolder = U16(programFolder);
    report.systemFolder = U16(systemFolder);
    // Never the current directory or PATH: a library planted there would
    // run inside the program. Where the loader does not know these flags
    // (Windows 7 without KB2533623) the load fails, which is a failed open.
    HMODULE module = nullptr;
    if (m_programFolder.empty()) {
        module = LoadLibraryExW(info.library, nullptr,
                                LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    } else {
        // The given folder by full path, its own dependencies beside it or
        // in the system folder; then the system folder alone.
        // Without the search flags (Windows 7 without KB2533623) the camera
        // host has put the folder in the current folder's place: the full
        // path, its dependencies from beside it.
        const bool searchFlags =
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
        const std::wstring inFolder = programFolder + L"\\" + info.library;
        const std::wstring inSystem = systemFolder + L"\\" + info.library;
        if (IsFile(inFolder))
            module = LoadLibraryExW(inFolder.c_str(), nullptr,
                                    searchFlags ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                                : LOAD_WITH_ALTERED_SEARCH_PATH);
        else if (searchFlags)
            module = LoadLibraryExW(info.library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        else if (!systemFolder.empty())
            module = LoadLibraryExW(inSystem.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (!module) {
        const DWORD error = GetLastError();
        // The same two places in the loader's order.
        for (const std::wstring& folder : {programFolder, systemFolder}) {
            const std::wstring candidate = folder + L"\\" + info.library;
            if (!folder.empty() && IsFile(candidate)) {
                report.path = U16(candidate);
                DiagnoseRefusedLoad(report, error);
                return nullptr;
            }
        }
        report.status = LibraryLoadStatus::Missing;
        report.errorCode = error;
        report.errorText = SystemErrorText(error);
        return nullptr;
    }
    // Only a library of the program's own bitness loads.
    report.libraryBits = report.programBits;
    wchar_t loaded[MAX_PATH];
    const DWORD n = GetModuleFileNameW(module, loaded, MAX_PATH);
    report.path = U16(std::wstring(loaded, n < MAX_PATH ? n : 0));
    auto bound = std::make_shared<BoundCameraClass>();
    bound->module = module;  // freed with it, also when incomplete
    bound->objectSize = ObjectSize(info);
    if (!FindClassMembers(module, info.className, *bound)) {
        bool anyFound = false;
        for (const auto& entry : bound->members)
            anyFound = anyFound || entry.address != nullptr;
        report.status = anyFound ? LibraryLoadStatus::MemberMissing : LibraryLoadStatus::NotCameraLibrary;
        for (ClassMember member : AllClassMembers) {
            if (anyFound && !(*bound)[member].address) {
                report.member = MemberName(member);
                break;
            }
        }
        return nullptr;
    }
    cached = bound;
    return cached;
}

std::unique_ptr<ICameraObject> VendorCameraLibrary::CreateCameraObject(CameraClass cameraClass)
{
    LibraryLoadReport& report = cameraClass == CameraClass::Wdm ? m_wdmReport : m_bdaReport;
    LibraryLoadReport fresh;
    auto bound = Bind(cameraClass, fresh);
    report = std::move(fresh);
    if (!bound)
        return nullptr;
    return std::make_unique<VendorCameraObject>(std::move(bound));
}

LibraryLoadReport VendorCameraLibrary::LastLoad(CameraClass cameraClass) const
{
    return cameraClass == CameraClass::Wdm ? m_wdmReport : m_bdaReport;
}

}  // namespace brelkin
