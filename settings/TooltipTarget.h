#pragma once
#include <string_view>

namespace brelkin {

// Whatever shows the mode to the user; the tray icon in the program.
class ITooltipTarget {
public:
    virtual ~ITooltipTarget() = default;
    virtual void SetTooltipText(std::u16string_view text) = 0;
};

}  // namespace brelkin
