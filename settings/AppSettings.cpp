#include "settings/AppSettings.h"

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
    // stored 70000 ms becomes 4464 and stays so at the next save.
    custom.Keys[0] = static_cast<uint16_t>(readInt(names::Key1, 32));
    custom.Keys[1] = static_cast<uint16_t>(readInt(names::Key2, 0));
    custom.Keys[2] = static_cast<uint16_t>(readInt(names::Key3, 0));
    custom.Modifiers[0] = static_cast<uint16_t>(readInt(names::KeyEx1, 0));
    custom.Modifiers[1] = static_cast<uint16_t>(readInt(names::KeyEx2, 0));
    custom.Modifiers[2] = static_cast<uint16_t>(readInt(names::KeyEx3, 0));
    custom.OneByOne = static_cast<uint8_t>(readInt(names::OneByOne, 1));
    custom.DelayTime = static_cast<uint16_t>(readInt(names::DelayTime, 5000));
    // Kept whole: any non-zero kind means BDA, and a 5 must be written back as 5.
    m_driverKind = static_cast<DriverKind>(readInt(names::UseBDA, static_cast<uint32_t>(m_driverKind)));

    const std::u16string defaultKey = m_profile.GetProfileString(names::Section, names::DefaultKey, u"");

    // The mode is stored by its row's name, compared unit by unit with no case
    // folding or trimming, so that the menu caption "&Joystick Button 1" or a
    // re-cased name does not select anything.
    for (int row = 0; row < PresetRowCount; ++row) {
        const ActionPreset& preset = m_trigger.presets[row];
        if (PresetText(preset.Name) == defaultKey) {
            m_trigger.triggerMode = row + 1;
            m_tooltip.SetTooltipText(PresetTooltip(preset));
            return;
        }
    }
    if (defaultKey == JoystickModeName) {
        m_trigger.triggerMode = 0;
        m_tooltip.SetTooltipText(JoystickTooltip());
        return;
    }
    m_trigger.triggerMode = 1;
    m_tooltip.SetTooltipText(PresetTooltip(m_trigger.presets[0]));
}

bool AppSettings::SaveSettings() {
    const TriggerMode mode = m_trigger.triggerMode;
    std::u16string_view defaultKey;
    if (mode == 0) {
        defaultKey = JoystickModeName;
    } else if (mode >= 1 && mode <= PresetRowCount) {
        defaultKey = PresetText(m_trigger.presets[mode - 1].Name);
    } else {
        // The poll reads any other mode as row 0, so that is what is stored.
        defaultKey = PresetText(m_trigger.presets[0].Name);
    }

    // Every write is attempted even after a failure: the state in memory
    // stays as the user set it, and the next save writes all of it again.
    const ActionPreset& custom = m_trigger.presets[CustomRow];
    bool saved = true;
    auto writeInt = [this, &saved](std::u16string_view entry, uint32_t value) {
        saved = m_profile.WriteProfileInt(names::Section, entry, value) && saved;
    };
    saved = m_profile.WriteProfileString(names::Section, names::DefaultKey, defaultKey) && saved;
    writeInt(names::Key1, custom.Keys[0]);
    writeInt(names::Key2, custom.Keys[1]);
    writeInt(names::Key3, custom.Keys[2]);
    writeInt(names::KeyEx1, custom.Modifiers[0]);
    writeInt(names::KeyEx2, custom.Modifiers[1]);
    writeInt(names::KeyEx3, custom.Modifiers[2]);
    writeInt(names::OneByOne, custom.OneByOne);
    writeInt(names::DelayTime, custom.DelayTime);
    writeInt(names::UseBDA, static_cast<uint32_t>(m_driverKind));
    return saved;
}

}  // namespace brelkin
