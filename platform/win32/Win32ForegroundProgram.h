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

// A visible top-level window of a program other than this one: the
// program's file name and the window's title.
struct OpenProgramWindow {
    std::u16string program;
    std::u16string title;
};
// Every such window now, in the order they are found.
std::vector<OpenProgramWindow> OpenProgramWindows();

}  // namespace brelkin
