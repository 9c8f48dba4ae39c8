// What the model-based property test cannot see: the sort order itself, the list's limits, and
// the shuffle's exact draws.
#include "core/lists/EditingOperations.h"

#include "lists/ListText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace rotaline {
namespace {

using Texts = std::vector<std::string>;

TEST(SelectableList, SortedAddPlacesEachItemBeforeItsEquals) {
    const std::pair<Texts, const char*> rows[] = {
        {{"de_b", "cs_a", "AIM_c", "Zed", "yak"}, "AIM_c cs_a de_b yak Zed"},
        {{"b", "a", "_z", "map2", "map10"}, "_z a b map10 map2"},
        {{"abc", "a", "ab", "\xe9t", "z", "\xc9t"}, "a ab abc z \xc9t \xe9t"},
        {{"Map", "map", "x", "MAP"}, "MAP map Map x"},
    };
    for (const auto& [added, expected] : rows) {
        SelectableList list(SelectionStyle::Extended, true);
        std::for_each(added.begin(), added.end(), [&](auto& item) { list.AddItem(item); });
        EXPECT_EQ(Describe(list), expected);
    }
}

TEST(SelectableList, HoldsAtMost32767ItemsAndRefusesMoreUnchanged) {
    SelectableList list(SelectionStyle::Extended, false);
    list.AddItems(Texts(SelectableList::kMaxItems - 1, "m"));
    list.AddItem("m");
    list.SetSelected(5, true);
    const std::string full = Describe(list);
    EXPECT_THROW(list.AddItem("x"), std::length_error);
    EXPECT_THROW(list.AddItem("x", 0), std::length_error);
    EXPECT_THROW(list.InsertItems({"x"}, 0), std::length_error);
    EXPECT_EQ(Describe(list), full);

    SelectableList sorted(SelectionStyle::Extended, true);
    sorted.AddItems(Texts(SelectableList::kMaxItems - 1, "m"));
    EXPECT_THROW(sorted.AddItems({"a", "b"}), std::length_error);
    sorted.AddItem("a");
    EXPECT_EQ(sorted.List(0), "a");
    EXPECT_THROW(sorted.ReplaceAll(Texts(32768, "z")), std::length_error);
    EXPECT_EQ(sorted.List(0), "a");
}

TEST(SelectableList, RefusesIndicesOutsideTheList) {
    SelectableList list(SelectionStyle::Extended, false);
    list.AddItem("a");
    EXPECT_THROW(list.List(1), std::out_of_range);
    EXPECT_THROW(list.List(-1), std::out_of_range);
    EXPECT_THROW(list.Selected(1), std::out_of_range);
    EXPECT_THROW(list.SetSelected(-1, true), std::out_of_range);
    EXPECT_THROW(list.RemoveItem(1), std::out_of_range);
    EXPECT_THROW(list.AddItem("b", 2), std::out_of_range);
    EXPECT_THROW(list.SetListIndex(1), std::out_of_range);
    EXPECT_THROW(list.SetSelectedRange(0, 1, true), std::out_of_range);
    EXPECT_EQ(Describe(list), "a");
    SelectableList sorted(SelectionStyle::Extended, true);
    EXPECT_THROW(sorted.AddItem("a", 0), std::logic_error);
}

// Hands out one draw again and again and logs the calls: "s" a reseed, "d" a draw.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(double draw) : draw_(draw) {}
    void ReseedFromClock() override { calls += 's'; }
    double Draw() override {
        calls += 'd';
        return draw_;
    }
    std::string calls;

private:
    double draw_;
};

TEST(Shuffle, ReseedsOnceDrawsOnceForEachMapButTheFirstAndPutsTheFirstInTheMiddle) {
    const double belowOne = std::nextafter(1.0, 0.0);
    const struct {
        const char* maps;
        double draw;
        const char* shuffled;
    } rows[] = {
        {"", 0.0, ""},
        {"owl*", 0.0, "owl"},
        {"owl yak", belowOne, "yak owl"},
        {"yak owl", 0.0, "owl yak"},
        {"owl bee yak", 1.0, "bee owl yak"},
        {"owl bee yak", 0.0, "yak owl bee"},
        {"a0 a1 a2 a3", 0.0, "a3 a2 a0 a1"},
        {"a0 a1 a2 a3 a4", 0.0, "a4 a3 a0 a2 a1"},
        {"a0 a1 a2 a3 a4", belowOne, "a1 a2 a0 a3 a4"},
        // Draws outside [0, 1) from a faulty generator still name a map other than the first.
        {"a0* a1 a2 a3 a4", 1.0, "a1 a2 a0 a3 a4"},
        {"a0 a1 a2 a3 a4", std::nan(""), "a4 a3 a0 a2 a1"},
        {"a0 a1 a2 a3* a4", -1.0, "a4 a3 a0 a2 a1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.maps + std::string(" drawing ") + std::to_string(row.draw));
        SelectableList lstMap(SelectionStyle::Extended, false);
        Fill(lstMap, row.maps);
        ScriptedRandom random(row.draw);
        cmdRandom_Click(lstMap, random);
        EXPECT_EQ(Describe(lstMap), row.shuffled);
        EXPECT_EQ(lstMap.ListIndex(), -1);
        const auto n = static_cast<std::size_t>(lstMap.ListCount());
        EXPECT_EQ(random.calls, n == 0 ? "" : "s" + std::string(n - 1, 'd'));
    }
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
