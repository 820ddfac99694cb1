// libFuzzer entry: settings images through the load and save of the settings store.
#include <cstdio>
#include <cstdlib>

#include "bench/fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string fault = brelkin::fuzz::CheckSettingsImage(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "settings image: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
