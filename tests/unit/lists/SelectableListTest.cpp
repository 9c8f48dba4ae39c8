// The list model's sort order and limits; BulkMembersTest checks placement and flags against
// a reference model.
#include "core/lists/SelectableList.h"

#include "lists/ListText.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace rotaline {
namespace {

TEST(SelectableList, SortedAddPlacesEachItemBeforeItsEquals) {
    struct Row {
        const char* name;
        std::vector<std::string> added;
        const char* expected;
    };
    const Row rows[] = {
        {"letter case ignored", {"de_b", "cs_a", "AIM_c"}, "AIM_c cs_a de_b"},
        {"underscore before letters", {"b", "a", "_z"}, "_z a b"},
        {"digits compare as bytes", {"map2", "map10"}, "map10 map2"},
        {"shorter prefix first", {"abc", "a", "ab"}, "a ab abc"},
        {"bytes above 127 after letters", {"\xe9t", "z", "\xc9t"}, "z \xc9t \xe9t"},
        {"equal items in reverse adding order", {"Map", "map", "x", "MAP"}, "MAP map Map x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SelectableList list(SelectionStyle::Extended, true);
        for (const std::string& item : row.added) {
            list.AddItem(item);
        }
        EXPECT_EQ(Describe(list), row.expected);
    }
}

TEST(SelectableList, HoldsAtMost32767ItemsAndRefusesMoreUnchanged) {
    SelectableList list(SelectionStyle::Extended, false);
    for (int i = 0; i < SelectableList::kMaxItems; ++i) {
        list.AddItem("m" + std::to_string(i));
    }
    list.SetSelected(5, true);
    const std::string full = Describe(list);
    EXPECT_THROW(list.AddItem("x"), std::length_error);
    EXPECT_THROW(list.AddItem("x", 0), std::length_error);
    EXPECT_THROW(list.AddItems({"x"}), std::length_error);
    EXPECT_THROW(list.InsertItems({"x"}, 0), std::length_error);
    EXPECT_EQ(Describe(list), full);

    SelectableList sorted(SelectionStyle::Extended, true);
    sorted.AddItems(std::vector<std::string>(SelectableList::kMaxItems - 1, "m"));
    EXPECT_THROW(sorted.AddItems({"a", "b"}), std::length_error);
    EXPECT_EQ(sorted.ListCount(), SelectableList::kMaxItems - 1);
    sorted.AddItem("a");
    EXPECT_EQ(sorted.List(0), "a");
    EXPECT_THROW(sorted.ReplaceAll(std::vector<std::string>(32768, "z")), std::length_error);
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
    EXPECT_EQ(sorted.ListCount(), 0);
}

} // namespace
} // namespace rotaline
