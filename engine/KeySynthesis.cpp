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

void SendModifiers(IKeyboardInput& input, KeyEvent& event, ModifierMask modifiers, uint32_t flags) {
    event.flags = flags;
    for (const ModifierKey& modifier : kModifierKeys) {
        if (modifiers & modifier.bit) {
            event.vk = modifier.vk;
            input.SendKeyEvent(event);
        }
    }
}

}  // namespace

void SendKeyChord(IKeyboardInput& input, ISleeper& sleeper, ModifierMask modifiers, uint16_t key) {
    // A zero key would press and release bare modifiers (a lone Alt opens the
    // focused window's menu), so it sends nothing at all.
    if (key == 0) return;

    KeyEvent event;
    // Read once so that every event of the chord carries the same value.
    event.extraInfo = input.GetMessageExtraInfo();

    SendModifiers(input, event, modifiers, 0);

    event.vk = key;
    event.flags = 0;
    input.SendKeyEvent(event);

    sleeper.Sleep(ChordHoldMilliseconds);

    event.vk = key;
    event.flags = KeyEventKeyUp;
    input.SendKeyEvent(event);

    // Released in press order, not reversed: the receiving programs have always
    // seen this order.
    SendModifiers(input, event, modifiers, KeyEventKeyUp);
}

}  // namespace brelkin
