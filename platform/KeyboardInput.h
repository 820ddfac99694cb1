#pragma once
// Input synthesis as the trigger engine needs it: one keyboard record per
// injection call, the message extra information, and a blocking sleep.
#include <cstdint>

namespace brelkin {

// The keyboard part of one INPUT record of type INPUT_KEYBOARD.
struct KeyEvent {
    uint16_t vk = 0;
    uint16_t scan = 0;  // on the layout in front at the key-down; the key-up repeats it
    // KeyEventKeyUp on a release, KeyEventExtendedKey on the keys a real
    // keyboard sends with the E0 prefix; never KEYEVENTF_SCANCODE or
    // KEYEVENTF_UNICODE, so the virtual key stays what the receiver reads.
    uint32_t flags = 0;
    uint32_t time = 0;
    uintptr_t extraInfo = 0;
};

constexpr uint32_t KeyEventExtendedKey = 0x0001;  // KEYEVENTF_EXTENDEDKEY
constexpr uint32_t KeyEventKeyUp = 0x0002;        // KEYEVENTF_KEYUP

class IKeyboardInput {
public:
    virtual ~IKeyboardInput() = default;
    virtual uintptr_t GetMessageExtraInfo() = 0;
    // The scan code of `vk` on the keyboard layout of the thread that owns the
    // foreground window, 0 when that layout has none. Remote-desktop clients
    // forward scan codes, not virtual keys.
    virtual uint16_t ScanCode(uint16_t vk) = 0;
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
