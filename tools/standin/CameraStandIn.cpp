// One stand-in camera library: compiled once as emDLL.dll (CEM2800Prop) and
// once with STANDIN_CLASS_BDA as BDADLL.dll (CBDA2800). The .def files give
// the MSVC-decorated member names; on x86 the members are true thiscall
// functions (this in ECX, callee pops), as MSVC would build them.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "tools/CameraStandInState.h"

#if defined(__i386__)
#define STANDIN_MEMBER __attribute__((thiscall))
#else
#define STANDIN_MEMBER
#endif

using namespace brelkin::standin;

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr uint32_t ObjectMagic = 0x43414D31;

// Must fit the vendor classes' x86 sizes (36 and 44 bytes), since the
// program allocates only that much there.
struct StandInObject {
    uint32_t magic;
    int32_t open;
};
static_assert(sizeof(StandInObject) <= 36, "larger than the vendor class");

StandInBlock<StandInState> g_block{StateBlockName, ResetStandInState};

StandInState& Block()
{
    return g_block.Get();
}

ClassState& Class()
{
#if defined(STANDIN_CLASS_BDA)
    return g_block.Get().bda;
#else
    return g_block.Get().wdm;
#endif
}

StandInObject* Checked(void* self, ClassState& s)
{
    auto* object = static_cast<StandInObject*>(self);
    if (!object || object->magic != ObjectMagic) {
        InterlockedIncrement(&s.calls.misuse);
        return nullptr;
    }
    return object;
}

// A switched-on fault: an access violation, or a call that does not return
// until the block's release count changes.
void FaultIf(volatile LONG& fault)
{
    const LONG kind = fault;
    if (kind == FaultNone)
        return;
    if ((kind == FaultCrashOnce || kind == FaultHangOnce) &&
        InterlockedCompareExchange(&fault, FaultNone, kind) != kind)
        return;  // another call took it
    StandInState& block = Block();
    InterlockedIncrement(&block.faultsFired);
    if (kind == FaultCrashOnce || kind == FaultCrashAlways) {
        // Through a volatile so that the compiler keeps a plain write to an
        // unmapped page rather than a trap instruction.
        volatile uintptr_t address = 0x10;
        *reinterpret_cast<volatile LONG*>(address) = 1;
        return;
    }
    const LONG release = block.hangRelease;
    while (block.hangRelease == release)
        Sleep(10);
}

// The button by message: a window of the thread that constructed the object,
// fed by a thread of the library that posts what the block says.
constexpr UINT ButtonMessage = WM_APP + 7;
HWND g_window = nullptr;
HANDLE g_poster = nullptr;
volatile LONG g_posterStop = 0;
volatile LONG g_postedDown = 0;

LRESULT CALLBACK ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ButtonMessage) {
        StandInState& block = Block();
        if (InterlockedCompareExchange(&block.blockInMessage, 0, 1) == 1) {
            InterlockedIncrement(&block.faultsFired);
            const LONG release = block.hangRelease;
            while (block.hangRelease == release)
                Sleep(10);
        }
        InterlockedExchange(&g_postedDown, static_cast<LONG>(wParam));
        InterlockedIncrement(&Block().buttonMessagesTaken);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI PostButton(void* window)
{
    while (!g_posterStop) {
        PostMessageW(static_cast<HWND>(window), ButtonMessage, Class().buttonPressed ? 1 : 0, 0);
        Sleep(10);
    }
    return 0;
}

void StartButtonMessages()
{
    if (g_window)
        return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ButtonWindowProc;
    wc.hInstance = reinterpret_cast<HINSTANCE>(&__ImageBase);
    wc.lpszClassName = L"BrelkinStandInButton";
    RegisterClassW(&wc);
    g_window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    g_posterStop = 0;
    g_postedDown = 0;
    if (g_window)
        g_poster = CreateThread(nullptr, 0, PostButton, g_window, 0, nullptr);
}

void StopButtonMessages()
{
    if (g_poster) {
        InterlockedExchange(&g_posterStop, 1);
        WaitForSingleObject(g_poster, 2000);
        CloseHandle(g_poster);
        g_poster = nullptr;
    }
    if (g_window)
        DestroyWindow(g_window);
    g_window = nullptr;
}

// The companion beside this library, by name, as a library's own
// LoadLibrary or delay-load finds it; the exception a failed delay-load
// raises where it is not.
void LoadCompanion()
{
    HMODULE companion = LoadLibraryW(L"BrelkinStandInCompanion.dll");
    using Answer = LONG (*)();
    auto answer = companion ? reinterpret_cast<Answer>(reinterpret_cast<void*>(
                                  GetProcAddress(companion, "StandInCompanionAnswer")))
                            : nullptr;
    if (!answer)
        RaiseException(0xC06D007E, 0, 0, nullptr);  // VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND)
    if (answer() == 42)
        InterlockedIncrement(&Block().companionCalls);
}

// The library's configuration beside the program that loaded it.
void ReadBesideProgram()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash || (slash + 1 - path) + lstrlenW(BesideProgramFile) >= MAX_PATH)
        return;
    lstrcpyW(slash + 1, BesideProgramFile);
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(file);
    InterlockedIncrement(&Block().besideProgramFound);
}

