#pragma once
// Notifications: a short text in plain words that names the cause of a
// problem and the next step, shown to the user without stopping anything.
#include <string_view>

namespace brelkin {

// `logged` goes to the support log, which stays English; `shown` is the same
// text in the language the user reads.
class INotifier {
public:
    virtual ~INotifier() = default;
    virtual void Notify(std::u16string_view logged, std::u16string_view shown) = 0;
    void Notify(std::u16string_view text) { Notify(text, text); }
};

class NullNotifier final : public INotifier {
public:
    using INotifier::Notify;
    void Notify(std::u16string_view, std::u16string_view) override {}
};

}  // namespace brelkin
