#include "settings/PolicyValueCheck.h"

#include "engine/AdaptivePollPeriod.h"
#include "engine/ModeNames.h"
#include "engine/ProgramRules.h"
#include "settings/SettingsValues.h"

namespace brelkin {

namespace names = settings_names;

bool PolicyValueChecked(std::u16string_view section, std::u16string_view entry) {
    return section == names::ProgramsSection ||
           (section == names::Section && (entry == names::PollPeriod || entry == names::DefaultKey));
}

bool UsablePolicyNumber(std::u16string_view section, std::u16string_view entry, uint32_t value) {
    if (section == names::Section && entry == names::PollPeriod)
        return value >= MinPollPeriod && value <= MaxPollPeriod;
    return true;
}

// Mode names are compared as the load compares them: unit by unit.
bool UsablePolicyText(std::u16string_view section, std::u16string_view entry, std::u16string_view value) {
    if (section == names::Section && entry == names::DefaultKey)
        return value == JoystickModeName || KeyModeNamed(BuiltInPresets(), value) != 0;
    // A rule is bound to a key mode; the joystick is none.
    if (section == names::ProgramsSection) return KeyModeNamed(BuiltInPresets(), value) != 0;
    return true;
}

}  // namespace brelkin
