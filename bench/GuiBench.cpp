// Benchmarks of the real windows: each editing action and the Edit action, from the click until
// the views show the new rows and selection.
#include "BenchData.h"
#include "RecordingMessages.h"
#include "core/lists/EditorLists.h"
#include "frontends/qt/DisplayText.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"
#include "frontends/qt/QtWindowSystem.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>

#include <algorithm>
#include <memory>

namespace rotaline::bench {
namespace {

using testing::RecordingMessages;

void AtBothSizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(1000)->Arg(32767)->UseRealTime()->Unit(benchmark::kMicrosecond);
}

// Runs what the click left queued: the views' delayed layout, the repaints, and the deletion of
// a closed window, which outside the event loop's exec has to be asked for by name.
void Settle() {
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

template <typename T> T* Child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// Counts the paints of a named list view's rows, to tell that the view has been drawn anew.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const char* viewName) : viewName_(QString::fromLatin1(viewName)) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PaintCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;

    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->parent() != nullptr &&
            watched->parent()->objectName() == viewName_) {
            ++paints;
        }
        return false;
    }

private:
    QString viewName_;
};

int SelectedRowCount(const QListView* view) {
    int rows = 0;
    for (const QItemSelectionRange& range : view->selectionModel()->selection()) {
        rows += range.height();
    }
    return rows;
}

// The chooser, started on an install folder with one mod of `count` maps, its row selected.
class Windows {
public:
    explicit Windows(int count) : data(ModWithMaps(count)) {
        windows = std::make_unique<QtWindowSystem>(messages);
        windows->Start(data.install);
        Settle();
        if (windows->ChooserWindow() != nullptr) {
            windows->ChooserWindow()->ModList().SetListIndex(0);
        }
        Settle();
    }
    ~Windows() {
        windows.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    frmMODS* Chooser() const { return windows->ChooserWindow(); }
    frmRotaline* Editor() const { return windows->EditorWindow(); }

    // Presses Edit on the chooser; true when the editor came up.
    bool Open() {
        if (Chooser() == nullptr) {
            return false;
        }
        Child<QPushButton>(Chooser(), "cmdEdit")->click();
        Settle();
        return Editor() != nullptr && Editor()->isVisible() && messages.shown.empty();
    }
    void Press(const char* button) { Child<QPushButton>(Editor(), button)->click(); }
    QListView* View(const char* name) const { return Child<QListView>(Editor(), name); }

    const ModFolder& data;
    RecordingMessages messages;
    std::unique_ptr<QtWindowSystem> windows;
};

void SelectAll(SelectableList& list) {
    if (list.ListCount() > 0) {
        list.SetSelectedRange(0, static_cast<std::int16_t>(list.ListCount() - 1), true);
    }
}

std::vector<std::string> Items(const SelectableList& list) {
    std::vector<std::string> items;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        items.push_back(list.List(i));
    }
    return items;
}

// Move or Remove with every item of both lists selected, half the maps in each.
void CarryOver(benchmark::State& state, const char* button, bool toCycle) {
    Windows gui(static_cast<int>(state.range(0)));
    if (!gui.Open()) {
        state.SkipWithError("the editor did not open");
        return;
    }
    EditorLists& lists = gui.Editor()->Lists();
    const std::vector<std::string> available = Items(lists.lstBSP);
    const std::vector<std::string> cycle = Items(lists.lstMap);
    PaintCounter painted(toCycle ? "lstMap" : "lstBSP");
    for (auto _ : state) {
        state.PauseTiming();
        lists.lstBSP.ReplaceAll(available);
        lists.lstMap.ReplaceAll(cycle);
        SelectAll(lists.lstBSP);
        SelectAll(lists.lstMap);
        Settle();
        painted.paints = 0;
        state.ResumeTiming();
        gui.Press(button);
        Settle();
    }
    const QListView* target = gui.View(toCycle ? "lstMap" : "lstBSP");
    const QListView* source = gui.View(toCycle ? "lstBSP" : "lstMap");
    const auto all = static_cast<int>(available.size() + cycle.size());
    const auto keptSelected = static_cast<int>(toCycle ? cycle.size() : available.size());
    if (source->model()->rowCount() != 0 || target->model()->rowCount() != all ||
        SelectedRowCount(target) != keptSelected || SelectedRowCount(source) != 0 ||
        painted.paints == 0) {
        state.SkipWithError("the views do not show every map on the other side");
    }
}

