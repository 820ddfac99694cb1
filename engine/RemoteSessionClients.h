#pragma once
// The remote-desktop clients: keys sent to one of them go on to the program
// in front of a session on another computer.
#include <string_view>

namespace brelkin {

// The file name of `imagePath` when it is a remote-desktop client, compared
// without regard to case; empty otherwise.
std::u16string_view RemoteSessionClient(std::u16string_view imagePath);

}  // namespace brelkin
