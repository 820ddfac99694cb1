#pragma once
// vJoy's feeder library of the program's bitness, loaded at run time from
// the folder its installer recorded, never from the current folder or PATH.
#include <string>
#include <vector>

#include "platform/VJoyFeeder.h"

namespace brelkin {

class VJoyFeederLibrary : public IVJoyLibrary {
public:
    VJoyLoadResult LoadFeeder() override;
};

// The absolute paths at which the registry says vJoyInterface.dll should be,
// most specific first; empty when vJoy is not recorded as installed.
std::vector<std::wstring> VJoyLibraryCandidates();

}  // namespace brelkin
