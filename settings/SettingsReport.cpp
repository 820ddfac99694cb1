#include "settings/SettingsReport.h"

#include <string>

#include "settings/AppSettings.h"
#include "settings/PollPeriodSetting.h"
#include "settings/Tooltip.h"
#include "engine/Utf8.h"

namespace brelkin {

namespace names = settings_names;

bool ReadShowNotifications(IProfile& profile) {
    return profile.GetProfileInt(names::Section, names::ShowNotifications, 1) != 0;
}

void LogSettingsRead(IProfile& profile, const TriggerState& trigger, DriverKind driverKind,
                     uint32_t pollPeriodMilliseconds, ISupportLog& log) {
    const TriggerMode mode = trigger.triggerMode;
    const std::u16string_view modeName =
        mode == 0 ? JoystickModeName : PresetText(trigger.presets[mode >= 1 && mode <= PresetRowCount ? mode - 1 : 0].Name);
    log.Write("Settings: mode \"" + ToUtf8(modeName) + "\", driver " +
              (IsBda(driverKind) ? "BDA" : "WDM") + ", poll period " +
              std::to_string(pollPeriodMilliseconds) + " ms");

    struct Entry {
        std::u16string_view name;
        bool isText;
    };
    static const Entry entries[] = {
        {names::Key1, false},     {names::Key2, false},      {names::Key3, false},
        {names::KeyEx1, false},   {names::KeyEx2, false},    {names::KeyEx3, false},
        {names::OneByOne, false}, {names::DelayTime, false}, {names::UseBDA, false},
        {names::DefaultKey, true}, {names::ShowNotifications, false},
        {names::PollPeriod, false}, {names::OnlyListedPrograms, false},
    };
    // Where each value came from: the user's own, the machine-wide default an
    // administrator deployed, or the built-in default.
    std::string fromUser, fromMachine;
    for (const Entry& entry : entries) {
        const ProfileSource source = entry.isText ? profile.ProfileStringSource(names::Section, entry.name)
                                                  : profile.ProfileIntSource(names::Section, entry.name);
        std::string& list = source == ProfileSource::User ? fromUser : fromMachine;
        if (source == ProfileSource::Default) continue;
        list += (list.empty() ? "" : ", ") + ToUtf8(entry.name);
    }
    log.Write("Settings from the user: " + (fromUser.empty() ? std::string("none") : fromUser) +
              "; from the machine: " + (fromMachine.empty() ? std::string("none") : fromMachine));
    for (const Entry& entry : entries) {
        if (profile.GetValueState(names::Section, entry.name, entry.isText) == ProfileValueState::Damaged)
            log.Write("Settings: " + ToUtf8(entry.name) + " is damaged and was not used");
    }
    // A readable name that matches no row also falls back to the first preset.
    if (profile.GetValueState(names::Section, names::DefaultKey, true) == ProfileValueState::Stored) {
        const std::u16string stored = profile.GetProfileString(names::Section, names::DefaultKey, u"");
        if (stored != modeName)
            log.Write("Settings: DefaultKey \"" + ToUtf8(stored) + "\" names no mode and was read as \"" +
                      ToUtf8(modeName) + "\"");
    }
}

}  // namespace brelkin
