#include "support/Notifications.h"

#include "support/SupportTexts.h"

namespace brelkin {

void Notifications::Notify(std::u16string_view logged, std::u16string_view shown) {
    m_log.Write(NotificationLine(m_showBalloons, logged));
    if (m_showBalloons && !m_balloons.ShowBalloon(shown)) {
        m_log.Write(BalloonQueueFullLine());
    }
}

}  // namespace brelkin
