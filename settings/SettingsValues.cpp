#include "settings/SettingsValues.h"

namespace brelkin {

// The first store where the value is stored readably is the one it comes
// from. The states are asked rather than the values, so that finding out
// reads no value of the user's store a second time.
EnforcedValues EnforcedValues::Read(IProfile& profile) {
    EnforcedValues values;
    for (std::size_t i = 0; i < std::size(SettingsValues); ++i) {
        const SettingsValue& value = SettingsValues[i];
        for (const ProfileLayerState& layer : profile.GetLayerStates(settings_names::Section, value.name, value.isText)) {
            if (layer.state != ProfileValueState::Stored) continue;
            values.m_enforced[i] = layer.role == ProfileSource::Enforced;
            break;
        }
    }
    return values;
}

bool EnforcedValues::Has(std::u16string_view name) const {
    for (std::size_t i = 0; i < std::size(SettingsValues); ++i)
        if (SettingsValues[i].name == name) return m_enforced[i];
    return false;
}

}  // namespace brelkin
