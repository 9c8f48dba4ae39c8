// A long run of random clicks, keys and saves through the real windows: no error, no leak.
#include "GuiFixture.h"
#include "ListModel.h"
#include "core/cycle/MapCycleFile.h"
#include "core/lists/RandomSource.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define ROTALINE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROTALINE_ASAN 1
#endif
#endif

#ifdef ROTALINE_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace rotaline;
using namespace rotaline::testing;

namespace {

// The bytes the program holds on the heap right now.
std::size_t HeapInUse() {
#ifdef ROTALINE_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::uint64_t EnvironmentNumber(const char* name, std::uint64_t otherwise) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : otherwise;
}

// The shuffle's draws from the run's seed, so that a run can be repeated; the model replays them.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    void ReseedFromClock() override { drawn.clear(); }
    double Draw() override {
        drawn.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(engine_));
        return drawn.back();
    }
    std::vector<double> drawn;

private:
    std::mt19937_64 engine_;
};

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private:
    std::mt19937_64 random_;
    RecordingMessages messages_;
    std::unique_ptr<QTemporaryDir> install_;
    std::unique_ptr<QtWindowSystem> windows_;
    std::shared_ptr<SeededRandom> shuffle_;
    std::uint64_t operation_ = 0;

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool OneIn(int n) { return Pick(n) == 0; }

    frmRotaline* Editor() { return windows_->EditorWindow(); }
    QListView* List(const char* name) { return Child<QListView>(Editor(), name); }
    QPushButton* Button(QWidget* window, const char* name) {
        return Child<QPushButton>(window, name);
    }
    QString Where() const { return QStringLiteral("operation %1").arg(operation_); }

    void ClickSomeRow(QListView* view) {
        const int rows = view->model()->rowCount();
        if (rows == 0) {
            return;
        }
        const int row = Pick(rows);
        view->scrollTo(view->model()->index(row, 0));
        const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ControlModifier,
                                                   Qt::ShiftModifier};
        if (OneIn(8)) {
            DoubleClickRow(view, row);
        } else {
            ClickRow(view, row, modifiers[Pick(3)]);
        }
    }

    void PressSomeKey(QListView* view) {
        const Qt::Key keys[] = {Qt::Key_Up,  Qt::Key_Down,     Qt::Key_Home,
                                Qt::Key_End, Qt::Key_PageDown, Qt::Key_Space};
        const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                                   Qt::ControlModifier};
        view->setFocus();
        QTest::keyClick(view, keys[Pick(6)], modifiers[Pick(3)]);
    }

    // One random thing the user can do in the editor.
    void ActInEditor() {
        const std::size_t before = messages_.shown.size();
        const std::string path = NativePath(MapCyclePath());
        const std::string onDisk = ReadFile(QString::fromLocal8Bit(path)).toStdString();
        bool readOnly = false;
        const char* expectedTitle = nullptr;
        // What the buttons do to the lists, as the plain model does it.
        model::Lists expected = model::Snapshot(Editor()->Lists());
        const int action = Pick(14);
        switch (action) {
        case 0:
        case 1:
        case 2:
            ClickSomeRow(List("lstBSP"));
            break;
        case 3:
        case 4:
        case 5:
            ClickSomeRow(List("lstMap"));
            break;
        case 6:
            PressSomeKey(OneIn(2) ? List("lstBSP") : List("lstMap"));
            break;
        case 7:
            QTest::mouseClick(Button(Editor(), "cmdMove"), Qt::LeftButton);
            model::Move(expected);
            break;
        case 8:
            QTest::mouseClick(Button(Editor(), "cmdRemove"), Qt::LeftButton);
            model::Remove(expected);
            break;
        case 9: {
            const bool up = OneIn(2);
            QTest::mouseClick(Button(Editor(), up ? "cmdUP" : "cmdDown"), Qt::LeftButton);
            model::UpOrDown(expected.cycle, up);
            break;
        }
        case 10:
            QTest::mouseClick(Button(Editor(), "cmdRandom"), Qt::LeftButton);
            model::Shuffle(expected.cycle, shuffle_->drawn);
            break;
        case 11: {
            // Now and then the file cannot be written: the save says so and keeps it.
            readOnly = OneIn(10);
            const QString file = QString::fromLocal8Bit(path);
            if (readOnly) {
                QFile::setPermissions(file, QFile::ReadOwner);
            }
            const bool empty = Editor()->Lists().lstMap.ListCount() == 0;
            const std::string bytes = JoinCycleLines(Editor()->Lists().lstMap);
            QTest::mouseClick(Button(Editor(), "cmdSave"), Qt::LeftButton);
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
            const std::string now = ReadFile(file).toStdString();
            if (empty) {
                QVERIFY2(now == onDisk, qPrintable(Where()));
            } else {
                expectedTitle = readOnly ? "Cannot Save" : "Saved";
                QVERIFY2(now == (readOnly ? onDisk : bytes), qPrintable(Where()));
            }
            break;
        }
        case 12:
            QTest::mouseClick(Child<QWidget>(Editor(), "Image1"), Qt::LeftButton);
            expectedTitle = "Rotaline";
            break;
        case 13:
            if (!OneIn(4)) {
                break;
            }
            if (OneIn(2)) {
                Editor()->close(); // the close box
            } else {
                QTest::mouseClick(Button(Editor(), "cmdClose"), Qt::LeftButton);
            }
            break;
        }
        if (expectedTitle != nullptr) {
            QVERIFY2(messages_.shown.size() == before + 1, qPrintable(Where()));
            QCOMPARE(messages_.shown.back().title, std::string(expectedTitle));
        } else {
            QVERIFY2(messages_.shown.size() == before, qPrintable(Where()));
        }
        if (Editor() != nullptr) {
            const std::string mismatch = action >= 7 && action <= 10
                                             ? model::Mismatch(expected, Editor()->Lists())
                                             : std::string();
            QVERIFY2(mismatch.empty(), qPrintable(Where() + "\n" + mismatch.c_str()));
            CheckEditorShowsItsLists();
        }
    }

    void ActInChooser() {
        const std::size_t before = messages_.shown.size();
        frmMODS* chooser = windows_->ChooserWindow();
        QListView* mods = Child<QListView>(chooser, "lstModList");
        const int rows = mods->model()->rowCount();
        const int row = Pick(rows);
        if (OneIn(2)) {
            DoubleClickRow(mods, row);
        } else {
            ClickRow(mods, row);
            QTest::mouseClick(Button(chooser, "cmdEdit"), Qt::LeftButton);
        }
        const bool opened = Editor() != nullptr && Editor()->isVisible();
        const bool withoutMaps = mods->model()->index(row, 0).data().toString() == "ricochet";
        QVERIFY2(opened != withoutMaps, qPrintable(Where()));
        if (withoutMaps) {
            QCOMPARE(messages_.shown.size(), before + 1);
            QCOMPARE(messages_.shown.back().title, std::string("Cannot Continue"));
        } else {
            QVERIFY2(messages_.shown.size() == before, qPrintable(Where()));
        }
    }

    // The views show exactly the lists: rows, selection, current item, and the headings' counts.
    void CheckEditorShowsItsLists() {
        const EditorLists& lists = Editor()->Lists();
        const struct {
            const char* view;
            const SelectableList& list;
            const char* label;
            const char* heading;
        } shown[] = {{"lstBSP", lists.lstBSP, "Label1", "All Half Life Maps (%1 maps)"},
                     {"lstMap", lists.lstMap, "Label2", "Map Cycle File (%1 maps)"}};
        for (const auto& each : shown) {
            QListView* view = List(each.view);
            QCOMPARE(view->model()->rowCount(), int{each.list.ListCount()});
            QList<int> selected;
            for (std::int16_t i = 0; i < each.list.ListCount(); ++i) {
                if (each.list.Selected(i)) {
                    selected << i;
                }
            }
            QVERIFY2(SelectedRows(view) == selected, qPrintable(Where()));
            if (each.list.ListIndex() >= 0) {
                QCOMPARE(view->currentIndex().row(), int{each.list.ListIndex()});
            }
            QCOMPARE(Child<QLabel>(Editor(), each.label)->text(),
                     QString(each.heading).arg(each.list.ListCount()));
        }
    }

    // Closes the editor if it is open and lets the deferred deletes run: the state the run
    // comes back to, in which the heap should hold the same as the last time.
    std::size_t HeapAtRest() {
        if (Editor() != nullptr) {
            QTest::mouseClick(Button(Editor(), "cmdClose"), Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        messages_.shown.clear();
        return HeapInUse();
    }

private slots:
    void randomOperationsLeaveNoTrace() {
        const std::uint64_t operations = EnvironmentNumber("ROTALINE_SOAK_OPERATIONS", 3000);
        const std::uint64_t seed = EnvironmentNumber(
            "ROTALINE_SOAK_SEED", static_cast<std::uint64_t>(
                                      std::chrono::system_clock::now().time_since_epoch().count()));
        qInfo("%llu operations, ROTALINE_SOAK_SEED=%llu",
              static_cast<unsigned long long>(operations), static_cast<unsigned long long>(seed));
        random_.seed(seed);
        // ROTALINE_SOAK_VERBOSE=1 shows the heap at every return to the chooser.
        const bool verbose = EnvironmentNumber("ROTALINE_SOAK_VERBOSE", 0) != 0;

        install_ = std::make_unique<QTemporaryDir>();
        QStringList valve;
        for (int i = 0; i < 40; ++i) {
            valve << QStringLiteral("map%1").arg(i);
        }
        MakeMod(*install_, "valve", valve, "map3\r\nMAP7\r\n\r\nnowhere\r\nmap3\r\nmap11");
        QStringList cstrike;
        QByteArray cycle;
        for (int i = 0; i < 300; ++i) {
            cstrike << QStringLiteral("de_%1 caf\u00e9").arg(i);
            if (i % 2 == 0) {
                cycle += "de_" + QByteArray::number(i) + " caf\xc3\xa9\r\n";
            }
        }
        MakeMod(*install_, "cstrike", cstrike, cycle + "\xff\xfe odd bytes\r\n");
        QDir(install_->path()).mkpath("ricochet/maps");
        WriteFile(install_->filePath("ricochet/mapcycle.txt"), "rc_arena\r\n");

        windows_ = std::make_unique<QtWindowSystem>(messages_);
        shuffle_ = std::make_shared<SeededRandom>(seed);
        windows_->UseRandomSource(shuffle_);
        QVERIFY(windows_->Start(install_->path().toStdString()));

        // Caches of fonts and pictures fill during the first rounds (some 4000 operations);
        // after that, coming back to the chooser must find the heap as it was, give or take
        // what the caches still take in (some 50 KB over 100,000 operations).
        constexpr std::uint64_t kRound = 500;
        const std::size_t warmUpRounds = std::min<std::size_t>(8, operations / kRound / 2);
        constexpr std::size_t kSlack = 128 * 1024;
        std::vector<std::size_t> heap;
        for (operation_ = 1; operation_ <= operations; ++operation_) {
            if (Editor() != nullptr && Editor()->isVisible()) {
                ActInEditor();
            } else {
                ActInChooser();
            }
            if (QTest::currentTestFailed()) {
                return;
            }
            // The chooser's list of mods, and no window left behind by a Close.
            QVERIFY2(windows_->FormsCount() == (Editor() != nullptr ? 2 : 1), qPrintable(Where()));
            if (messages_.shown.size() > 100) {
                messages_.shown.clear();
            }
            if (operation_ % kRound == 0) {
                heap.push_back(HeapAtRest());
                if (verbose) {
                    qInfo("after %llu operations: %zu bytes on the heap",
                          static_cast<unsigned long long>(operation_), heap.back());
                }
            }
        }
        for (std::size_t round = warmUpRounds + 1; round < heap.size(); ++round) {
            QVERIFY2(heap[round] <= heap[warmUpRounds] + kSlack,
                     qPrintable(QStringLiteral("the heap grew from %1 to %2 bytes by round %3")
                                    .arg(heap[warmUpRounds])
                                    .arg(heap[round])
                                    .arg(round)));
        }
        if (!heap.empty()) {
            qInfo("heap at rest: first %zu, after warm-up %zu, last %zu bytes", heap.front(),
                  heap[std::min(warmUpRounds, heap.size() - 1)], heap.back());
        }

        // No temporary file of a save is left in a mod folder.
        for (const char* mod : {"valve", "cstrike"}) {
            const QStringList left =
                QDir(install_->filePath(mod))
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            QCOMPARE(left, QStringList({"mapcycle.txt", "maps"}));
        }
        windows_.reset();
        QVERIFY(NoWindowLeft());
    }
};

QTEST_MAIN(SoakTest)
#include "SoakTest.moc"
