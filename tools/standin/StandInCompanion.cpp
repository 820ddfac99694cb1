// A library's companion: a DLL the stand-in loads by name from its own folder
// at run time, as vendor libraries load their helpers and delay-loads.
#include <windows.h>

extern "C" __declspec(dllexport) LONG StandInCompanionAnswer()
{
    return 42;
}
