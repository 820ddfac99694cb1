#pragma once
// The profile that the program reads: a list of stores, each with its role,
// asked value by value in their order. For Brelkin that is the enforced
// policies (the computer's, then the user's), the user's own values, the
// recommended policies (the computer's, then the user's), then the machine-wide
// defaults. The first store where the value is stored and readable wins; a
// missing or damaged one passes to the next (a policy's value that cannot be
// used, see PolicyValueCheck, counts as damaged); the caller's default is last.
// Writes go to the store whose role is User only, so no other is ever changed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Profile.h"

namespace brelkin {

struct ProfileLayer {
    IProfile* store;  // outlives the layered profile
    ProfileSource role;
    bool computer;  // HKEY_LOCAL_MACHINE's, for the support log
};

// The stores in the order Brelkin asks them: the computer's enforced policy,
// the user's, the user's own values, the computer's recommended policy, the
// user's, then the machine-wide defaults.
struct PolicyStoreSet {
    IProfile& enforcedByComputer;
    IProfile& enforcedForUser;
    IProfile& user;
    IProfile& recommendedByComputer;
    IProfile& recommendedForUser;
    IProfile& machine;
};
std::vector<ProfileLayer> PolicyLayers(const PolicyStoreSet& stores);

class LayeredProfile final : public IProfile {
public:
    // In the order in which they are asked; at most one has the role User.
    explicit LayeredProfile(std::vector<ProfileLayer> layers);
    // The user's values over the machine-wide defaults.
    LayeredProfile(IProfile& user, IProfile& machine);

    std::optional<uint32_t> FindProfileInt(std::u16string_view section,
                                           std::u16string_view entry) override;
    std::optional<std::u16string> FindProfileString(std::u16string_view section,
                                                    std::u16string_view entry) override;
    ProfileSource ProfileIntSource(std::u16string_view section, std::u16string_view entry) override;
    ProfileSource ProfileStringSource(std::u16string_view section,
                                      std::u16string_view entry) override;
    // The first value below the user's store.
    std::optional<std::u16string> FindMachineProfileString(std::u16string_view section,
                                                           std::u16string_view entry) override;

    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                         uint32_t value) override;
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override;

    // Each store's entries in turn, without those of a name already listed by
    // a store before it (compared as the registry does, without case): a
    // deployed Programs rule applies until the user makes one of their own,
    // and an enforced one hides the user's.
    std::vector<std::u16string> GetProfileEntries(std::u16string_view section,
                                                  std::size_t limit) override;
    // The user's store only: every other entry is the administrator's to remove.
    bool DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) override;
    // The state in the first store that has the value at all.
    ProfileValueState GetValueState(std::u16string_view section, std::u16string_view entry,
                                    bool isText) override;
    std::vector<ProfileLayerState> GetLayerStates(std::u16string_view section, std::u16string_view entry,
                                                  bool isText) override;

private:
    template <typename Find>
    ProfileSource SourceOf(Find find) const;
    IProfile* UserStore() const;

    std::vector<ProfileLayer> m_layers;
};

}  // namespace brelkin
