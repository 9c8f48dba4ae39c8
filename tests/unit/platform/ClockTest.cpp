// The clock seed differs from one call to the next.
#include "core/platform/Clock.h"

#include <gtest/gtest.h>

#include <set>

TEST(ClockSeed, ChangesFromCallToCall) {
    std::set<std::uint64_t> seeds;
    while (seeds.size() < 1000 && seeds.insert(rotaline::ClockSeed()).second) {
    }
    EXPECT_EQ(seeds.size(), 1000u);
}
