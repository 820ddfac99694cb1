#pragma once
// Checks run on arbitrary input by the fuzz targets and by the replay test.
// Each returns the first broken invariant as text, or the empty text when the
// input was handled soundly.
#include <cstddef>
#include <cstdint>
#include <string>

namespace brelkin::fuzz {

// The input is read as a settings image: for each of the nine integer values a
// presence byte and 32 bits, then the DefaultKey (absent, a row name, the
// joystick name or arbitrary UTF-16). The image is loaded, saved, loaded
// again and saved again.
std::string CheckSettingsImage(const uint8_t* data, size_t size);

// The input is read as pairs of a 16-bit key code and a 16-bit mask.
std::string CheckKeyChordNames(const uint8_t* data, size_t size);

}  // namespace brelkin::fuzz
