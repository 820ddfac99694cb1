#pragma once
// Turns one key chord into synthesised keyboard input for the window that has
// the keyboard focus.
#include <cstdint>

#include "engine/ActionPreset.h"
#include "platform/KeyboardInput.h"

namespace brelkin {

// How long the key of a chord is held down.
constexpr uint32_t ChordHoldMilliseconds = 25;

// The keys whose key-down went out and whose key-up the system refused (a
// desktop switch or a UAC prompt during the hold): the system takes them as
// still held until a key-up for each gets through.
class KeysLeftDown {
public:
    bool Empty() const { return m_count == 0; }
    // The key-up of `up.vk` was refused; one entry per key. It keeps the
    // scan code and flags of its key-down for when it is sent again.
    void Add(const KeyEvent& up);
    // Sends each held key's key-up again, in the order they were refused, with
    // the message extra information read afresh, and keeps the ones refused
    // once more. True when none is left.
    bool Release(IKeyboardInput& input);

private:
    // Four modifiers and the keys of three chords, with room to spare; a key
    // beyond it is not remembered.
    static constexpr int Capacity = 16;
    KeyEvent m_ups[Capacity];
    int m_count = 0;
};

// True for the keys a real keyboard sends with the E0 prefix: Insert,
// Delete, Home, End, Page Up and Down, the arrows, Num Lock, Break, Print
// Screen, right Ctrl and Alt, the Windows and Applications keys, and the
// keypad's divide key. Their records carry KeyEventExtendedKey; without it a
// program that reads the flag takes an arrow for the keypad's.
bool IsExtendedKey(uint16_t vk);

// Presses the modifiers of `modifiers` (Shift, Ctrl, Alt, left Windows key,
// in that order), presses `key`, holds it for ChordHoldMilliseconds, releases
// it and then releases the modifiers in the order they were pressed, every
// event its own injection call and every one sent whatever the one before
// returned. Each record carries its key's scan code on the layout in front
// when the chord starts, and a key-up the scan code and flag of its key-down.
// A key whose key-down went out and whose key-up was refused joins `leftDown`. Returns
// false when the system refused any event of the chord. Key 0 is "no chord"
// and sends nothing. The caller releases `leftDown` before the chord (a
// modifier still held would turn it into another one), outside its timing.
bool SendKeyChord(IKeyboardInput& input, ISleeper& sleeper, ModifierMask modifiers, uint16_t key,
                  KeysLeftDown& leftDown);

}  // namespace brelkin
