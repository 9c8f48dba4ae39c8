// The clock seed differs from one call to the next.
#include "core/platform/Clock.h"

#include <gtest/gtest.h>

#include <set>

TEST(ClockSeed, ChangesFromCallToCall) {
    std::set<std::uint64_t> seeds;
    for (int i = 0; i < 1000; ++i) {
        seeds.insert(rotaline::ClockSeed());
    }
    EXPECT_EQ(seeds.size(), 1000u);
}
