// Random runs of the lists' members and the editor's operations, each step against a plain model.
#include "ListModel.h"
#include "core/lists/EditingOperations.h"
#include "core/lists/ListDisplay.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace rotaline {
namespace {

// A view that knows its list only from the notices, as the windows' adapters do: it must end
// every step showing the list as it is.
class View : public ListObserver {
public:
    explicit View(SelectableList& list) : shown(model::Snapshot(list)), list_(list) {
        list.SetObserver(this);
    }
    void ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) override {
        Begin(first <= last && first <= shown.Count());
    }
    void ItemsInserted(std::int16_t first, std::int16_t last) override {
        RC_ASSERT(list_.ListCount() == shown.Count() + last - first + 1);
        for (std::int16_t k = first; k <= last; ++k) {
            shown.Insert(k, list_.List(k));
        }
        busy_ = false;
    }
    void ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) override {
        Begin(first >= 0 && first <= last && last < shown.Count());
    }
    void ItemsRemoved(std::int16_t first, std::int16_t last) override {
        shown.entries.erase(shown.entries.begin() + first, shown.entries.begin() + last + 1);
        shown.current = shown.current > last ? shown.current - (last - first + 1)
                                             : (shown.current >= first ? -1 : shown.current);
        RC_ASSERT(list_.ListCount() == shown.Count());
        busy_ = false;
    }
    void AboutToReset() override { Begin(true); }
    void Reset() override {
        shown = model::Snapshot(list_);
        busy_ = false;
    }
    void SelectionChanged() override {
        RC_ASSERT(!busy_ && list_.ListCount() == shown.Count());
        shown = model::Snapshot(list_);
        ++selectionNotices;
    }

    model::List shown;
    int selectionNotices = 0;

private:
    // A change is announced before the list makes it, and never inside another.
    void Begin(bool rangeFits) {
        RC_ASSERT(rangeFits && !busy_ && list_.ListCount() == shown.Count());
        busy_ = true;
    }
    const SelectableList& list_;
    bool busy_ = false;
};

class ScriptedDraws : public RandomSource {
public:
    void ReseedFromClock() override { ++reseeds; }
    double Draw() override {
        RC_ASSERT(next < draws.size());
        return draws[next++];
    }
    std::vector<double> draws;
    std::size_t next = 0;
    int reseeds = 0;
};

// Bytes that fold into each other, sort around the letters, or are no ASCII.
rc::Gen<std::string> Name() {
    return rc::gen::resize(4, rc::gen::container<std::string>(rc::gen::element<char>(
                                  'a', 'A', 'b', 'B', 'y', 'z', 'Z', '_', '1', '\xE9', '\xC9')));
}

// The ends of [0, 1) often, NaN and numbers outside it from a faulty generator now and then.
rc::Gen<double> Draw() {
    return rc::gen::weightedOneOf<double>(
        {{2, rc::gen::element(0.0, std::nextafter(1.0, 0.0))},
         {1, rc::gen::element(1.0, -1.0, std::nan(""))},
         {6,
          rc::gen::map(rc::gen::inRange(0, 1 << 30), [](int k) { return std::ldexp(k, -30); })}});
}

void Check(const SelectableList& real, const model::List& expected, const model::List& before,
           View& view) {
    const std::string want = model::Describe(expected);
    RC_ASSERT(model::Describe(model::Snapshot(real)) == want);
    RC_ASSERT(model::Describe(view.shown) == want);
    // One notice of the selection for each change of it, none without one.
    RC_ASSERT(view.selectionNotices <= (model::Describe(before) == want ? 0 : 1));
    view.selectionNotices = 0;
    // The fewest runs of neighbours, covering exactly the selected items.
    std::vector<bool> inRuns(expected.entries.size(), false);
    int end = -2;
    for (const SelectedRun& run : SelectedRuns(real)) {
        RC_ASSERT(run.first > end + 1 && run.first <= run.last);
        std::fill(inRuns.begin() + run.first, inRuns.begin() + run.last + 1, true);
        end = run.last;
    }
    for (std::size_t i = 0; i < inRuns.size(); ++i) {
        RC_ASSERT(inRuns[i] == expected.entries[i].selected);
    }
    RC_ASSERT(real.SelCount() == std::count(inRuns.begin(), inRuns.end(), true));
}

