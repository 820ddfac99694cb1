#pragma once
// The program in front: the image of the process that owns the foreground
// window. Asked only when a press has fired, never on an idle tick.
#include <cstddef>

namespace brelkin {

// Enough for any ordinary image path; a longer one counts as unreadable.
constexpr std::size_t ImagePathCapacity = 1024;

class IForegroundProgram {
public:
    virtual ~IForegroundProgram() = default;

    // Writes the full image path (no NUL needed) into `buffer` and returns its
    // length; 0 when there is no foreground window, its process cannot be
    // queried, or the path does not fit. Allocates nothing.
    virtual std::size_t ForegroundImagePath(char16_t* buffer, std::size_t capacity) = 0;
};

}  // namespace brelkin
