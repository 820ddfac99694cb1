#pragma once
// The state of the stand-in camera libraries, in a named shared-memory block
// of the user's session. The stand-in emDLL.dll and BDADLL.dll answer from it
// and count every call in it; the Camera Simulator and the tests set it.
#include <windows.h>

#include <cstdint>

#include "tools/SharedStateBlock.h"

namespace brelkin::standin {

constexpr wchar_t StateBlockName[] = L"Local\\BrelkinCameraStandIn";

struct ClassCounters {
    LONG constructed;
    LONG destroyed;
    LONG opened;   // OpenInterface calls, failed ones included
    LONG closed;
    LONG valid;    // IsInterfaceValid calls
    LONG getPio;
    LONG pressed;  // IsButtonPressed calls
    LONG misuse;   // calls on memory that the constructor did not set up
};

struct ClassState {
    volatile LONG cameraPresent;   // 0: OpenInterface fails, GetPIO fails
    volatile LONG openResult;      // what OpenInterface returns while present; 0 = failure
    volatile LONG interfaceValid;  // IsInterfaceValid of an open object
    volatile LONG portValue;       // what GetPIO reports (bit 0 set: busy)
    volatile LONG buttonPressed;
    ClassCounters calls;
};

struct StandInState {
    volatile LONG ready;  // 0 new, 1 being set up, 2 ready
    ClassState wdm;       // emDLL.dll, CEM2800Prop
    ClassState bda;       // BDADLL.dll, CBDA2800
    // IsButtonPressed of both classes keeps the processor busy this long
    // before it answers: a library that costs a USB round trip a call.
    volatile LONG pressedCallMs;
    // A timed press of both classes, in performance-counter counts: the
    // button also reads down from pressFrom until before pressUntil. Set
    // with SetTimedPress, so that no reader sees half of a new window.
    volatile LONGLONG pressFrom;
    volatile LONGLONG pressUntil;
    // What the constructor, OpenInterface and IsButtonPressed of both classes
    // do instead of their work (a StandInFault), for the camera host's faults.
    volatile LONG faultConstructor;
    volatile LONG faultOpen;
    volatile LONG faultPressed;
    volatile LONG faultsFired;  // how many calls crashed or began to hang
    volatile LONG hangRelease;  // a hanging call returns once this changes
    // What real vendor libraries do, switched on for both classes:
    // the constructor takes this long (a driver, a graph being built);
    volatile LONG constructorMs;
    // the constructor loads BrelkinStandInCompanion.dll by name from its own
    // folder at run time, and fails as a failed delay-load does (an
    // exception) where it is not found; the calls it answered are counted;
    volatile LONG loadCompanion;
    volatile LONG companionCalls;
    // the button reaches the library as a message that a thread of its own
    // posts to a window the constructor made on the calling thread, and
    // IsButtonPressed answers what the last message said;
    volatile LONG buttonByMessage;
    volatile LONG buttonMessagesTaken;
    // the constructor starts a process with inherited handles that lives this
    // long (a helper, a driver tool); its id is kept.
    volatile LONG childLivesMs;
    volatile LONG childProcessId;
    // the window procedure of the button's window blocks in the next button
    // message until the hangs are released (a driver call made from a
    // message), and counts it in faultsFired;
    volatile LONG blockInMessage;
    // CloseInterface takes this long (a graph torn down);
    volatile LONG closeMs;
    // the next OpenInterface shows a message box ("device not found") and
    // answers once the user closes it; the boxes shown are counted;
    volatile LONG openMessageBox;
    volatile LONG messageBoxesShown;
    // the constructor reads StandInBesideProgram.ini beside the program
    // (GetModuleFileName of the process), as a library reads its
    // configuration; the reads that found it are counted.
    volatile LONG readBesideProgram;
    volatile LONG besideProgramFound;
};

// The title of the stand-in's message box, for the test that answers it.
constexpr wchar_t MessageBoxTitle[] = L"Camera stand-in";
constexpr wchar_t BesideProgramFile[] = L"StandInBesideProgram.ini";

enum StandInFault : LONG {
    FaultNone = 0,
    FaultCrashOnce = 1,  // an access violation on the next call, then the switch is off
    FaultHangOnce = 2,   // the next call does not return until released, then off
    FaultCrashAlways = 3,
    FaultHangAlways = 4,
};

// Ends every hang now in progress.
inline void ReleaseHangs(StandInState& state)
{
    InterlockedIncrement(&state.hangRelease);
}

// The performance counter's reading, which every process of the machine shares.
inline LONGLONG StandInNow()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

inline LONGLONG StandInCountsPerMs()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart / 1000;
}

// The button reads down for `lengthMs` from `delayMs` from now.
inline void SetTimedPress(StandInState& state, LONG delayMs, LONG lengthMs)
{
    const LONGLONG from = StandInNow() + delayMs * StandInCountsPerMs();
    // The start moves first: with the old end in the past the window stays
    // empty until the new end is in place.
    InterlockedExchange64(&state.pressFrom, from);
    InterlockedExchange64(&state.pressUntil, from + lengthMs * StandInCountsPerMs());
}

inline bool InTimedPress(StandInState& state)
{
    // Whole 64-bit reads, which the x86 build would otherwise split in two.
    const LONGLONG until = InterlockedCompareExchange64(&state.pressUntil, 0, 0);
    // Without a timed press the clock is not read, so that the idle tick
    // benches time the program and not the stand-in.
    if (until == 0)
        return false;
    const LONGLONG from = InterlockedCompareExchange64(&state.pressFrom, 0, 0);
    const LONGLONG now = StandInNow();
    return now >= from && now < until;
}

// A present camera whose interface opens and is valid, button up.
inline void ResetClassState(ClassState& s)
{
    s = ClassState{};
    s.cameraPresent = 1;
    s.openResult = 1;
    s.interfaceValid = 1;
}

inline void ResetStandInState(StandInState& state)
{
    ResetClassState(state.wdm);
    ResetClassState(state.bda);
    state.pressedCallMs = 0;
    state.pressFrom = 0;
    state.pressUntil = 0;
    state.faultConstructor = FaultNone;
    state.faultOpen = FaultNone;
    state.faultPressed = FaultNone;
    state.faultsFired = 0;
    state.constructorMs = 0;
    state.loadCompanion = 0;
    state.companionCalls = 0;
    state.buttonByMessage = 0;
    state.buttonMessagesTaken = 0;
    state.childLivesMs = 0;
    state.childProcessId = 0;
    state.blockInMessage = 0;
    state.closeMs = 0;
    state.openMessageBox = 0;
    state.messageBoxesShown = 0;
    state.readBesideProgram = 0;
    state.besideProgramFound = 0;
}

// Maps the block, creating it with the defaults if this is the first user.
inline StandInState* OpenStandInState(HANDLE* mappingOut)
{
    return OpenSharedStateBlock(StateBlockName, ResetStandInState, mappingOut);
}

inline void CloseStandInState(StandInState* state, HANDLE mapping)
{
    CloseSharedStateBlock(state, mapping);
}

}  // namespace brelkin::standin
