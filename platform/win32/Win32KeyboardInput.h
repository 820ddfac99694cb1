#pragma once
// Input synthesis and the blocking sleep through the real Win32 calls.
#include "platform/KeyboardInput.h"

namespace brelkin {

class Win32KeyboardInput final : public IKeyboardInput, public ISleeper {
public:
    uintptr_t GetMessageExtraInfo() override;
    uint16_t ScanCode(uint16_t vk) override;
    unsigned SendKeyEvent(const KeyEvent& event) override;
    void Sleep(uint32_t milliseconds) override;
};

}  // namespace brelkin
