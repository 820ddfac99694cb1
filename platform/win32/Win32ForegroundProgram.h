#pragma once
// The program in front and the programs with a window open, from the window
// manager and the process table.
#include <string>
#include <vector>

#include "platform/ForegroundProgram.h"

namespace brelkin {

class Win32ForegroundProgram final : public IForegroundProgram {
public:
    std::size_t ForegroundImagePath(char16_t* buffer, std::size_t capacity) override;
    std::uintptr_t ForegroundWindow(char16_t* title, std::size_t capacity, std::size_t& titleLength) override;
};

// The file names of the programs, other than this one, that have a visible
// top-level window now, each once, in the order their windows are found.
std::vector<std::u16string> ProgramsWithOpenWindows();

}  // namespace brelkin
