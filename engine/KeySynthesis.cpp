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

// What the system took of one chord's key-downs, by the modifier's place in
// kModifierKeys, and the key itself after them.
struct DownsTaken {
    bool taken[5] = {};
    bool allTaken = true;
};

void SendModifiers(IKeyboardInput& input, KeyEvent& event, ModifierMask modifiers, uint32_t flags,
                   DownsTaken& downs, KeysLeftDown& leftDown) {
    event.flags = flags;
    for (int i = 0; i < 4; ++i) {
        if (!(modifiers & kModifierKeys[i].bit)) continue;
        event.vk = kModifierKeys[i].vk;
        const bool taken = input.SendKeyEvent(event) != 0;
        downs.allTaken = downs.allTaken && taken;
        if (flags == 0) {
            downs.taken[i] = taken;
        } else if (!taken && downs.taken[i]) {
            leftDown.Add(event);
        }
    }
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

bool SendKeyChord(IKeyboardInput& input, ISleeper& sleeper, ModifierMask modifiers, uint16_t key,
                  KeysLeftDown& leftDown) {
    // A zero key would press and release bare modifiers (a lone Alt opens the
    // focused window's menu), so it sends nothing at all.
    if (key == 0) return true;

    KeyEvent event;
    DownsTaken downs;
    // Read once so that every event of the chord carries the same value.
    event.extraInfo = input.GetMessageExtraInfo();

    SendModifiers(input, event, modifiers, 0, downs, leftDown);

    event.vk = key;
    event.flags = 0;
    downs.taken[4] = input.SendKeyEvent(event) != 0;
    downs.allTaken = downs.allTaken && downs.taken[4];

    sleeper.Sleep(ChordHoldMilliseconds);

    event.vk = key;
    event.flags = KeyEventKeyUp;
    if (input.SendKeyEvent(event) == 0) {
        downs.allTaken = false;
        if (downs.taken[4]) leftDown.Add(event);
    }

    // Released in press order, not reversed: the receiving programs have always
    // seen this order.
    SendModifiers(input, event, modifiers, KeyEventKeyUp, downs, leftDown);
    return downs.allTaken;
}

}  // namespace brelkin
