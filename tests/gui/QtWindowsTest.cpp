// The Qt windows, started for real on an install folder made by the test and driven by clicks
// and keys: what each control sets off, what the windows show, and where the keys go.
#include "EditorGestures.h"
#include "GuiFixture.h"
#include "core/lists/EditingOperations.h"
#include "core/session/AboutMessage.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"

#include <QFontDatabase>
#include <QKeySequence>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace rotaline;
using namespace rotaline::testing;

class QtWindowsTest : public QObject {
    Q_OBJECT

    // valve and cstrike have a cycle, ricochet none. False when start-up ended the program.
    bool Start(const QString& installPath, const QByteArray& valveCycle = kValveCycle) {
        MakeMod(*install, "valve", {"m1", "m2", "m3", "m4", "m5", "m6", "m7"}, valveCycle);
        MakeMod(*install, "cstrike", {"de_dust"}, "de_dust\r\n");
        QDir(install->path()).mkpath("ricochet/maps");
        windows = std::make_unique<QtWindowSystem>(messages);
        windows->UseRandomSource(std::make_shared<ZeroRandom>());
        return windows->Start(installPath.toStdString()) && QTest::qWaitForWindowActive(Chooser());
    }
    void OpenValve(const QByteArray& valveCycle = kValveCycle) {
        QVERIFY(Start(install->path(), valveCycle));
        DoubleClickRow(Mods(), 1);
        QVERIFY(Editor() != nullptr);
        // Offscreen, hiding the chooser can leave no window active; access keys need one.
        QCoreApplication::processEvents();
        Editor()->activateWindow();
        QTRY_VERIFY(Editor()->isActiveWindow());
    }
    frmMODS* Chooser() const { return windows->ChooserWindow(); }
    frmRotaline* Editor() const { return windows->EditorWindow(); }
    QListView* Mods() { return Child<QListView>(Chooser(), "lstModList"); }
    QListView* Bsp() { return Child<QListView>(Editor(), "lstBSP"); }
    QListView* Map() { return Child<QListView>(Editor(), "lstMap"); }
    QString Text(QWidget* window, const char* name) { return Child<QLabel>(window, name)->text(); }
    // Clicks the rows, the first alone and the others with Ctrl.
    void Select(QListView* view, const QString& rows) {
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
        for (const QString& row : rows.split(' ', Qt::SkipEmptyParts)) {
            ClickRow(view, row.toInt(), std::exchange(modifiers, Qt::ControlModifier));
        }
    }
    static QString Selected(const QListView* view) {
        QStringList rows;
        for (int row : SelectedRows(view)) {
            rows << QString::number(row);
        }
        return rows.join(' ');
    }
    // Gestures as the shared tables write them.
    void Act(QWidget* window, const QString& gesture) {
        const QStringList words = gesture.split(' ');
        if (gesture.isEmpty()) {
            window->close();
        } else if (gesture.startsWith("cmd")) {
            QTest::mouseClick(Child<QPushButton>(window, qPrintable(gesture)), Qt::LeftButton);
        } else if (gesture.startsWith("lst")) {
            auto* view = Child<QListView>(window, qPrintable(gesture));
            DoubleClickRow(view, view->currentIndex().row());
        } else {
            if (words.size() == 2) {
                Child<QWidget>(window, qPrintable(words[1]))->setFocus();
            }
            const QKeyCombination key = QKeySequence(words[0])[0];
            const auto keypad = key.key() == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
            QTest::keyClick(window->focusWidget(), key.key(), key.keyboardModifiers() | keypad);
            QTest::qWait(300); // an access key clicks its button about 100 ms later
        }
    }
    // The controls Tab visits, from the focused one round to it again.
    static QString TabStops(QWidget* window) {
        QStringList names{window->focusWidget()->objectName()};
        do {
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
            names << window->focusWidget()->objectName();
        } while (names.last() != names.first() && names.size() < 20);
        return names.join(' ');
    }

    RecordingMessages messages;
    std::unique_ptr<QTemporaryDir> install;
    std::unique_ptr<QtWindowSystem> windows;

private slots:
    void init() {
        messages = RecordingMessages();
        install = std::make_unique<QTemporaryDir>();
    }

