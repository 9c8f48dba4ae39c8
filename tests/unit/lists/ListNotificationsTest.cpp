// What a view of a list is told, in which order, and what the list looks like at each call.
#include "core/lists/EditingOperations.h"
#include "core/lists/SelectableList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace rotaline {
namespace {

// Logs each call with the list's count, SelCount and ListIndex as the view would see them.
class RecordingObserver : public ListObserver {
public:
    explicit RecordingObserver(const SelectableList& list) : list_(list) {}

    void ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) override {
        Log("about-insert " + std::to_string(first) + "-" + std::to_string(last));
    }
    void ItemsInserted(std::int16_t, std::int16_t) override { Log("inserted"); }
    void ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) override {
        Log("about-remove " + std::to_string(first) + "-" + std::to_string(last));
    }
    void ItemsRemoved(std::int16_t, std::int16_t) override { Log("removed"); }
    void AboutToReset() override { Log("about-reset"); }
    void Reset() override { Log("reset"); }
    void SelectionChanged() override { Log("selection"); }

    std::string log;

private:
    void Log(const std::string& event) {
        log += (log.empty() ? "" : "; ") + event + " n" + std::to_string(list_.ListCount()) + " s" +
               std::to_string(list_.SelCount()) + " c" + std::to_string(list_.ListIndex());
    }
    const SelectableList& list_;
};

using Change = std::function<void(SelectableList&)>;

TEST(ListNotifications, AnnounceEachChangeOnceWithTheListConsistent) {
    struct Row {
        const char* name;
        bool sorted;
        Change change;
        const char* expected;
    };
    // Every list starts as [b, d, f] with d selected and f current.
    const Row rows[] = {
        {"append", false, [](auto& l) { l.AddItem("g"); },
         "about-insert 3-3 n3 s1 c2; inserted n4 s1 c2"},
        {"insert before the current item", false, [](auto& l) { l.AddItem("a", 0); },
         "about-insert 0-0 n3 s1 c2; inserted n4 s1 c3; selection n4 s1 c3"},
        {"sorted add", true, [](auto& l) { l.AddItem("e"); },
         "about-insert 2-2 n3 s1 c2; inserted n4 s1 c3; selection n4 s1 c3"},
        {"remove a selected item", false,
         [](auto& l) {
             l.SetListIndex(0);
             l.RemoveItem(1);
         },
         "selection n3 s1 c0; about-remove 1-1 n3 s1 c0; removed n2 s0 c0; selection n2 s0 c0"},
        {"remove before the current item", false, [](auto& l) { l.RemoveItem(0); },
         "about-remove 0-0 n3 s1 c2; removed n2 s1 c1; selection n2 s1 c1"},
        {"insert a block", false,
         [](auto& l) {
             l.InsertItems({"x", "y"}, 3);
         },
         "about-insert 3-4 n3 s1 c2; inserted n5 s1 c2"},
        {"append a block", false,
         [](auto& l) {
             l.AddItems({"x", "y"});
         },
         "about-insert 3-4 n3 s1 c2; inserted n5 s1 c2"},
        {"add a block to a sorted list", true,
         [](auto& l) {
             l.AddItems({"a", "z"});
         },
         "about-reset n3 s1 c2; reset n5 s1 c3; selection n5 s1 c3"},
        {"take one run", false,
         [](auto& l) {
             l.SetSelected(2, true);
             l.TakeSelected();
         },
         "selection n3 s2 c2; about-remove 1-2 n3 s2 c2; removed n1 s0 c-1; selection n1 s0 c-1"},
        {"take scattered items", false,
         [](auto& l) {
             {
                 SelectableList::UpdateBatch batch(l);
                 l.SetSelected(1, false);
                 l.SetSelected(0, true);
                 l.SetSelected(2, true);
             }
             l.TakeSelected();
         },
         "selection n3 s2 c2; about-reset n3 s2 c2; reset n1 s0 c-1; selection n1 s0 c-1"},
        {"remove nothing", false, [](auto& l) { l.RemoveIf([](auto&) { return false; }); }, ""},
        {"remove two runs", false, [](auto& l) { l.RemoveIf([](auto& t) { return t != "d"; }); },
         "about-reset n3 s1 c2; reset n1 s1 c-1; selection n1 s1 c-1"},
        {"replace all", false, [](auto& l) { l.ReplaceAll({"q"}); },
         "about-reset n3 s1 c2; reset n1 s0 c-1; selection n1 s0 c-1"},
        {"clear", false,
         [](auto& l) {
             l.Clear();
             l.Clear();
         },
         "about-reset n3 s1 c2; reset n0 s0 c-1; selection n0 s0 c-1"},
        {"select a range", false, [](auto& l) { l.SetSelectedRange(0, 2, true); },
         "selection n3 s3 c2"},
        {"flags already so", false,
         [](auto& l) {
             l.SetSelectedRange(1, 1, true);
             l.SetListIndex(2);
             l.SetSelected(0, false);
         },
         ""},
        {"nested batches", false,
         [](auto& l) {
             SelectableList::UpdateBatch outer(l);
             {
                 SelectableList::UpdateBatch inner(l);
                 l.SetSelected(0, true);
             }
             l.SetListIndex(0);
             l.ClearSelection();
         },
         "selection n3 s0 c0"},
        {"up", false, [](auto& l) { cmdUP_Click(l); },
         "about-remove 1-1 n3 s1 c2; removed n2 s0 c1; about-insert 0-0 n2 s0 c1; inserted n3 s0 "
         "c2; selection n3 s1 c0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SelectableList list(SelectionStyle::Extended, row.sorted);
        list.ReplaceAll({"b", "d", "f"});
        list.SetSelected(1, true);
        list.SetListIndex(2);
        RecordingObserver observer(list);
        list.SetObserver(&observer);
        row.change(list);
        EXPECT_EQ(observer.log, row.expected);
    }
}

} // namespace
} // namespace rotaline
