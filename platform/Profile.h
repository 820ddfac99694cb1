#pragma once
// The application's per-user profile: integers and one kind of text, grouped in
// sections, as the framework's profile functions offer them.
#include <cstdint>
#include <string>
#include <string_view>

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

// Whether a stored value is there and readable as the kind asked for.
enum class ProfileValueState {
    Unknown,  // the profile cannot tell
    Missing,
    Stored,
    Damaged,  // there, but of another type or size, too long, or unreadable
};

class IProfile {
public:
    virtual ~IProfile() = default;

    // The stored 32-bit value, or defaultValue when the value is missing, has
    // another type or size, or cannot be read.
    virtual uint32_t GetProfileInt(std::u16string_view section, std::u16string_view entry,
                                   uint32_t defaultValue) = 0;

    // The stored text, or defaultValue when it is missing, is not text, is
    // longer than the store accepts, or cannot be read.
    virtual std::u16string GetProfileString(std::u16string_view section,
                                            std::u16string_view entry,
                                            std::u16string_view defaultValue) = 0;

    // True only when the value was stored.
    virtual bool WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                 uint32_t value) = 0;
    virtual bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view value) = 0;

    // For the support log: whether the reads above found the value or fell
    // back to their default. A profile that cannot tell says Unknown.
    virtual ProfileValueState GetValueState(std::u16string_view section, std::u16string_view entry,
                                            bool isText) {
        return ProfileValueState::Unknown;
    }
};

}  // namespace brelkin
