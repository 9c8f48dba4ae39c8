// What the property test's model cannot say for itself: the list's limits, and the shuffle's
// exact order for known draws.
#include "core/lists/EditingOperations.h"

#include "lists/ListText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace rotaline {
namespace {

using Texts = std::vector<std::string>;

std::string Shown(const SelectableList& list) {
    return model::Describe(model::Snapshot(list));
}

TEST(SelectableList, RefusesA32768thItemAndIndicesOutsideTheListUnchanged) {
    SelectableList list(SelectionStyle::Extended, false);
    list.AddItems(Texts(SelectableList::kMaxItems - 1, "m"));
    list.AddItem("m");
    list.SetSelected(5, true);
    const std::string full = Shown(list);
    EXPECT_THROW(list.AddItem("x"), std::length_error);
    EXPECT_THROW(list.AddItem("x", 0), std::length_error);
    EXPECT_THROW(list.InsertItems({"x"}, 0), std::length_error);
    EXPECT_THROW(list.ReplaceAll(Texts(32768, "z")), std::length_error);
    EXPECT_THROW(list.List(-1), std::out_of_range);
    EXPECT_THROW(list.Selected(32767), std::out_of_range);
    EXPECT_THROW(list.RemoveItem(32767), std::out_of_range);
    EXPECT_THROW(list.SetListIndex(-2), std::out_of_range);
    EXPECT_THROW(list.SetSelectedRange(1, 0, true), std::out_of_range);
    EXPECT_EQ(Shown(list), full);
    SelectableList sorted(SelectionStyle::Extended, true);
    sorted.AddItems(Texts(SelectableList::kMaxItems - 1, "m"));
    EXPECT_THROW(sorted.AddItems({"a", "b"}), std::length_error);
    EXPECT_THROW(sorted.AddItem("a", 0), std::logic_error);
    sorted.AddItem("a");
    EXPECT_EQ(sorted.List(0), "a");
}

TEST(Shuffle, PutsTheFirstMapInTheMiddleAndTheOthersAsTheDrawsSay) {
    const double belowOne = std::nextafter(1.0, 0.0);
    const struct {
        int maps;
        double draw;
        const char* shuffled;
    } rows[] = {
        {1, 0.0, "a0 | -1"},
        {2, belowOne, "a1 a0 | -1"},
        {3, 0.0, "a2 a0 a1 | -1"},
        {4, 0.0, "a3 a2 a0 a1 | -1"},
        {5, 0.0, "a4 a3 a0 a2 a1 | -1"},
        {5, belowOne, "a1 a2 a0 a3 a4 | -1"},
        {5, 0.5, "a1 a4 a0 a2 a3 | -1"},
    };
    for (const auto& row : rows) {
        SelectableList lstMap(SelectionStyle::Extended, false);
        for (int k = 0; k < row.maps; ++k) {
            lstMap.AddItem("a" + std::to_string(k));
        }
        model::Draws same([&] { return row.draw; });
        cmdRandom_Click(lstMap, same);
        EXPECT_EQ(Shown(lstMap), row.shuffled) << row.maps << " maps drawing " << row.draw;
    }
}

} // namespace
} // namespace rotaline
