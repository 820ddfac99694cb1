// Cost of one tick without a press through the real camera binding and the
// stand-in libraries (which must sit next to this program), timed in batches
// of 1000 ticks (the performance counter under Wine counts 100 ns, too coarse
// for one tick): median and p99 over the batches in microseconds per tick,
// for each driver kind and both trigger kinds, with the heap allocations
// made by all of the ticks.
//   RealTickBench [ticks]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/NullInput.h"
#include "bench/AllocationCounter.h"
#include "device/win32/DeviceAccess.h"
#include "engine/ButtonPoll.h"
#include "engine/PacedPoll.h"
#include "platform/win32/Win32Clock.h"
#include "tools/CameraStandInState.h"

namespace {

using namespace brelkin;

double TicksToMicroseconds(LONGLONG ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) * 1e6 / frequency;
}

// The tick as Brelkin's timer runs it (the camera's calls timed, the period
// decided) when `paced`, or the bare poll.
bool Measure(const char* label, DriverKind kind, TriggerMode mode, long ticks, bool paced = false) {
    TriggerState trigger;
    trigger.triggerMode = mode;
    NullInput input;
    ImmediatePressSender sender{input, input};
    std::unique_ptr<DeviceAccess> access = CreateDeviceAccess(trigger.sequenceStep);
    CameraButtonSource& camera = access->Camera();
    camera.Kind() = kind;
    camera.OpenCamera(kind);
    if (camera.Selected() == nullptr) {
        std::fprintf(stderr, "%s: the stand-in library did not open (is it next to this program?)\n", label);
        return false;
    }
    Win32Clock clock;
    PacedPoll pacedPoll(clock);
    auto tick = [&] {
        if (paced)
            pacedPoll.Tick(trigger, camera.Selected(), camera.Press(), access->Joystick(), sender);
        else
            PollButton(trigger, camera.Selected(), 0, camera.Press(), access->Joystick(), sender);
    };
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(ticks / 1000 + 1));
    for (long i = 0; i < 1000; ++i) tick();
    const uint64_t before = bench::AllocationCount();
    constexpr long Batch = 1000;
    for (long b = 0; b < ticks / Batch; ++b) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        for (long i = 0; i < Batch; ++i) tick();
        QueryPerformanceCounter(&t1);
        samples.push_back(TicksToMicroseconds(t1.QuadPart - t0.QuadPart) / Batch);
    }
    const uint64_t allocations = bench::AllocationCount() - before;
    camera.ReleaseCameraSource();
    std::sort(samples.begin(), samples.end());
    std::printf("%-36s %10.3f %10.3f %12llu\n", label, samples[samples.size() / 2],
                samples[samples.size() * 99 / 100], static_cast<unsigned long long>(allocations));
    return input.events == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const long ticks = std::max(1000L, argc > 1 ? std::atol(argv[1]) : 200000L);
    HANDLE mapping = nullptr;
    standin::StandInState* block = standin::OpenStandInState(&mapping);
    if (block == nullptr) {
        std::fprintf(stderr, "cannot map the stand-in state block\n");
        return 2;
    }
    standin::ResetStandInState(*block);  // present, valid, port 0, button up
    std::printf("%-36s %10s %10s %12s\n", "tick without a press (stand-in)", "median us", "p99 us", "allocations");
    bool ok = Measure("WDM library, key mode", DriverWdm, 1, ticks);
    ok = Measure("BDA library, key mode", DriverBda, 1, ticks) && ok;
    ok = Measure("WDM library, joystick mode (no device)", DriverWdm, 0, ticks) && ok;
    ok = Measure("WDM library, key mode, paced", DriverWdm, 1, ticks, true) && ok;
    standin::CloseStandInState(block, mapping);
    return ok ? 0 : 1;
}
