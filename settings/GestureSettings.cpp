#include "settings/GestureSettings.h"

#include <algorithm>

#include "engine/ProgramRules.h"
#include "engine/Utf8.h"
#include "settings/Tooltip.h"

namespace brelkin {

namespace names = settings_names;

namespace {

uint32_t ReadTime(IProfile& profile, std::u16string_view name, uint32_t fallback, uint32_t low, uint32_t high) {
    const uint32_t stored = profile.GetProfileInt(names::Section, name, fallback);
    return stored >= low && stored <= high ? stored : fallback;
}

std::u16string_view NameOf(const PresetTable& presets, TriggerMode mode) {
    if (mode < 1 || mode > PresetRowCount) return {};
    return PresetText(presets[static_cast<std::size_t>(mode - 1)].Name);
}

std::string Described(const PresetTable& presets, TriggerMode mode, uint32_t time, const char* timeName) {
    if (mode < 1 || mode > PresetRowCount) return "none";
    return "\"" + ToUtf8(NameOf(presets, mode)) + "\", " + timeName + " " + std::to_string(time) + " ms";
}

}  // namespace

GestureSettings ReadGestureSettings(IProfile& profile, const PresetTable& presets) {
    GestureSettings read;
    read.longPressMode = KeyModeNamed(presets, profile.GetProfileString(names::Section, names::LongPressKey, u""));
    read.doublePressMode =
        KeyModeNamed(presets, profile.GetProfileString(names::Section, names::DoublePressKey, u""));
    read.longPressTime =
        ReadTime(profile, names::LongPressTime, LongPressTimeDefault, LongPressTimeMin, LongPressTimeMax);
    read.doublePressTime =
        ReadTime(profile, names::DoublePressTime, DoublePressTimeDefault, DoublePressTimeMin, DoublePressTimeMax);
    return read;
}

void ApplyGestureSettings(const GestureSettings& settings, TriggerState& trigger) {
    if (trigger.longPressMode != settings.longPressMode) trigger.longPressStep = 0;
    if (trigger.doublePressMode != settings.doublePressMode) trigger.doublePressStep = 0;
    trigger.longPressMode = settings.longPressMode;
    trigger.doublePressMode = settings.doublePressMode;
    trigger.longPressTime = settings.longPressTime;
    trigger.doublePressTime = settings.doublePressTime;
}

bool SaveGestureSettings(IProfile& profile, const PresetTable& presets, const GestureSettings& loaded,
                         const GestureSettings& chosen, const EnforcedValues& enforced) {
    bool saved = true;
    auto mode = [&](std::u16string_view name, TriggerMode was, TriggerMode now) {
        if (was == now || enforced.Has(name)) return;
        saved = profile.WriteProfileString(names::Section, name, NameOf(presets, now)) && saved;
    };
    auto time = [&](std::u16string_view name, uint32_t was, uint32_t now) {
        if (was == now || enforced.Has(name)) return;
        saved = profile.WriteProfileInt(names::Section, name, now) && saved;
    };
    mode(names::LongPressKey, loaded.longPressMode, chosen.longPressMode);
    mode(names::DoublePressKey, loaded.doublePressMode, chosen.doublePressMode);
    time(names::LongPressTime, loaded.longPressTime, chosen.longPressTime);
    time(names::DoublePressTime, loaded.doublePressTime, chosen.doublePressTime);
    return saved;
}

void LogGestureSettings(IProfile& profile, const TriggerState& trigger, ISupportLog& log,
                        PolicyDamageLog& loggedOnce) {
    const bool joystick = trigger.triggerMode == 0;
    log.Write("Settings: long press " +
              Described(trigger.presets, trigger.longPressMode, trigger.longPressTime, "after") + "; double press " +
              Described(trigger.presets, trigger.doublePressMode, trigger.doublePressTime, "within") +
              (joystick ? " (not read in the joystick mode)" : ""));
    for (std::u16string_view name : {names::LongPressKey, names::DoublePressKey}) {
        const std::u16string stored = profile.GetProfileString(names::Section, name, u"");
        if (stored.empty() || KeyModeNamed(trigger.presets, stored) != 0) continue;
        const std::string line =
            "Settings: " + ToUtf8(name) + " \"" + ToUtf8(stored) + "\" names no mode and was read as none";
        if (std::find(loggedOnce.logged.begin(), loggedOnce.logged.end(), line) != loggedOnce.logged.end()) continue;
        loggedOnce.logged.push_back(line);
        log.Write(line);
    }
}

}  // namespace brelkin
