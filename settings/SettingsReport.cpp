#include "settings/SettingsReport.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "settings/AppSettings.h"
#include "settings/GestureSettings.h"
#include "settings/PollPeriodSetting.h"
#include "settings/ProgramSettings.h"
#include "settings/Tooltip.h"
#include "engine/Utf8.h"

namespace brelkin {

namespace names = settings_names;

namespace {

void LogOnce(const std::string& line, ISupportLog& log, PolicyDamageLog& policyDamage) {
    if (std::find(policyDamage.logged.begin(), policyDamage.logged.end(), line) != policyDamage.logged.end()) return;
    policyDamage.logged.push_back(line);
    log.Write(line);
}

}  // namespace

bool ReadShowNotifications(IProfile& profile) {
    return profile.GetProfileInt(names::Section, names::ShowNotifications, 1) != 0;
}

void LogSettingsRead(IProfile& profile, const TriggerState& trigger, DriverKind driverKind,
                     uint32_t pollPeriodMilliseconds, ISupportLog& log, PolicyDamageLog& policyDamage) {
    LogSettingsRead(profile, SettingsLayerStates::Read(profile), trigger, driverKind, pollPeriodMilliseconds, log,
                    policyDamage);
}

void LogSettingsRead(IProfile& profile, const SettingsLayerStates& layers, const TriggerState& trigger,
                     DriverKind driverKind, uint32_t pollPeriodMilliseconds, ISupportLog& log,
                     PolicyDamageLog& policyDamage) {
    const TriggerMode mode = trigger.triggerMode;
    const std::u16string_view modeName =
        mode == 0 ? JoystickModeName : PresetText(trigger.presets[mode >= 1 && mode <= PresetRowCount ? mode - 1 : 0].Name);
    log.Write("Settings: mode \"" + ToUtf8(modeName) + "\", driver " +
              (IsBda(driverKind) ? "BDA" : "WDM") + ", poll period " +
              std::to_string(pollPeriodMilliseconds) + " ms");
    LogGestureSettings(profile, trigger, log, policyDamage);

    // Where each value came from: the user's own, the machine-wide default an
    // administrator deployed, a policy, or the built-in default.
    std::string fromUser, fromMachine, enforced, recommended;
    for (std::size_t row = 0; row < std::size(SettingsValues); ++row) {
        const SettingsValue& value = SettingsValues[row];
        const ProfileSource source = layers.Source(row);
        std::string* list = source == ProfileSource::User          ? &fromUser
                            : source == ProfileSource::Machine     ? &fromMachine
                            : source == ProfileSource::Enforced    ? &enforced
                            : source == ProfileSource::Recommended ? &recommended
                                                                   : nullptr;
        if (list != nullptr) *list += (list->empty() ? "" : ", ") + ToUtf8(value.name);
    }
    auto named = [](const std::string& list) { return list.empty() ? std::string("none") : list; };
    log.Write("Settings from the user: " + named(fromUser) + "; from the machine: " + named(fromMachine));
    log.Write("Settings enforced by policy: " + named(enforced) + "; recommended by policy: " + named(recommended));

    // DefaultKey's state as the profile gives it: that of the first layer that has it at all.
    ProfileValueState defaultKeyState = ProfileValueState::Missing;
    for (std::size_t row = 0; row < std::size(SettingsValues); ++row) {
        const SettingsValue& value = SettingsValues[row];
        // The user's and the machine-wide defaults' damage as before: the first
        // of the two that has the value at all.
        bool ownOrMachineSeen = false;
        for (const ProfileLayerState& layer : layers.Layers(row)) {
            if (value.name == names::DefaultKey && defaultKeyState == ProfileValueState::Missing)
                defaultKeyState = layer.state;
            const bool policy = layer.role == ProfileSource::Enforced || layer.role == ProfileSource::Recommended;
            if (!policy) {
                if (ownOrMachineSeen || layer.state == ProfileValueState::Missing) continue;
                ownOrMachineSeen = true;
                if (layer.state == ProfileValueState::Damaged)
                    log.Write("Settings: " + ToUtf8(value.name) + " is damaged and was not used");
                continue;
            }
            if (layer.state != ProfileValueState::Damaged) continue;
            LogOnce("Settings: " + ToUtf8(value.name) + " of the " + (layer.computer ? "computer's " : "user's ") +
                        (layer.role == ProfileSource::Enforced ? "enforced" : "recommended") +
                        " policy is damaged and was not used",
                    log, policyDamage);
        }
    }
    // A readable name that matches no row also falls back to the first preset;
    // it is told once, as a damaged policy is, and not at every refresh.
    if (defaultKeyState == ProfileValueState::Stored) {
        const std::u16string stored = profile.GetProfileString(names::Section, names::DefaultKey, u"");
        if (stored != modeName)
            LogOnce("Settings: DefaultKey \"" + ToUtf8(stored) + "\" names no mode and was read as \"" +
                        ToUtf8(modeName) + "\"",
                    log, policyDamage);
    }
}

void LogProgramRulesRead(IProfile& profile, ISupportLog& log, PolicyDamageLog& policyDamage) {
    std::string enforced, recommended;
    for (const std::u16string& program : profile.GetProfileEntries(names::ProgramsSection, ProgramSettings::MaxRules)) {
        if (program.empty()) continue;
        bool sourceFound = false;
        for (const ProfileLayerState& layer : profile.GetLayerStates(names::ProgramsSection, program, true)) {
            const bool policy = layer.role == ProfileSource::Enforced || layer.role == ProfileSource::Recommended;
            if (policy && layer.state == ProfileValueState::Damaged) {
                LogOnce("Settings: program rule " + ToUtf8(program) + " of the " +
                            (layer.computer ? "computer's " : "user's ") +
                            (layer.role == ProfileSource::Enforced ? "enforced" : "recommended") +
                            " policy is damaged and was not used",
                        log, policyDamage);
            }
            if (sourceFound || layer.state != ProfileValueState::Stored) continue;
            sourceFound = true;
            std::string* list = layer.role == ProfileSource::Enforced      ? &enforced
                                : layer.role == ProfileSource::Recommended ? &recommended
                                                                           : nullptr;
            if (list != nullptr) *list += (list->empty() ? "" : ", ") + ToUtf8(program);
        }
    }
    auto named = [](const std::string& list) { return list.empty() ? std::string("none") : list; };
    log.Write("Program rules enforced by policy: " + named(enforced) + "; recommended by policy: " +
              named(recommended));
}

}  // namespace brelkin
