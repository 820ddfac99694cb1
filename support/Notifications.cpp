#include "support/Notifications.h"

#include "support/SupportTexts.h"

namespace brelkin {

void Notifications::Notify(std::u16string_view text) {
    m_log.Write(NotificationLine(m_showBalloons, text));
    if (m_showBalloons && !m_balloons.ShowBalloon(text)) {
        m_log.Write(BalloonQueueFullLine());
    }
}

}  // namespace brelkin
