// The random generator's seed, from the Windows clocks.
#include "core/platform/Clock.h"

#include <bit>
#include <windows.h>

namespace rotaline {

namespace {

std::uint64_t WallClock() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::uint64_t PerformanceCounter() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return static_cast<std::uint64_t>(count.QuadPart);
}

} // namespace

// The wall clock differs between runs, the performance counter between calls even when the wall
// clock is set back; the call count keeps two calls within one tick of a coarse clock apart.
std::uint64_t ClockSeed() {
    static std::uint64_t calls = 0;
    ++calls;
    return WallClock() ^ std::rotl(PerformanceCounter(), 32) ^ (calls * 0x9E3779B97F4A7C15u);
}

} // namespace rotaline
