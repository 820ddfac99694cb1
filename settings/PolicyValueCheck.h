#pragma once
// Whether a value that a policy holds can be used as it stands. A template
// from a newer version or a typing error can deploy a mode that no row has or
// a number outside its range; such a value counts as damaged in its store, so
// that the value passes to the next source as a value of the wrong type does,
// instead of locking the user to a substitute.
#include <cstdint>
#include <string_view>

namespace brelkin {

// Whether the two below can refuse this value at all: only those values are
// read again to tell their state.
bool PolicyValueChecked(std::u16string_view section, std::u16string_view entry);
// Values with no range of their own are usable whatever they hold.
bool UsablePolicyNumber(std::u16string_view section, std::u16string_view entry, uint32_t value);
bool UsablePolicyText(std::u16string_view section, std::u16string_view entry, std::u16string_view value);

}  // namespace brelkin
