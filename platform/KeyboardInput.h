#pragma once
// Input synthesis as the trigger engine needs it: one keyboard record per
// injection call, the message extra information, and a blocking sleep.
#include <cstdint>

namespace brelkin {

// The keyboard part of one INPUT record of type INPUT_KEYBOARD.
struct KeyEvent {
    uint16_t vk = 0;
    uint16_t scan = 0;
    uint32_t flags = 0;  // 0 press, KeyEventKeyUp release; nothing else is ever set
    uint32_t time = 0;
    uintptr_t extraInfo = 0;
};

constexpr uint32_t KeyEventKeyUp = 0x0002;  // KEYEVENTF_KEYUP

class IKeyboardInput {
public:
    virtual ~IKeyboardInput() = default;
    virtual uintptr_t GetMessageExtraInfo() = 0;
    // One SendInput call with a count of 1. Returns the number of events inserted
    // (callers never look at it).
    virtual unsigned SendKeyEvent(const KeyEvent& event) = 0;
};

class ISleeper {
public:
    virtual ~ISleeper() = default;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace brelkin
