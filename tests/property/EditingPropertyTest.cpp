// Random runs of the lists' members and the editor's operations, each step against a plain model;
// and the lists' limits.
#include "ListModel.h"
#include "core/lists/EditingOperations.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <cstdint>
#include <stdexcept>

namespace rotaline {
namespace {

// A view that knows its list only from the notices, as the windows' adapters do: each change
// announced before it is made, never inside another, and the view left showing the list.
struct View : ListObserver {
    explicit View(SelectableList& real) : shown(model::Snapshot(real)), list(real) {
        real.SetObserver(this);
    }
    void ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) override {
        Begin(first <= last && first <= shown.Count());
    }
    void ItemsInserted(std::int16_t first, std::int16_t last) override { End(first, last, true); }
    void ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) override {
        Begin(first >= 0 && first <= last && last < shown.Count());
    }
    void ItemsRemoved(std::int16_t first, std::int16_t last) override { End(first, last, false); }
    void AboutToReset() override { Begin(true); }
    void Reset() override { Reread(); }
    void SelectionChanged() override { Begin(true), Reread(), ++selectionNotices; }
    void Begin(bool fits) {
        RC_ASSERT(fits && !std::exchange(busy, true) && list.ListCount() == shown.Count());
    }
    // Takes in the items inserted or removed; a reset or a selection notice rereads them all.
    void End(std::int16_t first, std::int16_t last, bool inserted) {
        for (std::int16_t k = first; k <= last; ++k) {
            inserted ? shown.Insert(k, list.List(k)) : shown.Erase(first);
        }
        RC_ASSERT(std::exchange(busy, false) && list.ListCount() == shown.Count());
    }
    void Reread() { shown = model::Snapshot(list), End(0, -1, false); }

    model::List shown;
    SelectableList& list;
    bool busy = false;
    int selectionNotices = 0;
};

// Bytes that fold into each other, sort around the letters, or are no ASCII.
const auto kName =
    rc::gen::resize(4, rc::gen::container<std::string>(rc::gen::element<char>(
                           'a', 'A', 'b', 'B', 'y', 'z', 'Z', '_', '1', '\xE9', '\xC9')));
const auto kNames = rc::gen::resize(6, rc::gen::container<std::vector<std::string>>(kName));
// The ends of [0, 1) often, and NaN or numbers outside it from a faulty generator now and then.
const auto kDraw = rc::gen::weightedOneOf<double>(
    {{2, rc::gen::element(0.0, std::nextafter(1.0, 0.0))},
     {1, rc::gen::element(1.0, -1.0, std::nan(""))},
     {6, rc::gen::map(rc::gen::inRange(0, 1 << 30), [](int k) { return std::ldexp(k, -30); })}});

// An index from 0 to last, often one of the two.
std::int16_t Index(int last) {
    return static_cast<std::int16_t>(*rc::gen::weightedOneOf<int>(
        {{1, rc::gen::just(0)}, {1, rc::gen::just(last)}, {3, rc::gen::inRange(0, last + 1)}}));
}

