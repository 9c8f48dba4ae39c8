// The random generator of the shuffle: uniform draws in [0, 1), reseeded from the clock.
#pragma once

#include <memory>

namespace rotaline {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void ReseedFromClock() = 0;
    // A number u with 0 <= u < 1.
    virtual double Draw() = 0;
};

// A Mersenne Twister seeded from the system clock.
std::unique_ptr<RandomSource> MakeClockRandomSource();

} // namespace rotaline
