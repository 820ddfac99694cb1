#pragma once
// The profile that the program reads: the user's own values over the
// machine-wide defaults that an administrator deployed. Value by value, the
// user's wins where it is stored and readable; the machine's is used where the
// user's is missing or damaged; the caller's default otherwise. Writes go to
// the user's store only, so the machine's is never changed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Profile.h"

namespace brelkin {

class LayeredProfile final : public IProfile {
public:
    // Both stores outlive the layered profile.
    LayeredProfile(IProfile& user, IProfile& machine);

    std::optional<uint32_t> FindProfileInt(std::u16string_view section,
                                           std::u16string_view entry) override;
    std::optional<std::u16string> FindProfileString(std::u16string_view section,
                                                    std::u16string_view entry) override;
    ProfileSource ProfileIntSource(std::u16string_view section, std::u16string_view entry) override;
    ProfileSource ProfileStringSource(std::u16string_view section,
                                      std::u16string_view entry) override;
    std::optional<std::u16string> FindMachineProfileString(std::u16string_view section,
                                                           std::u16string_view entry) override;

    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                         uint32_t value) override;
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override;

    // The user's entries, then the machine's that the user has no entry of the
    // same name for (names compared as the registry does, without case), so a
    // deployed Programs rule applies until the user makes one of their own.
    std::vector<std::u16string> GetProfileEntries(std::u16string_view section,
                                                  std::size_t limit) override;
    // The user's store only: a machine entry is the administrator's to remove.
    bool DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) override;
    // The user's value's state, or the machine's where the user has none.
    ProfileValueState GetValueState(std::u16string_view section, std::u16string_view entry,
                                    bool isText) override;

private:
    IProfile& m_user;
    IProfile& m_machine;
};

}  // namespace brelkin