// A process that inherits every inheritable handle of the calling process
// and lives on: this library's linger entry, run by rundll32.
void StartChild(LONG livesMs)
{
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    wchar_t command[MAX_PATH + 64];
    wsprintfW(command, L"rundll32.exe \"%s\",StandInLinger %ld", self, livesMs);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &pi)) {
        InterlockedExchange(&Block().childProcessId, static_cast<LONG>(pi.dwProcessId));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

}  // namespace

extern "C" {

void CALLBACK StandInLinger(HWND, HINSTANCE, LPSTR arguments, int)
{
    Sleep(static_cast<DWORD>(atol(arguments)));
}

void* STANDIN_MEMBER StandInConstruct(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.constructed);
    StandInState& block = Block();
    FaultIf(block.faultConstructor);
    if (const LONG ms = block.constructorMs; ms > 0)
        Sleep(static_cast<DWORD>(ms));
    if (block.loadCompanion)
        LoadCompanion();
    if (block.buttonByMessage)
        StartButtonMessages();
    if (const LONG ms = block.childLivesMs; ms > 0)
        StartChild(ms);
    if (block.readBesideProgram)
        ReadBesideProgram();
    auto* object = static_cast<StandInObject*>(self);
    object->magic = ObjectMagic;
    object->open = 0;
    return self;  // MSVC constructors return this
}

void STANDIN_MEMBER StandInDestruct(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.destroyed);
    StopButtonMessages();
    if (StandInObject* object = Checked(self, s))
        object->magic = 0;
}

uintptr_t STANDIN_MEMBER StandInOpenInterface(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.opened);
    StandInState& block = Block();
    FaultIf(block.faultOpen);
    if (InterlockedCompareExchange(&block.openMessageBox, 0, 1) == 1) {
        InterlockedIncrement(&block.messageBoxesShown);
        MessageBoxW(nullptr, L"The camera was not found.", MessageBoxTitle, MB_OK | MB_ICONWARNING);
    }
    StandInObject* object = Checked(self, s);
    if (!object)
        return 0;
    const LONG result = s.cameraPresent ? s.openResult : 0;
    object->open = result != 0;
    return static_cast<uintptr_t>(static_cast<ULONG>(result));
}

void STANDIN_MEMBER StandInCloseInterface(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.closed);
    if (const LONG ms = Block().closeMs; ms > 0)
        Sleep(static_cast<DWORD>(ms));
    if (StandInObject* object = Checked(self, s))
        object->open = 0;
}

#if defined(STANDIN_CLASS_BDA)
// Declared as returning bool in the BDA stand-in's decoration: only AL counts,
// and the rest of the register is deliberately left dirty, as a real bool
// return may leave it.
uint32_t STANDIN_MEMBER StandInIsInterfaceValid(void* self)
#else
int32_t STANDIN_MEMBER StandInIsInterfaceValid(void* self)
#endif
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.valid);
    StandInObject* object = Checked(self, s);
    const bool valid = object && object->open && s.cameraPresent && s.interfaceValid;
#if defined(STANDIN_CLASS_BDA)
    return 0xABCD0000u | (valid ? 1u : 0u);
#else
    return valid ? 1 : 0;
#endif
}

int32_t STANDIN_MEMBER StandInGetPIO(void* self, uint32_t* portValue)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.getPio);
    if (!Checked(self, s) || !portValue || !s.cameraPresent)
        return 1;
    *portValue = static_cast<uint32_t>(s.portValue);
    return 0;
}

int32_t STANDIN_MEMBER StandInIsButtonPressed(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.pressed);
    StandInState& block = Block();
    FaultIf(block.faultPressed);
    if (const LONG busyMs = block.pressedCallMs; busyMs > 0) {
        // Spins rather than sleeps: the cost lands on the caller's processor
        // time, where the bench reads it.
        const LONGLONG until = StandInNow() + busyMs * StandInCountsPerMs();
        while (StandInNow() < until) {
        }
    }
    const bool down = (g_window ? g_postedDown != 0 : s.buttonPressed) || InTimedPress(block);
    return Checked(self, s) && s.cameraPresent && down ? 1 : 0;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        g_block.Release();
    return TRUE;
}
