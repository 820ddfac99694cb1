#pragma once
// Tells a press from a long press and a double press. With a long or a double
// press set, a press is judged from the button's readings over time instead of
// at the moment it goes down: a press that reaches the long-press time while
// still down is a long press, a second press soon after a release is a double
// press, and any other press is sent once it can no longer be either.
#include <cstdint>

namespace brelkin {

// Which action a press was read as. `None`: nothing to send yet.
enum class Gesture : uint8_t { None, Press, LongPress, DoublePress };

constexpr uint32_t LongPressTimeDefault = 700;
constexpr uint32_t LongPressTimeMin = 300;
constexpr uint32_t LongPressTimeMax = 3000;
constexpr uint32_t DoublePressTimeDefault = 400;
constexpr uint32_t DoublePressTimeMin = 150;
constexpr uint32_t DoublePressTimeMax = 1000;

// Which gestures are set and their times in milliseconds.
struct GestureTimes {
    bool longPress = false;
    bool doublePress = false;
    uint32_t longPressMs = LongPressTimeDefault;
    uint32_t doublePressMs = DoublePressTimeDefault;
};

class GestureReader {
public:
    // One tick that read the button, at `now` µs of a monotonic clock.
    Gesture Read(const GestureTimes& times, bool down, uint64_t now);
    // A tick without a reading (a busy camera, a lost reading): the button
    // may have moved or not, so a press neither ends nor goes on being held;
    // only the wait for a second press runs out, as it is a matter of time.
    Gesture Lost(const GestureTimes& times, uint64_t now);
    // The camera went away, or the gestures changed: whatever was being
    // judged is dropped unsent.
    void Drop() { m_phase = Phase::Idle; }
    bool Judging() const { return m_phase != Phase::Idle; }

private:
    enum class Phase : uint8_t {
        Idle,
        Held,           // down, not yet anything
        Spent,          // down, its gesture already sent: the release sends nothing
        WaitingSecond,  // released, a second press would make it a double press
    };
    Gesture Expire(const GestureTimes& times, uint64_t now);

    Phase m_phase = Phase::Idle;
    uint64_t m_since = 0;  // µs: the press's first down reading, or the release
};

}  // namespace brelkin
