#pragma once
// UTF-16 from the system and the settings, as UTF-8 for the support log.
#include <string>
#include <string_view>

namespace brelkin {

// A lone surrogate becomes U+FFFD, so that a damaged name still logs.
std::string ToUtf8(std::u16string_view text);
// The way back, for the log's lines shown in a window; a byte that starts no
// whole sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

}  // namespace brelkin