RC_GTEST_PROP(ListsRun, EveryStepDoesWhatThePlainModelDoes, (bool modsSorted)) {
    EditorLists real;
    SelectableList mods(SelectionStyle::Single, modsSorted);
    model::Lists m;
    model::List modsModel{{}, -1, modsSorted, true};
    model::List* const models[] = {&m.available, &m.cycle, &modsModel};
    View views[] = {View(real.lstBSP), View(real.lstMap), View(mods)};
    for (int step = *rc::gen::inRange(0, 100); step > 0; --step) {
        const int which = *rc::gen::inRange(0, 3);
        SelectableList& list = views[which].list;
        model::List& ml = *models[which];
        const model::List before[] = {m.available, m.cycle, modsModel};
        const auto [on, one] = *rc::gen::arbitrary<std::pair<bool, bool>>();
        const int op = *rc::gen::inRange(0, 8);
        if (op == 0) {
            // AddItem, AddItems and their forms with an index: as many adds one by one.
            const auto added = one ? std::vector{*kName} : *kNames;
            const std::int16_t at = ml.sorted || on ? -1 : Index(ml.Count());
            one ? (at < 0 ? list.AddItem(added[0]) : list.AddItem(added[0], at))
                : (at < 0 ? list.AddItems(added) : list.InsertItems(added, at));
            for (std::size_t k = 0; k < added.size(); ++k) {
                at < 0 ? ml.Add(added[k]) : ml.Insert(at + static_cast<int>(k), added[k]);
            }
        } else if (op == 1) {
            const auto added = *kNames;
            list.ReplaceAll(added);
            ml = model::List{{}, -1, ml.sorted, ml.single};
            std::ranges::for_each(added, [&](auto& name) { ml.Add(name); });
        } else if (op == 2 && ml.Count() > 0) {
            // SetSelected, and SetSelectedRange: as many calls of SetSelected.
            const std::int16_t first = Index(ml.Count() - 1);
            const auto last =
                static_cast<std::int16_t>(one ? first : *rc::gen::inRange(+first, ml.Count()));
            one ? list.SetSelected(first, on) : list.SetSelectedRange(first, last, on);
            for (int k = first; k <= last; ++k) {
                ml.Select(k, on);
            }
        } else if (op == 3) {
            // The current item as the program sets it, or as a view's focus frame moves.
            const auto at = static_cast<std::int16_t>(Index(ml.Count()) - 1);
            one ? list.SetCurrentFromView(at) : list.SetListIndex(at);
            if (ml.single && !one) {
                at < 0 ? ml.ClearSelection() : ml.Select(at, true);
            }
            ml.current = ml.single && one ? ml.current : at;
        } else if (op == 4 && ml.Count() > 0 && on) {
            const std::int16_t at = Index(ml.Count() - 1);
            list.RemoveItem(at);
            ml.Erase(at);
        } else if (op == 4 && one) {
            RC_ASSERT(list.TakeSelected() == ml.TakeSelected());
        } else if (op == 4) {
            list.ClearSelection();
            ml.ClearSelection();
        } else if (op == 5) {
            on ? cmdMove_Click(real) : cmdRemove_Click(real);
            model::MoveOrRemove(m, on);
        } else if (op == 6) {
            on ? cmdUP_Click(real.lstMap) : cmdDown_Click(real.lstMap);
            model::UpOrDown(m.cycle, on);
        } else if (op == 7) {
            // Scripted draws, or the program's own generator, whose draws stay in [0, 1).
            const auto clock = MakeClockRandomSource();
            model::Draws random([&] { return on ? *kDraw : clock->Draw(); });
            cmdRandom_Click(real.lstMap, random);
            RC_ASSERT(std::ranges::all_of(random.drawn,
                                          [&](double u) { return on || (u >= 0 && u < 1); }));
            // Reseeded once, then one draw for each map but the first.
            RC_ASSERT(random.reseeds == (m.cycle.Count() > 0 ? 1 : 0));
            RC_ASSERT(random.drawn.size() == std::size_t(std::max(m.cycle.Count() - 1, 0)));
            model::Shuffle(m.cycle, random.drawn);
        }
        RC_ASSERT(model::Describe(model::Snapshot(real)) == model::Describe(m));
        for (int k = 0; k < 3; ++k) {
            const std::string want = model::Describe(*models[k]);
            RC_ASSERT(model::Describe(model::Snapshot(views[k].list)) == want);
            RC_ASSERT(model::Describe(views[k].shown) == want);
            RC_ASSERT(views[k].list.SelCount() == std::count(want.begin(), want.end(), '*'));
            // One notice of the selection for a change of it at most, none without one.
            const int notices = std::exchange(views[k].selectionNotices, 0);
            RC_ASSERT(notices <= (model::Describe(before[k]) == want ? 0 : 1));
        }
    }
}

// The limits, which no random run reaches.
TEST(SelectableList, RefusesA32768thItemAndIndicesOutsideTheListUnchanged) {
    SelectableList list(SelectionStyle::Extended, false);
    list.AddItems(std::vector<std::string>(SelectableList::kMaxItems - 1, "m"));
    EXPECT_THROW(list.AddItems({"a", "b"}), std::length_error);
    list.AddItem("m");
    list.SetSelected(5, true);
    const std::string full = model::Describe(model::Snapshot(list));
    EXPECT_THROW(list.AddItem("x"), std::length_error);
    EXPECT_THROW(list.InsertItems({"x"}, 0), std::length_error);
    EXPECT_THROW(list.ReplaceAll(std::vector<std::string>(32768, "z")), std::length_error);
    EXPECT_THROW(list.Selected(32767), std::out_of_range);
    EXPECT_THROW(list.RemoveItem(-1), std::out_of_range);
    EXPECT_THROW(list.SetListIndex(-2), std::out_of_range);
    EXPECT_THROW(list.SetSelectedRange(1, 0, true), std::out_of_range);
    EXPECT_EQ(model::Describe(model::Snapshot(list)), full);
    EXPECT_THROW(SelectableList(SelectionStyle::Extended, true).AddItem("a", 0), std::logic_error);
}

} // namespace
} // namespace rotaline
