// The shuffle's generator: a Mersenne Twister that the clock reseeds.
#include "core/lists/RandomSource.h"

#include "core/platform/Clock.h"

#include <cmath>
#include <random>

namespace rotaline {

namespace {

class ClockRandomSource final : public RandomSource {
public:
    ClockRandomSource() : engine_(ClockSeed()) {}

    void ReseedFromClock() override { engine_.seed(ClockSeed()); }

    double Draw() override {
        const double u = std::generate_canonical<double, 53>(engine_);
        // Some standard libraries round the canonical value up to 1.0 now and then.
        return u < 1.0 ? u : std::nextafter(1.0, 0.0);
    }

private:
    std::mt19937_64 engine_;
};

} // namespace

std::unique_ptr<RandomSource> MakeClockRandomSource() {
    return std::make_unique<ClockRandomSource>();
}

} // namespace rotaline
