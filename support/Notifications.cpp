#include "support/Notifications.h"

#include "support/Utf8.h"

namespace brelkin {

void Notifications::Notify(std::u16string_view text) {
    m_log.Write((m_showBalloons ? "Notification: " : "Notification (balloons off): ") + ToUtf8(text));
    if (m_showBalloons && !m_balloons.ShowBalloon(text)) {
        m_log.Write("Notification not shown: too many balloons wait to be shown");
    }
}

}  // namespace brelkin
