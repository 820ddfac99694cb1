#include "engine/ModeNames.h"

#include "engine/ActionPreset.h"
#include "engine/Texts.h"

namespace brelkin {

std::u16string MenuModeName(std::u16string_view storedName) {
    if (storedName == JoystickModeName) return Translate(IDS_MODE_JOYSTICK);
    if (storedName == BuiltInPresets()[CustomRow].Name) return Translate(IDS_MODE_CUSTOM);
    return std::u16string(storedName);
}

}  // namespace brelkin
