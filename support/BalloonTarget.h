#pragma once
// What shows a notification: the tray icon's balloon in the program, a
// recording in tests.
#include <string_view>

namespace brelkin {

class IBalloonTarget {
public:
    virtual ~IBalloonTarget() = default;
    virtual void ShowBalloon(std::u16string_view text) = 0;
};

}  // namespace brelkin
