#include "settings/LanguageSetting.h"

namespace brelkin {

namespace {
constexpr std::size_t MaxTagLength = 85;  // LOCALE_NAME_MAX_LENGTH
}

std::u16string ReadLanguageSetting(IProfile& profile) {
    std::u16string tag = profile.GetProfileString(settings_names::Section, settings_names::Language, u"");
    if (tag.size() > MaxTagLength) tag.resize(MaxTagLength);
    return tag;
}

}  // namespace brelkin
