#include "engine/GestureReader.h"

namespace brelkin {

namespace {
uint64_t Micro(uint32_t milliseconds) { return uint64_t{milliseconds} * 1000; }
}  // namespace

Gesture GestureReader::Expire(const GestureTimes& times, uint64_t now) {
    if (m_phase != Phase::WaitingSecond) return Gesture::None;
    if (times.doublePress && now - m_since <= Micro(times.doublePressMs)) return Gesture::None;
    m_phase = Phase::Idle;
    return Gesture::Press;
}

Gesture GestureReader::Lost(const GestureTimes& times, uint64_t now) { return Expire(times, now); }

Gesture GestureReader::Read(const GestureTimes& times, bool down, uint64_t now) {
    switch (m_phase) {
    case Phase::Idle:
        if (down) {
            m_phase = Phase::Held;
            m_since = now;
        }
        return Gesture::None;
    case Phase::Held:
        if (down) {
            // Judged first, so that the first half of a double press held to
            // the long-press time is a long press.
            if (times.longPress && now - m_since >= Micro(times.longPressMs)) {
                m_phase = Phase::Spent;
                return Gesture::LongPress;
            }
            return Gesture::None;
        }
        if (times.doublePress) {
            m_phase = Phase::WaitingSecond;
            m_since = now;
            return Gesture::None;
        }
        m_phase = Phase::Idle;
        return Gesture::Press;
    case Phase::Spent:
        if (!down) m_phase = Phase::Idle;
        return Gesture::None;
    case Phase::WaitingSecond:
        if (!down) return Expire(times, now);
        if (times.doublePress && now - m_since <= Micro(times.doublePressMs)) {
            m_phase = Phase::Spent;
            return Gesture::DoublePress;
        }
        // Too late for a double press: the first press goes out now, and
        // this reading starts a press of its own.
        m_phase = Phase::Held;
        m_since = now;
        return Gesture::Press;
    }
    return Gesture::None;
}

}  // namespace brelkin
