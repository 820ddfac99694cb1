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
};

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
