#pragma once
// The program in front: the image of the process that owns the foreground
// window, and that window with its title. Asked only when a press has fired,
// never on an idle tick.
#include <cstddef>
#include <cstdint>

namespace brelkin {

// Enough for any ordinary image path; a longer one counts as unreadable.
constexpr std::size_t ImagePathCapacity = 1024;
// A longer title is read as its first WindowTitleCapacity units.
constexpr std::size_t WindowTitleCapacity = 1024;

class IForegroundProgram {
public:
    virtual ~IForegroundProgram() = default;

    // Writes the full image path (no NUL needed) into `buffer` and returns its
    // length; 0 when there is no foreground window, its process cannot be
    // queried, or the path does not fit. Allocates nothing.
    virtual std::size_t ForegroundImagePath(char16_t* buffer, std::size_t capacity) = 0;

    // The foreground window as an opaque handle (0: there is none) and its
    // title, written into `title` (no NUL) with its length in `titleLength`.
    // A program's own dialog counts as the window that owns it, whose title
    // this is. Sends no message, so a hung window cannot hold it up.
    // Allocates nothing.
    virtual std::uintptr_t ForegroundWindow(char16_t* title, std::size_t capacity, std::size_t& titleLength) = 0;
};

}  // namespace brelkin
