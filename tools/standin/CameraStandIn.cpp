// One stand-in camera library: compiled once as emDLL.dll (CEM2800Prop) and
// once with STANDIN_CLASS_BDA as BDADLL.dll (CBDA2800). The .def files give
// the MSVC-decorated member names; on x86 the members are true thiscall
// functions (this in ECX, callee pops), as MSVC would build them.
#include <windows.h>

#include <cstdint>

#include "tools/CameraStandInState.h"

#if defined(__i386__)
#define STANDIN_MEMBER __attribute__((thiscall))
#else
#define STANDIN_MEMBER
#endif

using namespace brelkin::standin;

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

}  // namespace

extern "C" {

void* STANDIN_MEMBER StandInConstruct(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.constructed);
    FaultIf(Block().faultConstructor);
    auto* object = static_cast<StandInObject*>(self);
    object->magic = ObjectMagic;
    object->open = 0;
    return self;  // MSVC constructors return this
}

void STANDIN_MEMBER StandInDestruct(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.destroyed);
    if (StandInObject* object = Checked(self, s))
        object->magic = 0;
}

uintptr_t STANDIN_MEMBER StandInOpenInterface(void* self)
{
    ClassState& s = Class();
    InterlockedIncrement(&s.calls.opened);
    FaultIf(Block().faultOpen);
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
    const bool down = s.buttonPressed || InTimedPress(block);
    return Checked(self, s) && s.cameraPresent && down ? 1 : 0;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        g_block.Release();
    return TRUE;
}