    void cleanup() {
        windows.reset();
        install.reset();
        QVERIFY(NoWindowLeft());
    }

    void chooserShowsTheModsWithACycle() {
        QVERIFY(Start(install->path()));
        QCOMPARE(Rows(Mods()), QString("cstrike valve"));
        QCOMPARE(Chooser()->windowTitle(), QString("Half Life Rotaline - Version 2.0"));
        QCOMPARE(Text(Chooser(), "Label1"), QString("Half Life MODs with a Map Cycle"));
        QCOMPARE(TabStops(Chooser()), QString("lstModList cmdClose cmdEdit lstModList"));
        Chooser()->resize(800, 700); // the controls stay put
        QCOMPARE(Mods()->geometry(), QRect(16, 24, 217, 344));
    }

    void noInstallCannotStart() {
        QVERIFY(!Start(""));
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].title, std::string("Cannot Start"));
        QCOMPARE(windows->FormsCount(), 0);
    }

    void fromWindowToWindow_data() {
        QTest::addColumn<int>("row");
        for (int k = 0; k < static_cast<int>(std::size(kWindowGestures)); ++k) {
            QTest::newRow(kWindowGestures[k].name) << k;
        }
    }
    void fromWindowToWindow() {
        QFETCH(int, row);
        const WindowGesture& gesture = kWindowGestures[row];
        if (gesture.inEditor) {
            OpenValve();
        } else {
            QVERIFY(Start(install->path()));
            ClickRow(Mods(), 1);
        }
        Act(gesture.inEditor ? static_cast<QWidget*>(Editor()) : Chooser(), gesture.gesture);
        QCOMPARE(windows->FormsCount(), gesture.formsAfter);
        QVERIFY(gesture.formsAfter != 2 ||
                (Editor()->isVisible() && Rows(Map()) == "m2 m7 gone m1"));
        QVERIFY(gesture.formsAfter != 1 || (Chooser()->isVisible() && Selected(Mods()) == "1"));
    }

    void aboutBoxFromEitherPicture() {
        QVERIFY(Start(install->path()));
        QTest::mouseClick(Child<QLabel>(Chooser(), "Image1"), Qt::LeftButton);
        DoubleClickRow(Mods(), 1);
        QTest::mouseClick(Child<QLabel>(Editor(), "Image1"), Qt::LeftButton);
        QCOMPARE(messages.shown.size(), size_t(2));
        for (const ShownMessage& about : messages.shown) {
            QVERIFY(about.text == AboutText() && about.title == "Rotaline");
            QCOMPARE(about.icon, MessageIcon::None);
        }
    }

    void editorShowsTheMod() {
        OpenValve();
        QCOMPARE(Text(Editor(), "Label1"), QString("All Half Life Maps (4 maps)"));
        QCOMPARE(Editor()->size(), QSize(409, 379));
        // Marlett, from Wine's fonts, draws "4" as the right-pointing arrowhead.
        QCOMPARE(Child<QPushButton>(Editor(), "cmdMove")->font().family(), QString("Marlett"));
        // The current item, not selected, shows a dotted focus rectangle and no fill.
        QVERIFY(Bsp()->currentIndex().isValid() && Selected(Bsp()).isEmpty());
        const QRect row = Bsp()->visualRect(Bsp()->currentIndex());
        const QImage shown = Bsp()->viewport()->grab().toImage();
        const QColor base = Bsp()->palette().color(QPalette::Base);
        QCOMPARE(shown.pixelColor(row.right() - 3, row.center().y()), base);
        QVERIFY(shown.pixelColor(row.left(), row.center().y()) != base ||
                shown.pixelColor(row.left(), row.center().y() + 1) != base);
        QCOMPARE(TabStops(Editor()), QString("lstBSP lstMap cmdMove cmdRemove cmdUP cmdDown "
                                             "cmdRandom cmdSave cmdClose lstBSP"));
    }

    // Both headings read whole inside their labels, in the real fonts, at the most a list holds.
    void headingsFitTheirLabels() {
        QVERIFY(QFontDatabase::hasFamily("MS Sans Serif"));
        OpenValve();
        const std::vector<std::string> maps(32767, "map");
        Editor()->Lists().lstBSP.ReplaceAll(maps);
        Editor()->Lists().lstMap.ReplaceAll(maps);
        RefreshCountCaptions(Editor()->Lists());
        for (const char* name : {"Label1", "Label2"}) {
            const QLabel* label = Child<QLabel>(Editor(), name);
            const int width = QFontMetrics(label->font()).horizontalAdvance(label->text());
            QVERIFY2(width <= label->width(), qPrintable(label->text()));
            QVERIFY(label->text().endsWith(" (32767 maps)") &&
                    label->alignment() & Qt::AlignHCenter);
        }
    }

    // Each control runs its operation; the views, the headings and the file show the result.
    void editing_data() {
        QTest::addColumn<int>("row");
        for (int k = 0; k < static_cast<int>(std::size(kEditorGestures)); ++k) {
            QTest::newRow(kEditorGestures[k].name) << k;
        }
    }
    void editing() {
        QFETCH(int, row);
        const EditorGesture& gesture = kEditorGestures[row];
        OpenValve();
        Select(Bsp(), gesture.maps);
        Select(Map(), gesture.cycle);
        Act(Editor(), gesture.gesture);
        QCOMPARE(Rows(Map()), QString(gesture.cycleAfter));
        QCOMPARE(Rows(Bsp()), QString(gesture.mapsAfter));
        QCOMPARE(Selected(Map()), QString(gesture.selectedAfter));
        QCOMPARE(Selected(Bsp()), QString());
        QVERIFY(*gesture.selectedAfter == 0 ||
                Map()->currentIndex().row() == QString(gesture.selectedAfter).toInt());
        QCOMPARE(Text(Editor(), "Label1"),
                 QString("All Half Life Maps (%1 maps)").arg(Bsp()->model()->rowCount()));
        QCOMPARE(Text(Editor(), "Label2"),
                 QString("Map Cycle File (%1 maps)").arg(Map()->model()->rowCount()));
        // Only Save writes the file, and says so.
        const bool saved = QString(gesture.gesture) == "Alt+S";
        QCOMPARE(ReadFile(install->filePath("valve/mapcycle.txt")),
                 QByteArray(kValveCycle) + (saved ? "\r\n" : ""));
        QCOMPARE(messages.shown.size(), size_t(saved ? 1 : 0));
        QVERIFY(!saved || messages.shown[0].text == "Map Saved");
    }

    void clickCtrlClickShiftClickSelectAsOnWindows() {
        OpenValve();
        Select(Bsp(), "0 2");
        QCOMPARE(Selected(Bsp()), QString("0 2"));
        // Shift alone selects from the current item and clears the rest.
        ClickRow(Bsp(), 3, Qt::ShiftModifier);
        QCOMPARE(Selected(Bsp()), QString("2 3"));
        ClickRow(Bsp(), 2, Qt::ControlModifier);
        QCOMPARE(Selected(Bsp()), QString("3"));
    }

    // The lists refuse to grow past 32,767 maps: the box says so, and nothing is lost.
    void moveBeyondTheListLimitIsRefused() {
        OpenValve();
        Editor()->Lists().lstMap.AddItems(std::vector<std::string>(32762, "filler"));
        Select(Bsp(), "0 1");
        Act(Editor(), "cmdMove");
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].title, std::string("Cannot Continue"));
        QCOMPARE(Rows(Bsp()), QString("m3 m4 m5 m6"));
        QCOMPARE(Map()->model()->rowCount(), 32766);
    }

    // Laid out whole, a line of megabytes froze the window for half a minute and more.
    void aLineOfMegabytesIsShownCut() {
        OpenValve(QByteArray(4 * 1024 * 1024, 'x') + "\r\nm1");
        Editor()->grab();
        QCOMPARE(Rows(Map()), QString(256, 'x') + QChar(0x2026) + " m1");
    }
};

QTEST_MAIN(QtWindowsTest)
#include "QtWindowsTest.moc"
