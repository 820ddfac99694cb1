#include "settings/LayeredProfile.h"

#include <algorithm>

#include "settings/PolicyValueCheck.h"

namespace brelkin {

namespace {

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

bool IsPolicy(const ProfileLayer& layer) {
    return layer.role == ProfileSource::Enforced || layer.role == ProfileSource::Recommended;
}

// A policy's value that cannot be used is read as a damaged one is: as missing.
std::optional<uint32_t> FindInt(const ProfileLayer& layer, std::u16string_view section, std::u16string_view entry) {
    std::optional<uint32_t> value = layer.store->FindProfileInt(section, entry);
    if (value && IsPolicy(layer) && !UsablePolicyNumber(section, entry, *value)) return std::nullopt;
    return value;
}

std::optional<std::u16string> FindText(const ProfileLayer& layer, std::u16string_view section,
                                       std::u16string_view entry) {
    std::optional<std::u16string> text = layer.store->FindProfileString(section, entry);
    if (text && IsPolicy(layer) && !UsablePolicyText(section, entry, *text)) return std::nullopt;
    return text;
}

// The store's own state, or Damaged for a policy's value that is stored and
// cannot be used. Only the values with a rule of their own are read for it.
ProfileValueState StateIn(const ProfileLayer& layer, std::u16string_view section, std::u16string_view entry,
                          bool isText) {
    const ProfileValueState state = layer.store->GetValueState(section, entry, isText);
    if (state != ProfileValueState::Stored || !IsPolicy(layer) || !PolicyValueChecked(section, entry)) return state;
    const bool usable =
        isText ? FindText(layer, section, entry).has_value() : FindInt(layer, section, entry).has_value();
    return usable ? state : ProfileValueState::Damaged;
}

}  // namespace

std::vector<ProfileLayer> PolicyLayers(const PolicyStoreSet& s) {
    return {
        {&s.enforcedByComputer, ProfileSource::Enforced, true},
        {&s.enforcedForUser, ProfileSource::Enforced, false},
        {&s.user, ProfileSource::User, false},
        {&s.recommendedByComputer, ProfileSource::Recommended, true},
        {&s.recommendedForUser, ProfileSource::Recommended, false},
        {&s.machine, ProfileSource::Machine, true},
    };
}

LayeredProfile::LayeredProfile(std::vector<ProfileLayer> layers) : m_layers(std::move(layers)) {}

LayeredProfile::LayeredProfile(IProfile& user, IProfile& machine)
    : LayeredProfile({{&user, ProfileSource::User, false}, {&machine, ProfileSource::Machine, true}}) {}

IProfile* LayeredProfile::UserStore() const {
    for (const ProfileLayer& layer : m_layers)
        if (layer.role == ProfileSource::User) return layer.store;
    return nullptr;
}

template <typename Find>
ProfileSource LayeredProfile::SourceOf(Find find) const {
    for (const ProfileLayer& layer : m_layers)
        if (find(layer)) return layer.role;
    return ProfileSource::Default;
}

std::optional<uint32_t> LayeredProfile::FindProfileInt(std::u16string_view section,
                                                       std::u16string_view entry) {
    for (const ProfileLayer& layer : m_layers)
        if (std::optional<uint32_t> value = FindInt(layer, section, entry)) return value;
    return std::nullopt;
}

std::optional<std::u16string> LayeredProfile::FindProfileString(std::u16string_view section,
                                                                std::u16string_view entry) {
    for (const ProfileLayer& layer : m_layers)
        if (std::optional<std::u16string> text = FindText(layer, section, entry)) return text;
    return std::nullopt;
}

ProfileSource LayeredProfile::ProfileIntSource(std::u16string_view section, std::u16string_view entry) {
    return SourceOf([&](const ProfileLayer& layer) { return FindInt(layer, section, entry).has_value(); });
}

ProfileSource LayeredProfile::ProfileStringSource(std::u16string_view section, std::u16string_view entry) {
    return SourceOf([&](const ProfileLayer& layer) { return FindText(layer, section, entry).has_value(); });
}

std::optional<std::u16string> LayeredProfile::FindMachineProfileString(std::u16string_view section,
                                                                       std::u16string_view entry) {
    bool belowUser = false;
    for (const ProfileLayer& layer : m_layers) {
        if (belowUser)
            if (std::optional<std::u16string> text = FindText(layer, section, entry)) return text;
        belowUser = belowUser || layer.role == ProfileSource::User;
    }
    return std::nullopt;
}

bool LayeredProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                     uint32_t value) {
    IProfile* user = UserStore();
    return user != nullptr && user->WriteProfileInt(section, entry, value);
}

bool LayeredProfile::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                        std::u16string_view value) {
    IProfile* user = UserStore();
    return user != nullptr && user->WriteProfileString(section, entry, value);
}

std::vector<std::u16string> LayeredProfile::GetProfileEntries(std::u16string_view section,
                                                              std::size_t limit) {
    std::vector<std::u16string> names;
    for (const ProfileLayer& layer : m_layers) {
        if (names.size() >= limit) break;
        // Names of one store are distinct already: only those of the stores
        // before it are compared.
        const std::size_t before = names.size();
        for (std::u16string& name : layer.store->GetProfileEntries(section, limit - before)) {
            const auto end = names.begin() + static_cast<std::ptrdiff_t>(before);
            if (std::none_of(names.begin(), end,
                             [&](const std::u16string& listed) { return SameNameIgnoringCase(listed, name); })) {
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

bool LayeredProfile::DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) {
    IProfile* user = UserStore();
    return user != nullptr && user->DeleteProfileEntry(section, entry);
}

ProfileValueState LayeredProfile::GetValueState(std::u16string_view section, std::u16string_view entry,
                                                bool isText) {
    for (const ProfileLayer& layer : m_layers) {
        const ProfileValueState state = StateIn(layer, section, entry, isText);
        if (state != ProfileValueState::Missing) return state;
    }
    return ProfileValueState::Missing;
}

std::vector<ProfileLayerState> LayeredProfile::GetLayerStates(std::u16string_view section,
                                                              std::u16string_view entry, bool isText) {
    std::vector<ProfileLayerState> states;
    for (const ProfileLayer& layer : m_layers)
        states.push_back({layer.role, layer.computer, StateIn(layer, section, entry, isText)});
    return states;
}

}  // namespace brelkin
