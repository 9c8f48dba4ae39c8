// Moving maps between the editor's lists, the count headings, and Up and Down in the cycle.
#include "core/lists/EditingOperations.h"

#include "lists/ListText.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

TEST(MoveAndRemove, CarrySelectedMapsOverAndRewriteTheHeadings) {
    struct Row {
        const char* name;
        bool remove;
        const char *available, *cycle, *availableAfter, *cycleAfter, *heading1, *heading2;
    };
    const Row rows[] = {
        {"move to the head in list order", false, "ant bee* cat dog*", "owl yak*", "ant cat",
         "bee dog owl yak*", "All Half Life Maps (2 maps)", "Map Cycle File (4 maps)"},
        {"remove to sorted places", true, "cat dog", "owl bee* yak ant*", "ant bee cat dog",
         "owl yak", "All Half Life Maps (4 maps)", "Map Cycle File (2 maps)"},
        {"move every map", false, "ant*", "", "", "ant", "All Half Life Maps (0 maps)",
         "Map Cycle File (1 maps)"},
        {"nothing selected", true, "ant*", "owl", "ant*", "owl", "All Half Life Maps (1 maps)",
         "Map Cycle File (1 maps)"},
        {"a map twice in the cycle", true, "", "owl* owl*", "owl owl", "",
         "All Half Life Maps (2 maps)", "Map Cycle File (0 maps)"},
        {"equal maps in the walk's order", true, "MAP", "Map* map*", "Map map MAP", "",
         "All Half Life Maps (3 maps)", "Map Cycle File (0 maps)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EditorLists lists;
        Fill(lists.lstBSP, row.available);
        Fill(lists.lstMap, row.cycle);
        int redraws = 0;
        lists.Label2.OnChange([&](const std::string&) { ++redraws; });
        row.remove ? cmdRemove_Click(lists) : cmdMove_Click(lists);
        EXPECT_EQ(Describe(lists.lstBSP), row.availableAfter);
        EXPECT_EQ(Describe(lists.lstMap), row.cycleAfter);
        EXPECT_EQ(lists.Label1.Text(), row.heading1);
        EXPECT_EQ(lists.Label2.Text(), row.heading2);
        EXPECT_EQ(redraws, 1);
    }
}

TEST(UpAndDown, MoveTheFirstSelectedMapOnePlace) {
    struct Row {
        const char* name;
        bool up;
        int clicks;
        const char* cycle;
        int current;
        const char* after;
        int currentAfter;
    };
    const Row rows[] = {
        {"up", true, 1, "owl bee yak*", -1, "owl yak* bee", 1},
        {"up until first", true, 3, "owl bee yak*", -1, "yak* owl bee", 0},
        {"down until last", false, 3, "owl* bee yak", -1, "bee yak owl*", 2},
        {"up, first and third selected", true, 1, "owl* bee yak*", 0, "owl yak* bee", 1},
        {"up, first two selected", true, 1, "owl* bee* yak", 2, "bee* owl yak", 0},
        {"down, first two selected", false, 1, "owl* bee* yak", 2, "bee owl* yak", 1},
        {"up, only the first selected", true, 1, "owl* bee yak", 2, "owl* bee yak", 2},
        {"down, only the last selected", false, 1, "owl bee yak*", 1, "owl bee yak*", 1},
        {"nothing selected", true, 1, "owl bee yak", 1, "owl bee yak", 1},
        {"one map", false, 1, "owl*", 0, "owl*", 0},
        {"empty cycle", true, 1, "", -1, "", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SelectableList lstMap(SelectionStyle::Extended, false);
        Fill(lstMap, row.cycle);
        lstMap.SetListIndex(static_cast<std::int16_t>(row.current));
        for (int click = 0; click < row.clicks; ++click) {
            row.up ? cmdUP_Click(lstMap) : cmdDown_Click(lstMap);
        }
        EXPECT_EQ(Describe(lstMap), row.after);
        EXPECT_EQ(lstMap.ListIndex(), row.currentAfter);
    }
}

} // namespace
} // namespace rotaline
