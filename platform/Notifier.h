#pragma once
// Notifications: a short text in plain words that names the cause of a
// problem and the next step, shown to the user without stopping anything.
#include <string_view>

namespace brelkin {

class INotifier {
public:
    virtual ~INotifier() = default;
    virtual void Notify(std::u16string_view text) = 0;
};

class NullNotifier final : public INotifier {
public:
    void Notify(std::u16string_view) override {}
};

}  // namespace brelkin
