#pragma once
// A profile in memory that records every call in order. Values are kept with
// their kind, so that a test can also plant a text where an integer belongs.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Profile.h"
#include "settings/TooltipTarget.h"

namespace brelkin::test {

struct ProfileCall {
    enum Kind { ReadInt, ReadString, WriteInt, WriteString, FindInt, FindString, ListEntries, Delete } kind;
    std::u16string section;
    std::u16string entry;
    uint32_t number = 0;  // the default of a read, the value of a write
    std::u16string text;

    bool operator==(const ProfileCall& other) const {
        return kind == other.kind && section == other.section && entry == other.entry &&
               number == other.number && text == other.text;
    }
};

class FakeProfile : public IProfile {
public:
    struct Value {
        bool isText = false;
        uint32_t number = 0;
        std::u16string text;
    };

    // By entry for the Settings section, by "section\\entry" for the others.
    std::map<std::u16string, Value> values;
    std::vector<ProfileCall> calls;
    bool failReads = false;
    bool failWrites = false;
    int stateQueries = 0;  // GetValueState: one registry key opened, as a read opens one

    static std::u16string Key(std::u16string_view section, std::u16string_view entry) {
        if (section == u"Settings") return std::u16string(entry);
        return std::u16string(section) + u'\\' + std::u16string(entry);
    }
    void SetInt(std::u16string_view entry, uint32_t v) { values[std::u16string(entry)] = {false, v, {}}; }
    void SetText(std::u16string_view entry, std::u16string_view t) {
        values[std::u16string(entry)] = {true, 0, std::u16string(t)};
    }
    void SetText(std::u16string_view section, std::u16string_view entry, std::u16string_view t) {
        values[Key(section, entry)] = {true, 0, std::u16string(t)};
    }
    const Value* Find(std::u16string_view entry) const {
        auto it = values.find(std::u16string(entry));
        return it == values.end() ? nullptr : &it->second;
    }

    uint32_t GetProfileInt(std::u16string_view section, std::u16string_view entry,
                           uint32_t defaultValue) override {
        calls.push_back({ProfileCall::ReadInt, std::u16string(section), std::u16string(entry), defaultValue, {}});
        const Value* v = Find(Key(section, entry));
        if (failReads || v == nullptr || v->isText) return defaultValue;
        return v->number;
    }
    std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view defaultValue) override {
        calls.push_back({ProfileCall::ReadString, std::u16string(section), std::u16string(entry), 0,
                         std::u16string(defaultValue)});
        const Value* v = Find(Key(section, entry));
        if (failReads || v == nullptr || !v->isText) return std::u16string(defaultValue);
        return v->text;
    }
    std::optional<uint32_t> FindProfileInt(std::u16string_view section, std::u16string_view entry) override {
        calls.push_back({ProfileCall::FindInt, std::u16string(section), std::u16string(entry), 0, {}});
        const Value* v = Find(Key(section, entry));
        if (failReads || v == nullptr || v->isText) return std::nullopt;
        return v->number;
    }
    std::optional<std::u16string> FindProfileString(std::u16string_view section,
                                                    std::u16string_view entry) override {
        calls.push_back({ProfileCall::FindString, std::u16string(section), std::u16string(entry), 0, {}});
        const Value* v = Find(Key(section, entry));
        if (failReads || v == nullptr || !v->isText) return std::nullopt;
        return v->text;
    }
    bool Wrote() const {
        for (const ProfileCall& c : calls)
            if (c.kind == ProfileCall::WriteInt || c.kind == ProfileCall::WriteString) return true;
        return false;
    }
    ProfileValueState GetValueState(std::u16string_view section, std::u16string_view entry, bool isText) override {
        ++stateQueries;
        const Value* v = Find(Key(section, entry));
        if (v == nullptr) return ProfileValueState::Missing;
        return failReads || v->isText != isText ? ProfileValueState::Damaged : ProfileValueState::Stored;
    }
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, uint32_t value) override {
        calls.push_back({ProfileCall::WriteInt, std::u16string(section), std::u16string(entry), value, {}});
        if (failWrites) return false;
        values[Key(section, entry)] = {false, value, {}};
        return true;
    }
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override {
        calls.push_back({ProfileCall::WriteString, std::u16string(section), std::u16string(entry), 0,
                         std::u16string(value)});
        if (failWrites) return false;
        values[Key(section, entry)] = {true, 0, std::u16string(value)};
        return true;
    }
    std::vector<std::u16string> GetProfileEntries(std::u16string_view section, std::size_t limit) override {
        calls.push_back({ProfileCall::ListEntries, std::u16string(section), {}, static_cast<uint32_t>(limit), {}});
        std::vector<std::u16string> names;
        const std::u16string prefix = Key(section, u"");
        for (const auto& [key, value] : values) {
            if (failReads || names.size() >= limit) break;
            if (key.compare(0, prefix.size(), prefix) != 0) continue;
            const std::u16string name = key.substr(prefix.size());
            if (name.find(u'\\') == std::u16string::npos) names.push_back(name);
        }
        return names;
    }
    bool DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) override {
        calls.push_back({ProfileCall::Delete, std::u16string(section), std::u16string(entry), 0, {}});
        if (failWrites) return false;
        values.erase(Key(section, entry));
        return true;
    }
};

class FakeTooltip : public ITooltipTarget {
public:
    std::vector<std::u16string> texts;
    void SetTooltipText(std::u16string_view text) override { texts.emplace_back(text); }
};

// Readable UTF-16 in failure messages.
inline std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += (c < 0x80) ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace brelkin::test