RC_GTEST_PROP(ListsRun, EveryStepDoesWhatThePlainModelDoes, (bool modsSorted)) {
    EditorLists real;
    SelectableList mods(SelectionStyle::Single, modsSorted);
    model::Lists m;
    model::List modsModel{{}, -1, modsSorted, true};
    SelectableList* const lists[] = {&real.lstBSP, &real.lstMap, &mods};
    model::List* const models[] = {&m.available, &m.cycle, &modsModel};
    View views[] = {View(real.lstBSP), View(real.lstMap), View(mods)};
    const auto names = rc::gen::resize(6, rc::gen::container<std::vector<std::string>>(Name()));
    for (int step = *rc::gen::inRange(0, 100); step > 0; --step) {
        const int which = *rc::gen::inRange(0, 3);
        SelectableList& list = *lists[which];
        model::List& ml = *models[which];
        const int count = ml.Count();
        const auto index = [&](int extra) {
            return static_cast<std::int16_t>(*rc::gen::inRange(0, count + extra));
        };
        const model::List before[] = {m.available, m.cycle, modsModel};
        const bool on = *rc::gen::arbitrary<bool>();
        switch (*rc::gen::inRange(0, 14)) {
        case 0: {
            const std::string name = *Name();
            const std::int16_t at = ml.sorted ? -1 : index(1);
            at < 0 ? list.AddItem(name) : list.AddItem(name, at);
            at < 0 ? ml.Add(name) : ml.Insert(at, name);
            break;
        }
        case 1: {
            const auto added = *names;
            const std::int16_t at = ml.sorted || on ? -1 : index(1);
            at < 0 ? list.AddItems(added) : list.InsertItems(added, at);
            for (std::size_t k = 0; k < added.size(); ++k) {
                at < 0 ? ml.Add(added[k]) : ml.Insert(at + static_cast<int>(k), added[k]);
            }
            break;
        }
        case 2:
            RC_ASSERT(list.TakeSelected() == ml.TakeSelected());
            break;
        case 3: {
            const auto added = *names;
            list.ReplaceAll(added);
            ml = model::List{{}, -1, ml.sorted, ml.single};
            std::for_each(added.begin(), added.end(), [&](auto& name) { ml.Add(name); });
            break;
        }
        case 4:
            if (count > 0) {
                const std::int16_t first = index(-1);
                const auto last = static_cast<std::int16_t>(*rc::gen::inRange<int>(first, count));
                list.SetSelectedRange(first, last, on);
                for (int k = first; k <= last; ++k) {
                    ml.Select(k, on);
                }
            }
            break;
        case 5:
        case 6:
            if (count > 0) {
                const std::int16_t at = index(-1);
                list.SetSelected(at, on);
                ml.Select(at, on);
            }
            break;
        case 7: {
            // The current item as the program sets it, or as a view's focus frame moves.
            const auto at = static_cast<std::int16_t>(index(0) - 1);
            const bool fromView = *rc::gen::arbitrary<bool>();
            fromView ? list.SetCurrentFromView(at) : list.SetListIndex(at);
            if (ml.single && !fromView) {
                at < 0 ? ml.ClearSelection() : ml.Select(at, true);
            }
            ml.current = ml.single && fromView ? ml.current : at;
            break;
        }
        case 8:
            list.ClearSelection();
            ml.ClearSelection();
            break;
        case 9:
            if (count > 0) {
                const std::int16_t at = index(-1);
                list.RemoveItem(at);
                ml.Erase(at);
            }
            break;
        case 10:
            on ? cmdMove_Click(real) : cmdRemove_Click(real);
            on ? model::Move(m) : model::Remove(m);
            break;
        case 11:
        case 12:
            on ? cmdUP_Click(real.lstMap) : cmdDown_Click(real.lstMap);
            model::UpOrDown(m.cycle, on);
            break;
        default: {
            ScriptedDraws random;
            random.draws = *rc::gen::container<std::vector<double>>(
                static_cast<std::size_t>(std::max(m.cycle.Count() - 1, 0)), Draw());
            cmdRandom_Click(real.lstMap, random);
            model::Shuffle(m.cycle, random.draws);
            // Reseeded once, then one draw for each map but the first.
            RC_ASSERT(random.reseeds == (m.cycle.Count() > 0 ? 1 : 0));
            RC_ASSERT(random.next == random.draws.size());
        }
        }
        for (int k = 0; k < 3; ++k) {
            Check(*lists[k], *models[k], before[k], views[k]);
        }
        RC_ASSERT(real.Label1.Text() == m.heading1);
        RC_ASSERT(real.Label2.Text() == m.heading2);
    }
}

} // namespace
} // namespace rotaline
