#pragma once
// What shows a notification: the tray icon's balloon in the program, a
// recording in tests.
#include <string_view>

namespace brelkin {

class IBalloonTarget {
public:
    virtual ~IBalloonTarget() = default;
    // false when the text is not kept for showing (too many already wait).
    virtual bool ShowBalloon(std::u16string_view text) = 0;
};

}  // namespace brelkin