void BM_GuiMove(benchmark::State& state) {
    CarryOver(state, "cmdMove", true);
}
BENCHMARK(BM_GuiMove)->Apply(AtBothSizes);

void BM_GuiRemove(benchmark::State& state) {
    CarryOver(state, "cmdRemove", false);
}
BENCHMARK(BM_GuiRemove)->Apply(AtBothSizes);

// An editor whose cycle holds `count` maps and whose other list is empty.
bool OpenWithFullCycle(Windows& gui, const std::vector<std::string>& names) {
    if (!gui.Open()) {
        return false;
    }
    gui.Editor()->Lists().lstBSP.Clear();
    gui.Editor()->Lists().lstMap.ReplaceAll(names);
    Settle();
    return true;
}

// Up with the last map selected and in sight, as after the user clicked it.
void BM_GuiUp(benchmark::State& state) {
    const std::vector<std::string> names = MapNames(static_cast<int>(state.range(0)));
    Windows gui(static_cast<int>(state.range(0)));
    if (!OpenWithFullCycle(gui, names)) {
        state.SkipWithError("the editor did not open");
        return;
    }
    SelectableList& lstMap = gui.Editor()->Lists().lstMap;
    QListView* view = gui.View("lstMap");
    const auto last = static_cast<std::int16_t>(names.size() - 1);
    PaintCounter painted("lstMap");
    for (auto _ : state) {
        state.PauseTiming();
        lstMap.ClearSelection();
        lstMap.SetSelected(last, true);
        lstMap.SetListIndex(last);
        view->scrollToBottom();
        Settle();
        painted.paints = 0;
        state.ResumeTiming();
        gui.Press("cmdUP");
        Settle();
    }
    const QModelIndex current = view->selectionModel()->currentIndex();
    if (SelectedRowCount(view) != 1 || !view->selectionModel()->isRowSelected(last - 1) ||
        current.row() != last - 1 || view->model()->rowCount() != static_cast<int>(names.size()) ||
        painted.paints == 0) {
        state.SkipWithError("the view does not show the map one place up, alone selected");
    }
}
BENCHMARK(BM_GuiUp)->Apply(AtBothSizes);

void BM_GuiRandomize(benchmark::State& state) {
    const std::vector<std::string> names = MapNames(static_cast<int>(state.range(0)));
    Windows gui(static_cast<int>(state.range(0)));
    if (!OpenWithFullCycle(gui, names)) {
        state.SkipWithError("the editor did not open");
        return;
    }
    SelectableList& lstMap = gui.Editor()->Lists().lstMap;
    for (auto _ : state) {
        gui.Press("cmdRandom");
        Settle();
    }
    const QString first = DisplayText(lstMap.List(0));
    PaintCounter painted("lstMap");
    gui.Press("cmdRandom");
    Settle();
    const QListView* view = gui.View("lstMap");
    const int middle = static_cast<int>(names.size() / 2);
    if (view->model()->rowCount() != static_cast<int>(names.size()) ||
        view->model()->index(middle, 0).data().toString() != first || SelectedRowCount(view) != 0 ||
        painted.paints == 0) {
        state.SkipWithError("the view does not show the shuffled cycle");
    }
}
BENCHMARK(BM_GuiRandomize)->Apply(AtBothSizes);

// Edit on the chooser until the editor is on the screen, filled; Close between the runs.
void BM_GuiEdit(benchmark::State& state) {
    Windows gui(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const bool opened = gui.Open();
        state.PauseTiming();
        if (opened) {
            gui.Press("cmdClose");
            Settle();
        }
        state.ResumeTiming();
        if (!opened) {
            state.SkipWithError("the editor did not open");
            return;
        }
    }
    PaintCounter painted("lstBSP");
    if (!gui.Open() || gui.Chooser()->isVisible() || painted.paints == 0 ||
        gui.View("lstMap")->model()->rowCount() != static_cast<int>(gui.data.cycle.size()) ||
        gui.View("lstBSP")->model()->rowCount() !=
            static_cast<int>(gui.data.maps.size() - gui.data.cycle.size())) {
        state.SkipWithError("the editor does not show the mod");
    }
}
BENCHMARK(BM_GuiEdit)->Apply(AtBothSizes);

} // namespace
} // namespace rotaline::bench
