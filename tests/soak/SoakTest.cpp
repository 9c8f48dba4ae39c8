// A long run of random clicks, keys and saves through the real windows, the buttons' work checked
// against the lists' plain model: no error, no leak, and a heap that does not grow.
#include "GuiFixture.h"
#include "ListModel.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"

#include <QListView>

#include <malloc.h>
#include <random>
#include <ranges>

// AddressSanitizer's count of the heap, which mallinfo2 does not see; absent without it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

using namespace rotaline;
using namespace rotaline::testing;

class SoakTest : public QObject {
    Q_OBJECT

    std::mt19937_64 random_;
    RecordingMessages messages_;
    QTemporaryDir install_;
    std::unique_ptr<QtWindowSystem> windows_;
    // The shuffle draws from the run's seed too, so that a run can be repeated.
    std::shared_ptr<model::Draws> draws_ = std::make_shared<model::Draws>(
        [this] { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); });

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    frmRotaline* Editor() { return windows_->EditorWindow(); }
    void Click(const char* button) {
        QTest::mouseClick(Child<QWidget>(Editor(), button), Qt::LeftButton);
    }

    // One random thing the user does in the editor: a click or a key in a list, or a button.
    void ActInEditor() {
        const EditorLists& lists = Editor()->Lists();
        model::Lists expected = model::Snapshot(lists);
        messages_.shown.clear();
        std::size_t boxes = 0;
        const int action = Pick(12);
        const bool first = Pick(2) == 0;
        QListView* view = Child<QListView>(Editor(), first ? "lstBSP" : "lstMap");
        const QList held{Qt::NoModifier, Qt::ControlModifier, Qt::ShiftModifier};
        if (action < 6 && view->model()->rowCount() > 0) {
            const int row = Pick(view->model()->rowCount());
            view->scrollTo(view->model()->index(row, 0));
            Pick(8) == 0 ? DoubleClickRow(view, row) : ClickRow(view, row, held[Pick(3)]);
        } else if (action == 6) {
            const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_End, Qt::Key_Space};
            view->setFocus();
            QTest::keyClick(view, keys[Pick(4)], held[Pick(3)]);
        } else if (action == 7) {
            Click(first ? "cmdMove" : "cmdRemove");
            model::MoveOrRemove(expected, first);
        } else if (action == 8 || action == 9) {
            Click(first ? "cmdUP" : "cmdDown");
            model::UpOrDown(expected.cycle, first);
        } else if (action == 10) {
            Click("cmdRandom");
            model::Shuffle(expected.cycle, draws_->drawn);
        } else if (action == 11) {
            // Saving a cycle says so; an empty one is not saved.
            boxes = first && lists.lstMap.ListCount() > 0 ? 1 : 0;
            Click(first ? "cmdSave" : "cmdClose");
        }
        QCOMPARE(messages_.shown.size(), boxes);
        QVERIFY(boxes == 0 || messages_.shown.back().title == "Saved");
        if (Editor() == nullptr) {
            return;
        }
        const model::Lists now = model::Snapshot(lists);
        // A button's work is the model's; a click or a key is the views' own, and they show the
        // lists' selections and current items.
        const std::string shown = model::Describe(now);
        QVERIFY2(action < 7 || shown == model::Describe(expected), shown.c_str());
        for (const model::List* list : {&now.available, &now.cycle}) {
            view = Child<QListView>(Editor(), list == &now.available ? "lstBSP" : "lstMap");
            const auto on = [&](int i) { return list->entries[i].selected; };
            auto selected = std::views::iota(0, list->Count()) | std::views::filter(on);
            QCOMPARE(SelectedRows(view), QList<int>(selected.begin(), selected.end()));
            QVERIFY(list->current < 0 || view->currentIndex().row() == list->current);
        }
    }

private slots:
    void randomOperationsLeaveNoTrace() {
        const QString fresh = QString::number(std::random_device()());
        const auto seed = qEnvironmentVariable("ROTALINE_SOAK_SEED", fresh).toULongLong();
        const auto operations = qEnvironmentVariable("ROTALINE_SOAK_OPERATIONS", "3000").toInt();
        qInfo("%d operations, ROTALINE_SOAK_SEED=%llu", operations, seed);
        random_.seed(seed);
        QStringList maps;
        QByteArray cycle;
        for (int i = 0; i < 300; ++i) {
            maps << QStringLiteral("de_%1 caf\u00e9").arg(i);
            cycle += i % 2 ? "" : "DE_" + QByteArray::number(i) + " caf\xc3\xa9\r\n";
        }
        MakeMod(install_, "valve", maps.first(40),
                "de_3 caf\xc3\xa9\n\nnowhere\nde_3 caf\xc3\xa9\n");
        MakeMod(install_, "cstrike", maps, cycle + "\xff\xfe odd bytes\r\n");
        windows_ = std::make_unique<QtWindowSystem>(messages_);
        windows_->UseRandomSource(draws_);
        QVERIFY(windows_->Start(install_.path().toStdString()));

        // Caches of fonts and pictures fill during the first rounds (some 4000 operations);
        // after that, coming back to the chooser must find the heap as it was, give or take
        // what the caches still take in (some 50 KB over 100,000 operations).
        const std::size_t warmUpRounds = std::min(8, operations / 1000);
        std::vector<std::size_t> heap;
        int done = 0;
        while (++done <= operations && !QTest::currentTestFailed()) {
            if (Editor() != nullptr && Editor()->isVisible()) {
                ActInEditor();
            } else {
                QListView* mods = Child<QListView>(windows_->ChooserWindow(), "lstModList");
                DoubleClickRow(mods, Pick(mods->model()->rowCount()));
            }
            // The chooser, and no window left behind by a Close.
            QVERIFY(windows_->FormsCount() == (Editor() != nullptr ? 2 : 1));
            if (done % 500 == 0) {
                // The heap with the editor closed and the deferred deletes done.
                if (Editor() != nullptr) {
                    Click("cmdClose");
                }
                QCoreApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                heap.push_back(__sanitizer_get_current_allocated_bytes != nullptr
                                   ? __sanitizer_get_current_allocated_bytes()
                                   : mallinfo2().uordblks);
                const std::size_t settled = heap[std::min(heap.size() - 1, warmUpRounds)];
                QCOMPARE_LE(heap.back(), settled + 128 * 1024);
            }
        }
        qInfo("%d operations done; the heap at rest: first %zu, last %zu bytes", done - 1,
              heap.empty() ? 0 : heap.front(), heap.empty() ? 0 : heap.back());
        // No temporary file of a save is left in a mod folder.
        for (const char* mod : {"valve", "cstrike"}) {
            QCOMPARE(QDir(install_.filePath(mod))
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList({"mapcycle.txt", "maps"}));
        }
        windows_.reset();
        QVERIFY(NoWindowLeft());
    }
};

QTEST_MAIN(SoakTest)
#include "SoakTest.moc"
