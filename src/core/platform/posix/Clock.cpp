// The random generator's seed, from the system clocks.
#include "core/platform/Clock.h"

#include <bit>
#include <time.h>

namespace rotaline {

namespace {

std::uint64_t Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
           static_cast<std::uint64_t>(now.tv_nsec);
}

} // namespace

// The wall clock differs between runs, the monotonic clock between calls even when the wall
// clock is set back; the call count keeps two calls within one tick of a coarse clock apart.
std::uint64_t ClockSeed() {
    static std::uint64_t calls = 0;
    ++calls;
    return Nanoseconds(CLOCK_REALTIME) ^ std::rotl(Nanoseconds(CLOCK_MONOTONIC), 32) ^
           (calls * 0x9E3779B97F4A7C15u);
}

} // namespace rotaline
