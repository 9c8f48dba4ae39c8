// The cycle's shuffle, with scripted draws and with the clock-seeded generator.
#include "core/lists/EditingOperations.h"

#include "lists/ListText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rotaline {
namespace {

using Texts = std::vector<std::string>;

// Hands out the draws a test asks for and logs every call.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::function<double()> next) : next_(std::move(next)) {}
    void ReseedFromClock() override { calls.push_back('s'); }
    double Draw() override {
        calls.push_back('d');
        return next_();
    }
    std::string calls;

private:
    std::function<double()> next_;
};

Texts Shuffled(const Texts& maps, std::function<double()> draws) {
    SelectableList lstMap(SelectionStyle::Extended, false);
    lstMap.AddItems(maps);
    ScriptedRandom random(std::move(draws));
    cmdRandom_Click(lstMap, random);
    return Items(lstMap);
}

TEST(Shuffle, ReseedsOnceAndDrawsOnceForEachMapButTheFirst) {
    for (int n : {0, 1, 2, 5}) {
        SCOPED_TRACE(n);
        Texts maps;
        for (int i = 0; i < n; ++i) {
            maps.push_back("m" + std::to_string(i));
        }
        SelectableList lstMap(SelectionStyle::Extended, false);
        lstMap.AddItems(maps);
        if (n > 0) {
            lstMap.SetSelected(0, true);
        }
        ScriptedRandom random([] { return 0.5; });
        cmdRandom_Click(lstMap, random);
        EXPECT_EQ(random.calls, n == 0 ? "" : "s" + std::string(n - 1, 'd'));
        EXPECT_EQ(lstMap.SelCount(), 0);
        EXPECT_EQ(lstMap.ListIndex(), -1);
    }
}

TEST(Shuffle, PutsTheFirstMapInTheMiddle) {
    const auto zero = [] { return 0.0; };
    const auto one = [] { return 1.0; };
    const auto belowOne = [] { return std::nextafter(1.0, 0.0); };
    const Texts five = {"a0", "a1", "a2", "a3", "a4"};
    EXPECT_EQ(Shuffled({"owl"}, zero), Texts{"owl"});
    EXPECT_EQ(Shuffled({"owl", "yak"}, belowOne), (Texts{"yak", "owl"}));
    EXPECT_EQ(Shuffled({"yak", "owl"}, zero), (Texts{"owl", "yak"}));
    EXPECT_EQ(Shuffled(five, zero), (Texts{"a4", "a3", "a0", "a2", "a1"}));
    EXPECT_EQ(Shuffled(five, one), (Texts{"a1", "a2", "a0", "a3", "a4"}));
    EXPECT_EQ(Shuffled(five, belowOne), (Texts{"a1", "a2", "a0", "a3", "a4"}));
    // Draws outside [0, 1) from a faulty generator still name a map other than the first.
    EXPECT_EQ(Shuffled(five, [] { return std::nan(""); }), Shuffled(five, zero));
    EXPECT_EQ(Shuffled(five, [] { return -1.0; }), Shuffled(five, zero));
    EXPECT_EQ(Shuffled({"owl", "bee", "yak"}, one), (Texts{"bee", "owl", "yak"}));
    EXPECT_EQ(Shuffled({"owl", "bee", "yak"}, zero), (Texts{"yak", "owl", "bee"}));
    EXPECT_EQ(Shuffled({"a0", "a1", "a2", "a3"}, zero), (Texts{"a3", "a2", "a0", "a1"}));
}

TEST(Shuffle, ClockSeededGeneratorKeepsEveryMapAndTheMiddleRule) {
    auto random = MakeClockRandomSource();
    const Texts maps = {"a0", "a1", "a2", "a3", "a4", "a5", "a6"};
    for (int click = 0; click < 200; ++click) {
        const double u = random->Draw();
        ASSERT_TRUE(u >= 0.0 && u < 1.0) << u;
        SelectableList lstMap(SelectionStyle::Extended, false);
        lstMap.AddItems(maps);
        cmdRandom_Click(lstMap, *random);
        Texts after = Items(lstMap);
        ASSERT_EQ(after[3], "a0");
        std::sort(after.begin(), after.end());
        ASSERT_EQ(after, maps);
    }
}

} // namespace
} // namespace rotaline
