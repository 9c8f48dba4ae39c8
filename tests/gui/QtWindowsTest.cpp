// The Qt windows, started for real on an install folder made by the test and driven by clicks
// and keys: what each control sets off, what the windows show, and where the keys go.
#include "EditorGestures.h"
#include "GuiFixture.h"
#include "core/lists/EditingOperations.h"
#include "core/session/AboutMessage.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"

using namespace rotaline;
using namespace rotaline::testing;

class QtWindowsTest : public QObject {
    Q_OBJECT

    // valve and cstrike have a cycle, ricochet none. False when start-up ended the program.
    bool Start(const QString& installPath) {
        MakeMod(*install, "valve", {"m1", "m2", "m3", "m4", "m5", "m6", "m7"}, kValveCycle);
        MakeMod(*install, "cstrike", {"de_dust"}, "de_dust\r\n");
        QDir(install->path()).mkpath("ricochet/maps");
        windows = std::make_unique<QtWindowSystem>(messages);
        windows->UseRandomSource(std::make_shared<ZeroRandom>());
        return windows->Start(installPath.toStdString()) && QTest::qWaitForWindowActive(Chooser());
    }
    void OpenValve() {
        QVERIFY(Start(install->path()));
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
    static QString Join(qsizetype count, const std::function<QString(int)>& word) {
        QStringList words;
        for (int k = 0; k < count; ++k) {
            words << word(k);
        }
        return words.join(' ');
    }
    static QString Rows(const QListView* v) {
        return Join(v->model()->rowCount(),
                    [v](int k) { return v->model()->index(k, 0).data().toString(); });
    }
    static QString Selected(const QListView* view) {
        const QList<int> rows = SelectedRows(view);
        return Join(rows.size(), [&rows](int k) { return QString::number(rows[k]); });
    }
    // A table's rows by name, for QtTest.
    template <typename Row, std::size_t N> static void Rows(const Row (&rows)[N]) {
        QTest::addColumn<int>("row");
        for (int k = 0; k < static_cast<int>(N); ++k) {
            QTest::newRow(rows[k].name) << k;
        }
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
            QWidget* target = words.size() == 2 ? Child<QWidget>(window, qPrintable(words[1]))
                                                : window->focusWidget();
            const QKeyCombination key = QKeySequence(words[0])[0];
            const auto keypad = key.key() == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
            target->setFocus();
            QTest::keyClick(target, key.key(), key.keyboardModifiers() | keypad);
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
    void init() { messages = {}, install = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        windows.reset(), install.reset();
        QVERIFY(NoWindowLeft());
    }

    void chooserShowsTheModsWithACycle() {
        QVERIFY(Start(install->path()));
        QCOMPARE(Rows(Mods()), QString("cstrike valve"));
        QCOMPARE(Chooser()->windowTitle(), QString("Half Life Rotaline - Version 2.0"));
        QCOMPARE(Text(Chooser(), "Label1"), QString("Half Life MODs with a Map Cycle"));
        QCOMPARE(TabStops(Chooser()), QString("lstModList cmdClose cmdEdit lstModList"));
    }

    void noInstallCannotStart() {
        QVERIFY(!Start(""));
        QVERIFY(windows->FormsCount() == 0 && messages.shown.size() == 1 &&
                messages.shown[0].title == "Cannot Start");
    }

    void fromWindowToWindow_data() { Rows(kWindowGestures); }
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
        if (gesture.formsAfter == 2) { // Exit with the editor loaded unloads both.
            Child<QPushButton>(Chooser(), "cmdClose")->click();
            QCOMPARE(windows->FormsCount(), 0);
        }
    }

    void aboutBoxFromEitherPicture() {
        QVERIFY(Start(install->path()));
        QTest::mouseClick(Child<QLabel>(Chooser(), "Image1"), Qt::LeftButton);
        DoubleClickRow(Mods(), 1);
        QTest::mouseClick(Child<QLabel>(Editor(), "Image1"), Qt::LeftButton);
        for (const ShownMessage& about : messages.shown) {
            QVERIFY(about.text == AboutText() && about.title == "Rotaline" &&
                    about.icon == MessageIcon::None);
        }
        QCOMPARE(messages.shown.size(), size_t(2));
    }

    void editorShowsTheMod() {
        OpenValve();
        QCOMPARE(Editor()->size(), QSize(409, 379));
        // Marlett, from Wine's fonts, draws "4" as the right-pointing arrowhead.
        QCOMPARE(Child<QPushButton>(Editor(), "cmdMove")->font().family(), QString("Marlett"));
        QCOMPARE(TabStops(Editor()), QString("lstBSP lstMap cmdMove cmdRemove cmdUP cmdDown "
                                             "cmdRandom cmdSave cmdClose lstBSP"));
    }

    // Both headings read whole inside their labels, in the real fonts, at the most a list holds.
    void headingsFitTheirLabels() {
        QVERIFY(QFontDatabase::hasFamily("MS Sans Serif"));
        OpenValve();
        for (SelectableList* list : {&Editor()->Lists().lstBSP, &Editor()->Lists().lstMap}) {
            list->ReplaceAll(std::vector<std::string>(32767, "map"));
        }
        RefreshCountCaptions(Editor()->Lists());
        for (const char* name : {"Label1", "Label2"}) {
            const QLabel* label = Child<QLabel>(Editor(), name);
            const QString text = label->text();
            QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= label->width(),
                     qPrintable(text));
            QVERIFY(text.endsWith(" (32767 maps)") && label->alignment() & Qt::AlignHCenter);
        }
    }

    // Each control runs its operation; the views, the headings and the file show the result.
    void editing_data() { Rows(kEditorGestures); }
    void editing() {
        QFETCH(int, row);
        const EditorGesture& gesture = kEditorGestures[row];
        OpenValve();
        Select(Bsp(), gesture.maps);
        Select(Map(), gesture.cycle);
        Act(Editor(), gesture.gesture);
        QCOMPARE(Rows(Map()) + " | " + Rows(Bsp()) + " | " + Selected(Map()) + "|" +
                     Selected(Bsp()),
                 QString("%1 | %2 | %3|")
                     .arg(gesture.cycleAfter, gesture.mapsAfter, gesture.selectedAfter));
        QVERIFY(*gesture.selectedAfter == 0 ||
                Map()->currentIndex().row() == QString(gesture.selectedAfter).toInt());
        QCOMPARE(Text(Editor(), "Label1") + Text(Editor(), "Label2"),
                 QString("All Half Life Maps (%1 maps)Map Cycle File (%2 maps)")
                     .arg(Bsp()->model()->rowCount())
                     .arg(Map()->model()->rowCount()));
        // Only Save writes the file, and says so.
        const bool saved = QString(gesture.gesture) == "Alt+S";
        QFile file(install->filePath("valve/mapcycle.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly) && messages.shown.size() == (saved ? 1u : 0u));
        QCOMPARE(file.readAll(), QByteArray(kValveCycle) + (saved ? "\r\n" : ""));
        QVERIFY(!saved || messages.shown[0].text == "Map Saved");
    }
};

QTEST_MAIN(QtWindowsTest)
#include "QtWindowsTest.moc"
