#include "settings/SettingsValues.h"

namespace brelkin {

// The first layer where the value is stored readably is the one the reads
// take it from: a damaged one (another type or size, too long) is passed over
// as they pass it. The states are asked rather than the values, so that
// finding out reads no value of the user's store a second time.
SettingsLayerStates SettingsLayerStates::Read(IProfile& profile) {
    SettingsLayerStates states;
    for (std::size_t i = 0; i < std::size(SettingsValues); ++i) {
        const SettingsValue& value = SettingsValues[i];
        states.m_layers[i] = profile.GetLayerStates(settings_names::Section, value.name, value.isText);
        ProfileSource& source = states.m_sources[i];
        source = ProfileSource::Default;
        for (const ProfileLayerState& layer : states.m_layers[i]) {
            if (layer.state == ProfileValueState::Stored) {
                source = layer.role;
                break;
            }
            // A layer that cannot tell its state: the profile is asked as the
            // reads ask it, for this value only.
            if (layer.state == ProfileValueState::Unknown) {
                source = value.isText ? profile.ProfileStringSource(settings_names::Section, value.name)
                                      : profile.ProfileIntSource(settings_names::Section, value.name);
                break;
            }
        }
    }
    return states;
}

EnforcedValues EnforcedValues::Of(const SettingsLayerStates& states) {
    EnforcedValues values;
    for (std::size_t i = 0; i < std::size(SettingsValues); ++i)
        values.m_enforced[i] = states.Source(i) == ProfileSource::Enforced;
    return values;
}

bool EnforcedValues::Has(std::u16string_view name) const {
    for (std::size_t i = 0; i < std::size(SettingsValues); ++i)
        if (SettingsValues[i].name == name) return m_enforced[i];
    return false;
}

}  // namespace brelkin
