#include "settings/AppSettings.h"

#include <algorithm>
#include <string>

#include "settings/Tooltip.h"

namespace brelkin {

namespace names = settings_names;

AppSettings::AppSettings(IProfile& profile, TriggerState& trigger, DriverKind& driverKind,
                         ITooltipTarget& tooltip)
    : m_profile(profile), m_trigger(trigger), m_driverKind(driverKind), m_tooltip(tooltip) {}

void AppSettings::LoadSettings() {
    ActionPreset& custom = m_trigger.presets[CustomRow];
    auto readInt = [this](std::u16string_view entry, uint32_t defaultValue) {
        return m_profile.GetProfileInt(names::Section, entry, defaultValue);
    };

    // The profile gives 32 bits; the row keeps only its field's width, so a
    // stored 70000 ms becomes 4464, and is written so once the user changes it.
    custom.Keys[0] = static_cast<uint16_t>(readInt(names::Key1, 32));
    custom.Keys[1] = static_cast<uint16_t>(readInt(names::Key2, 0));
    custom.Keys[2] = static_cast<uint16_t>(readInt(names::Key3, 0));
    custom.Modifiers[0] = static_cast<uint16_t>(readInt(names::KeyEx1, 0));
    custom.Modifiers[1] = static_cast<uint16_t>(readInt(names::KeyEx2, 0));
    custom.Modifiers[2] = static_cast<uint16_t>(readInt(names::KeyEx3, 0));
    custom.OneByOne = static_cast<uint8_t>(readInt(names::OneByOne, 1));
    custom.DelayTime = static_cast<uint16_t>(readInt(names::DelayTime, 5000));
    // Kept whole: any non-zero kind means BDA, and a 5 that is written back stays 5.
    m_driverKind = static_cast<DriverKind>(readInt(names::UseBDA, static_cast<uint32_t>(m_driverKind)));

    const std::u16string defaultKey = m_profile.GetProfileString(names::Section, names::DefaultKey, u"");
    m_layerStates = SettingsLayerStates::Read(m_profile);
    m_enforced = EnforcedValues::Of(m_layerStates);
    const std::array<uint32_t, NumberCount> loaded = CurrentNumbers();
    std::copy(loaded.begin(), loaded.end(), m_storedNumbers.begin());
    m_modeChosen = false;

    // The mode is stored by its row's name, compared unit by unit with no case
    // folding or trimming, so that the menu caption "&Joystick Button 1" or a
    // re-cased name does not select anything.
    for (int row = 0; row < PresetRowCount; ++row) {
        const ActionPreset& preset = m_trigger.presets[row];
        if (PresetText(preset.Name) == defaultKey) {
            m_trigger.triggerMode = row + 1;
            m_storedMode = m_trigger.triggerMode;
            m_tooltip.SetTooltipText(PresetTooltip(preset));
            return;
        }
    }
    if (defaultKey == JoystickModeName) {
        m_trigger.triggerMode = 0;
        m_storedMode = 0;
        m_tooltip.SetTooltipText(JoystickTooltip());
        return;
    }
    // A text that names no mode is left as it is until the user chooses one.
    m_trigger.triggerMode = 1;
    m_storedMode = 1;
    m_tooltip.SetTooltipText(PresetTooltip(m_trigger.presets[0]));
}

std::array<uint32_t, AppSettings::NumberCount> AppSettings::CurrentNumbers() const {
    const ActionPreset& custom = m_trigger.presets[CustomRow];
    return {custom.Keys[0],      custom.Keys[1],      custom.Keys[2],
            custom.Modifiers[0], custom.Modifiers[1], custom.Modifiers[2],
            custom.OneByOne,     custom.DelayTime,    static_cast<uint32_t>(m_driverKind)};
}

bool AppSettings::SaveModeChoice() {
    m_modeChosen = true;
    return SaveSettings();
}

bool AppSettings::SaveSettings() {
    // The poll reads any other mode as row 0, so that is what is stored.
    TriggerMode mode = m_trigger.triggerMode;
    if (mode < 0 || mode > PresetRowCount) mode = 1;

    // Every write is attempted even after a failure: the state in memory
    // stays as the user set it, and a value whose write failed still differs
    // from the stored one, so the next save tries it again.
    bool saved = true;
    if (m_enforced.Has(names::DefaultKey)) {
        m_modeChosen = false;
    } else if (m_modeChosen || m_storedMode != mode) {
        const std::u16string_view defaultKey =
            mode == 0 ? JoystickModeName : PresetText(m_trigger.presets[mode - 1].Name);
        if (m_profile.WriteProfileString(names::Section, names::DefaultKey, defaultKey)) {
            m_storedMode = mode;
            m_modeChosen = false;
        } else {
            saved = false;
        }
    }
    static constexpr std::u16string_view numberNames[NumberCount] = {
        names::Key1,   names::Key2,     names::Key3,      names::KeyEx1, names::KeyEx2,
        names::KeyEx3, names::OneByOne, names::DelayTime, names::UseBDA,
    };
    const std::array<uint32_t, NumberCount> current = CurrentNumbers();
    for (std::size_t i = 0; i < NumberCount; ++i) {
        if (m_storedNumbers[i] == current[i] || m_enforced.Has(numberNames[i])) continue;
        if (m_profile.WriteProfileInt(names::Section, numberNames[i], current[i])) {
            m_storedNumbers[i] = current[i];
        } else {
            saved = false;
        }
    }
    return saved;
}

}  // namespace brelkin
