#pragma once
// The notifications of the program: every one is written to the support log,
// and shown as a balloon unless the user turned balloons off.
#include "platform/Notifier.h"
#include "platform/SupportLog.h"
#include "support/BalloonTarget.h"

namespace brelkin {

class Notifications final : public INotifier {
public:
    Notifications(ISupportLog& log, IBalloonTarget& balloons, bool showBalloons = true)
        : m_log(log), m_balloons(balloons), m_showBalloons(showBalloons) {}

    using INotifier::Notify;
    void Notify(std::u16string_view logged, std::u16string_view shown) override;
    void SetShowBalloons(bool show) { m_showBalloons = show; }

private:
    ISupportLog& m_log;
    IBalloonTarget& m_balloons;
    bool m_showBalloons;
};

}  // namespace brelkin
