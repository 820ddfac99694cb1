#include "bench/fuzz/FuzzChecks.h"

#include <array>
#include <map>
#include <optional>
#include <string_view>

#include "engine/DriverKind.h"
#include "engine/ActionPreset.h"
#include "engine/KeyChordNames.h"
#include "platform/Profile.h"
#include "settings/AppSettings.h"
#include "settings/Tooltip.h"
#include "settings/TooltipTarget.h"

namespace brelkin::fuzz {
namespace {

namespace names = settings_names;

// Reads the fuzz input front to back; past the end it yields zeros, so every
// input, the empty one included, is a complete image.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    uint32_t U32() { return static_cast<uint32_t>(U16()) | (static_cast<uint32_t>(U16()) << 16); }
    bool AtEnd() const { return m_pos >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A profile whose values are either absent or of the right kind, which is all
// that the registry binding hands on (wrong types become absent there).
class ImageProfile : public IProfile {
public:
    std::map<std::u16string, uint32_t> ints;
    std::map<std::u16string, std::u16string> texts;
    int wrongSection = 0;
    int writes = 0;

    std::optional<uint32_t> FindProfileInt(std::u16string_view section, std::u16string_view entry) override {
        if (section != names::Section) ++wrongSection;
        auto it = ints.find(std::u16string(entry));
        if (it == ints.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::u16string> FindProfileString(std::u16string_view section,
                                                    std::u16string_view entry) override {
        if (section != names::Section) ++wrongSection;
        auto it = texts.find(std::u16string(entry));
        if (it == texts.end()) return std::nullopt;
        return it->second;
    }
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, uint32_t value) override {
        if (section != names::Section) ++wrongSection;
        ++writes;
        ints[std::u16string(entry)] = value;
        return true;
    }
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override {
        if (section != names::Section) ++wrongSection;
        ++writes;
        texts[std::u16string(entry)] = std::u16string(value);
        return true;
    }
    // The fuzzed settings have no sections besides their own.
    std::vector<std::u16string> GetProfileEntries(std::u16string_view, std::size_t) override { return {}; }
    bool DeleteProfileEntry(std::u16string_view, std::u16string_view) override { return true; }
};

class CountingTooltip : public ITooltipTarget {
public:
    int calls = 0;
    std::u16string last;
    void SetTooltipText(std::u16string_view text) override {
        ++calls;
        last = std::u16string(text);
    }
};

constexpr std::array<std::u16string_view, 9> IntNames = {
    names::Key1,   names::Key2,     names::Key3,      names::KeyEx1, names::KeyEx2,
    names::KeyEx3, names::OneByOne, names::DelayTime, names::UseBDA};

struct Loaded {
    TriggerState state;
    DriverKind kind = 0;
    CountingTooltip tooltip;
};

std::string LoadInto(ImageProfile& profile, Loaded& out, DriverKind defaultKind) {
    out.kind = defaultKind;
    // A mode and step that the load must replace (mode) or leave alone (step).
    out.state.triggerMode = -77;
    out.state.sequenceStep = 2;
    AppSettings settings(profile, out.state, out.kind, out.tooltip);
    settings.LoadSettings();
    if (out.state.triggerMode < 0 || out.state.triggerMode > PresetRowCount)
        return "trigger mode outside 0..13 after a load: " + std::to_string(out.state.triggerMode);
    if (out.state.sequenceStep != 2) return "the load changed the sequence step";
    if (out.tooltip.calls != 1) return "the load set the tooltip " + std::to_string(out.tooltip.calls) + " times";
    const std::u16string expectedTip = out.state.triggerMode == 0
                                           ? JoystickTooltip()
                                           : PresetTooltip(out.state.presets[out.state.triggerMode - 1]);
    if (out.tooltip.last != expectedTip) return "the tooltip does not name the loaded mode";
    if (profile.wrongSection != 0) return "a value outside the Settings section was used";
    return {};
}

bool SameRow(const ActionPreset& a, const ActionPreset& b) {
    for (int i = 0; i < 3; ++i)
        if (a.Keys[i] != b.Keys[i] || a.Modifiers[i] != b.Modifiers[i]) return false;
    return a.OneByOne == b.OneByOne && a.DelayTime == b.DelayTime &&
           PresetText(a.Name) == PresetText(b.Name) && PresetText(a.DisplayText) == PresetText(b.DisplayText);
}

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

std::string CheckSettingsImage(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    ImageProfile image;
    std::array<bool, 9> present{};
    std::array<uint32_t, 9> raw{};
    for (size_t i = 0; i < IntNames.size(); ++i) {
        present[i] = (in.Byte() & 1) != 0;
        raw[i] = in.U32();
        if (present[i]) image.ints[std::u16string(IntNames[i])] = raw[i];
    }
    const DriverKind defaultKind = static_cast<DriverKind>(in.Byte() & 1);
    const uint8_t keyChoice = in.Byte();
    const PresetTable& builtIn = BuiltInPresets();
    switch (keyChoice % 5) {
    case 0: break;  // absent
    case 1: image.texts[std::u16string(names::DefaultKey)] = std::u16string(PresetText(builtIn[in.Byte() % PresetRowCount].Name)); break;
    case 2: image.texts[std::u16string(names::DefaultKey)] = std::u16string(JoystickModeName); break;
    default: {
        std::u16string text;
        while (!in.AtEnd()) text.push_back(static_cast<char16_t>(in.U16()));
        image.texts[std::u16string(names::DefaultKey)] = text;
        break;
    }
    }

    Loaded first;
    if (std::string fault = LoadInto(image, first, defaultKind); !fault.empty()) return fault;

    // Widths: the row keeps the low bits of what was stored, the kind all 32.
    const ActionPreset& custom = first.state.presets[CustomRow];
    const uint32_t defaults[9] = {32, 0, 0, 0, 0, 0, 1, 5000, static_cast<uint32_t>(defaultKind)};
    auto value = [&](size_t i) { return present[i] ? raw[i] : defaults[i]; };
    for (int k = 0; k < 3; ++k) {
        if (custom.Keys[k] != static_cast<uint16_t>(value(k))) return "a key was not loaded as its low 16 bits";
        if (custom.Modifiers[k] != static_cast<uint16_t>(value(3 + k)))
            return "a modifier mask was not loaded as its low 16 bits";
    }
    if (custom.OneByOne != static_cast<uint8_t>(value(6))) return "OneByOne was not loaded as its low 8 bits";
    if (custom.DelayTime != static_cast<uint16_t>(value(7))) return "DelayTime was not loaded as its low 16 bits";
    if (static_cast<uint32_t>(first.kind) != value(8)) return "UseBDA was not loaded whole";
    for (int row = 0; row < CustomRow; ++row)
        if (!SameRow(first.state.presets[row], builtIn[row])) return "a load changed a fixed preset row";

    ImageProfile saved;
    AppSettings(saved, first.state, first.kind, first.tooltip).SaveSettings();
    if (saved.writes != 10 || saved.ints.size() != 9 || saved.texts.size() != 1)
        return "a save did not write the ten values once each";

    // One save normalises the image; from then on load and save are stable.
    Loaded second;
    if (std::string fault = LoadInto(saved, second, defaultKind ^ 1); !fault.empty()) return fault;
    if (second.state.triggerMode != first.state.triggerMode) return "the mode changed across a save and load";
    if (second.kind != first.kind) return "the driver kind changed across a save and load";
    if (!SameRow(second.state.presets[CustomRow], custom)) return "the custom row changed across a save and load";
    ImageProfile resaved;
    AppSettings(resaved, second.state, second.kind, second.tooltip).SaveSettings();
    if (resaved.ints != saved.ints || resaved.texts != saved.texts) return "a second save wrote a different image";
    return {};
}

std::string CheckKeyChordNames(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    do {
        const uint16_t key = in.U16();
        const ModifierMask mask = in.U16();
        const std::u16string text = FormatKeyChord(key, mask);
        if (text != FormatKeyChord(key, mask)) return "the same chord formatted two ways";
        if (key == 0) {
            if (!text.empty()) return "key 0 gave a non-empty text";
            continue;
        }
        if (text.empty()) return "a non-zero key gave the empty text";
        std::u16string prefix;
        if (mask & ModShift) prefix += u"Shift+";
        if (mask & ModCtrl) prefix += u"Ctrl+";
        if (mask & ModAlt) prefix += u"Alt+";
        if (mask & ModWin) prefix += u"Win+";
        if (text.compare(0, prefix.size(), prefix) != 0) return "the modifier prefixes are missing or out of order";
        const std::u16string name = text.substr(prefix.size());
        if (name.empty()) return "a chord without a key name";
        // Only one of the fixed names, "??", or the key itself as one unit.
        if (name.size() == 1 && name[0] != key) return "a one-unit name that is not the key";
        if (name.size() > 1 && name != u"??" && !(key == 0x0D || (key >= 0x20 && key <= 0x29) || key == 0x2D ||
                                                  key == 0x2E || (key >= 0x70 && key <= 0x7B)))
            return "a long name for a key without a fixed name";
        for (size_t i = 0; i < text.size(); ++i) {
            if (!IsSurrogate(text[i])) continue;
            const bool high = text[i] < 0xDC00;
            if (!high || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return "the text is not valid UTF-16 (a lone surrogate)";
            ++i;
        }
    } while (!in.AtEnd());
    return {};
}

}  // namespace brelkin::fuzz
