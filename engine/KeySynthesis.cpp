#include "engine/KeySynthesis.h"

namespace brelkin {

namespace {

struct ModifierKey {
    ModifierMask bit;
    uint16_t vk;
};

// Shift, Ctrl and Alt go out as their generic codes, which every receiver
// recognises whichever side it checks; the Windows key has no generic code,
// so it is always the left one.
constexpr ModifierKey kModifierKeys[] = {
    {ModShift, 0x10},
    {ModCtrl, 0x11},
    {ModAlt, 0x12},
    {ModWin, 0x5B},
};

// One key of a chord as its key-down went out; its key-up repeats the scan
// code and the extended flag, whatever the layout in front is by then.
struct ChordKey {
    KeyEvent down;
    bool taken = false;
};

void Release(IKeyboardInput& input, const ChordKey& key, bool& allTaken, KeysLeftDown& leftDown) {
    KeyEvent up = key.down;
    up.flags |= KeyEventKeyUp;
    if (input.SendKeyEvent(up) != 0) return;
    allTaken = false;
    if (key.taken) leftDown.Add(up);
}

}  // namespace

void KeysLeftDown::Add(const KeyEvent& up) {
    for (int i = 0; i < m_count; ++i)
        if (m_ups[i].vk == up.vk) return;
    if (m_count < Capacity) m_ups[m_count++] = up;
}

bool KeysLeftDown::Release(IKeyboardInput& input) {
    if (m_count == 0) return true;
    // Read afresh, as for a chord: the key-ups go out as input of this moment.
    const uintptr_t extraInfo = input.GetMessageExtraInfo();
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        m_ups[i].extraInfo = extraInfo;
        if (input.SendKeyEvent(m_ups[i]) == 0) m_ups[kept++] = m_ups[i];
    }
    m_count = kept;
    return m_count == 0;
}

bool IsExtendedKey(uint16_t vk) {
    switch (vk) {
    case 0x03:  // Break
    case 0x21: case 0x22: case 0x23: case 0x24:  // Page Up, Page Down, End, Home
    case 0x25: case 0x26: case 0x27: case 0x28:  // the arrows
    case 0x2C: case 0x2D: case 0x2E:  // Print Screen, Insert, Delete
    case 0x5B: case 0x5C: case 0x5D:  // the Windows keys, Applications
    case 0x6F:  // the keypad's divide
    case 0x90:  // Num Lock
    case 0xA3: case 0xA5:  // right Ctrl, right Alt
        return true;
    default:
        return false;
    }
}

bool SendKeyChord(IKeyboardInput& input, ISleeper& sleeper, ModifierMask modifiers, uint16_t key,
                  KeysLeftDown& leftDown) {
    // A zero key would press and release bare modifiers (a lone Alt opens the
    // focused window's menu), so it sends nothing at all.
    if (key == 0) return true;

    // Read once so that every event of the chord carries the same value.
    const uintptr_t extraInfo = input.GetMessageExtraInfo();

    ChordKey keys[5];
    int count = 0;
    for (const ModifierKey& modifier : kModifierKeys)
        if (modifiers & modifier.bit) keys[count++].down.vk = modifier.vk;
    keys[count++].down.vk = key;
    // Every scan code before the first key-down, so that the downs still go
    // out back to back and the whole chord reads one layout.
    for (int i = 0; i < count; ++i) {
        keys[i].down.scan = input.ScanCode(keys[i].down.vk);
        keys[i].down.flags = IsExtendedKey(keys[i].down.vk) ? KeyEventExtendedKey : 0;
        keys[i].down.extraInfo = extraInfo;
    }

    bool allTaken = true;
    for (int i = 0; i < count; ++i) {
        keys[i].taken = input.SendKeyEvent(keys[i].down) != 0;
        allTaken = allTaken && keys[i].taken;
    }

    sleeper.Sleep(ChordHoldMilliseconds);

    // The key, then the modifiers in press order, not reversed: the receiving
    // programs have always seen this order.
    Release(input, keys[count - 1], allTaken, leftDown);
    for (int i = 0; i < count - 1; ++i) Release(input, keys[i], allTaken, leftDown);
    return allTaken;
}

}  // namespace brelkin
