// libFuzzer entry: arbitrary key codes and masks through the key chord names.
#include <cstdio>
#include <cstdlib>

#include "bench/fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string fault = brelkin::fuzz::CheckKeyChordNames(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "key chord: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
