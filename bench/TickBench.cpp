// Cost of one tick of the button poll without a press, against a camera that
// answers at once: interface valid, port bit 0 clear, button up. Prints the
// heap allocations per tick and the median time per tick; under callgrind the
// instructions of BenchTicks divided by the tick count give the cost in
// instructions. "paced" is the tick as the program's timer runs it: the same
// poll with the camera's calls timed on a steady clock and the period decided.
//   TickBench [ticks] [rounds] [keys|joystick|paced|both]
// Each mode runs ticks / 10 + 1 warm-up ticks and then rounds x ticks.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/NullInput.h"
#include "bench/AllocationCounter.h"
#include "engine/ButtonPoll.h"
#include "engine/PacedPoll.h"

namespace {

using namespace brelkin;

class IdleCamera final : public ICameraButton {
public:
    int32_t IsInterfaceValid() override { return 1; }
    int32_t GetPIO(uint32_t* pioValue) override {
        *pioValue = 0;
        return 0;
    }
    int32_t IsButtonPressed() override { return 0; }
};

class NullJoystick final : public IJoystickButtonSink {
public:
    void SendJoystickButton(bool pressed) override { writes += pressed ? 2 : 1; }
    void ReleaseIfHeld() override {}
    unsigned writes = 0;
};

class SteadyClock final : public IClock {
public:
    uint64_t NowMicroseconds() override {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
};

// Kept out of line so that callgrind can collect exactly the ticks.
__attribute__((noinline)) void BenchTicks(TriggerState& state, ICameraButton* camera, PressFilter& press,
                                          PacedPoll* paced, IJoystickButtonSink& joystick, IPressSender& sender,
                                          long ticks) {
    if (paced != nullptr) {
        for (long i = 0; i < ticks; ++i) paced->Tick(state, camera, press, joystick, sender);
        return;
    }
    for (long i = 0; i < ticks; ++i) PollButton(state, camera, 0, press, joystick, sender);
}

struct Figures {
    double medianNs;
    double allocationsPerTick;
    uint64_t allocations;
};

Figures Measure(TriggerMode mode, long ticks, int rounds, bool pacedTick = false) {
    TriggerState state;
    state.triggerMode = mode;
    IdleCamera camera;
    NullJoystick joystick;
    NullInput input;
    ImmediatePressSender sender{input, input};
    PressFilter press;
    SteadyClock clock;
    PacedPoll pacedPoll(clock);
    PacedPoll* paced = pacedTick ? &pacedPoll : nullptr;
    BenchTicks(state, &camera, press, paced, joystick, sender, ticks / 10 + 1);  // warm caches first
    std::vector<double> perTick;
    perTick.reserve(static_cast<size_t>(rounds));  // no allocation inside the counted span
    const uint64_t before = bench::AllocationCount();
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        BenchTicks(state, &camera, press, paced, joystick, sender, ticks);
        const auto end = std::chrono::steady_clock::now();
        perTick.push_back(std::chrono::duration<double, std::nano>(end - start).count() / ticks);
    }
    const uint64_t allocations = bench::AllocationCount() - before;
    if (input.events != 0) {
        std::fprintf(stderr, "a tick without a press sent key events\n");
        std::exit(2);
    }
    std::sort(perTick.begin(), perTick.end());
    return {perTick[perTick.size() / 2], static_cast<double>(allocations) / (static_cast<double>(ticks) * rounds),
            allocations};
}

}  // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    // The counter must see an allocation, or a zero below would mean nothing.
    const uint64_t probe = bench::AllocationCount();
    delete new volatile int(1);
    if (bench::AllocationCount() != probe + 1) {
        std::fprintf(stderr, "the allocation counter is not in effect\n");
        return 2;
    }
    std::printf("%-34s %14s %24s\n", "tick without a press (fake camera)", "median ns/tick", "allocations (all ticks)");
    const std::string which = argc > 3 ? argv[3] : "both";
    Figures keys{0, 0, 0}, joystick{0, 0, 0}, paced{0, 0, 0};
    if (which == "paced" || which == "both") {
    paced = Measure(1, ticks, rounds, true);
    std::printf("%-34s %14.1f %24llu\n", "key mode, paced (timed, period)", paced.medianNs,
                (unsigned long long)paced.allocations);
    }
    if (which == "keys" || which == "both") {
    keys = Measure(1, ticks, rounds);
    std::printf("%-34s %14.1f %24llu\n", "key mode (row 0)", keys.medianNs, (unsigned long long)keys.allocations);
    }
    if (which == "joystick" || which == "both") {
    joystick = Measure(0, ticks, rounds);
    std::printf("%-34s %14.1f %24llu\n", "joystick mode (record written)", joystick.medianNs,
                (unsigned long long)joystick.allocations);
    }
    return keys.allocations == 0 && joystick.allocations == 0 && paced.allocations == 0 ? 0 : 1;
}
