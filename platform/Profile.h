#pragma once
// The application's per-user profile: integers and one kind of text, grouped in
// sections, as the framework's profile functions offer them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// <windows.h> maps these names to the win.ini functions GetProfileIntW and so
// on, which would rename the members below in Win32 code only. Win32 files
// include this header after <windows.h>, so the names stay as written.
#ifdef GetProfileInt
#undef GetProfileInt
#endif
#ifdef GetProfileString
#undef GetProfileString
#endif
#ifdef WriteProfileString
#undef WriteProfileString
#endif

namespace brelkin {

// Where a value that the profile gives comes from, in the order in which the
// sources are asked: a policy the administrator enforces, the user's own
// store, a policy the administrator recommends, the machine-wide defaults that
// the installers write, or the caller's built-in default.
enum class ProfileSource { Enforced, User, Recommended, Machine, Default };
// Whether a stored value is there and readable as the kind asked for.
enum class ProfileValueState {
    Unknown,  // the profile cannot tell
    Missing,
    Stored,
    Damaged,  // there, but of another type or size, too long, or unreadable
};

// One store's say on a value, for the support log: the store's role, whether
// it is the computer's (HKEY_LOCAL_MACHINE) or the user's, and the value's state there.
struct ProfileLayerState {
    ProfileSource role = ProfileSource::User;
    bool computer = false;
    ProfileValueState state = ProfileValueState::Unknown;
};

class IProfile {
public:
    virtual ~IProfile() = default;

    // The stored 32-bit value, or defaultValue when the value is missing, has
    // another type or size, or cannot be read.
    virtual uint32_t GetProfileInt(std::u16string_view section, std::u16string_view entry,
                                   uint32_t defaultValue) {
        return FindProfileInt(section, entry).value_or(defaultValue);
    }

    // The stored text, or defaultValue when it is missing, is not text, is
    // longer than the store accepts, or cannot be read.
    virtual std::u16string GetProfileString(std::u16string_view section,
                                            std::u16string_view entry,
                                            std::u16string_view defaultValue) {
        std::optional<std::u16string> text = FindProfileString(section, entry);
        return text ? std::move(*text) : std::u16string(defaultValue);
    }

    // The stored value, or nothing exactly where the Get functions above give
    // their default: what a profile layered over this one needs to fall back.
    virtual std::optional<uint32_t> FindProfileInt(std::u16string_view section,
                                                   std::u16string_view entry) = 0;
    virtual std::optional<std::u16string> FindProfileString(std::u16string_view section,
                                                            std::u16string_view entry) = 0;

    // Where GetProfileInt / GetProfileString take the value from. A single
    // store counts as the user's; the layered profile tells its layers apart.
    virtual ProfileSource ProfileIntSource(std::u16string_view section, std::u16string_view entry) {
        return FindProfileInt(section, entry) ? ProfileSource::User : ProfileSource::Default;
    }
    virtual ProfileSource ProfileStringSource(std::u16string_view section,
                                              std::u16string_view entry) {
        return FindProfileString(section, entry) ? ProfileSource::User : ProfileSource::Default;
    }

    // The deployed default beneath the user's text value (a recommended policy
    // or the machine-wide default): what the reads give once the user's value
    // is removed. A single store has none.
    virtual std::optional<std::u16string> FindMachineProfileString(std::u16string_view section,
                                                                   std::u16string_view entry) {
        return std::nullopt;
    }

    // True only when the value was stored.
    virtual bool WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                 uint32_t value) = 0;
    virtual bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view value) = 0;

    // The names of the values in a section, at most `limit` of them, in the
    // store's order; empty when the section is missing or cannot be read.
    virtual std::vector<std::u16string> GetProfileEntries(std::u16string_view section,
                                                          std::size_t limit) = 0;
    // True when the value is not stored afterwards, also when it never was.
    virtual bool DeleteProfileEntry(std::u16string_view section, std::u16string_view entry) = 0;
    // For the support log: whether the reads above found the value or fell
    // back to their default. A profile that cannot tell says Unknown.
    virtual ProfileValueState GetValueState(std::u16string_view section, std::u16string_view entry,
                                            bool isText) {
        return ProfileValueState::Unknown;
    }
    // The value's state in each store, in the order in which they are asked:
    // for the support log, and to tell which values a policy enforces.
    virtual std::vector<ProfileLayerState> GetLayerStates(std::u16string_view section, std::u16string_view entry,
                                                          bool isText) {
        return {{ProfileSource::User, false, GetValueState(section, entry, isText)}};
    }
};

}  // namespace brelkin
