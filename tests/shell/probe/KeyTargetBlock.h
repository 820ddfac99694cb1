#pragma once
// The shared block of one key target: what it received, and whether it has the focus.
#include <windows.h>

namespace brelkin::probe {

struct KeyTargetBlock {
    volatile LONG focused;
    volatile LONG quit;
    volatile LONG count;
    LONG keys[64];  // virtual-key codes of the key-downs, in order
    volatile LONG yield;  // set: the window stops taking the focus back
};

}  // namespace brelkin::probe
