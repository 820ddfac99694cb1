#pragma once
// Input that goes nowhere, so that a bench times the poll and not the system's
// input queue.
#include "platform/KeyboardInput.h"

namespace brelkin {

class NullInput final : public IKeyboardInput, public ISleeper {
public:
    uintptr_t GetMessageExtraInfo() override { return 0; }
    uint16_t ScanCode(uint16_t) override { return 0; }
    unsigned SendKeyEvent(const KeyEvent&) override { return ++events; }
    void Sleep(uint32_t) override {}
    unsigned events = 0;
};

}  // namespace brelkin
