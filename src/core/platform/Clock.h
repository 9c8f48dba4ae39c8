// The system clock, as a seed for the random generator.
#pragma once

#include <cstdint>

namespace rotaline {

// A value that changes from one call to the next: the clock's finest count.
std::uint64_t ClockSeed();

} // namespace rotaline
