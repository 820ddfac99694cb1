#pragma once
// The Language value: a tag such as "de-DE" or "de" that chooses another
// language than Windows' display language. Read once at start-up, through the
// same layered profile as every other value (the policies, the user's own, the
// machine's, which the installer writes), and never written by the program.
#include <string>
#include <string_view>

#include "platform/Profile.h"
#include "settings/SettingsValues.h"

namespace brelkin {

// The stored tag, empty when there is none. A value no tag can be (longer than
// Windows' 85 characters of a locale name) reads as itself cut there, so that
// the log names it and the choice falls back.
std::u16string ReadLanguageSetting(IProfile& profile);

}  // namespace brelkin
