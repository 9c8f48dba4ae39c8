// The map cycle editor window, opened from the real chooser and driven by clicks and keys.
#include "GuiFixture.h"
#include "core/lists/EditingOperations.h"
#include "core/lists/RandomSource.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"

#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace rotaline;
using namespace rotaline::testing;

namespace {

class ZeroRandom : public RandomSource {
public:
    void ReseedFromClock() override {}
    double Draw() override { return 0.0; }
};

} // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT

private:
    // valve holds seven maps; its cycle names three of them and one map it does not have.
    void OpenValve() {
        OpenValveWith(
            {"bounce", "crossfire", "datacore", "frenzy", "gasworks", "stalkyard", "undertow"},
            "crossfire\r\nundertow\r\nnowhere\r\nbounce");
    }
    void OpenValveWith(const QStringList& maps, const QByteArray& cycle) {
        MakeMod(*install, "valve", maps, cycle);
        windows = std::make_unique<QtWindowSystem>(messages);
        windows->UseRandomSource(std::make_shared<ZeroRandom>());
        QVERIFY(windows->Start(install->path().toStdString()));
        QVERIFY(QTest::qWaitForWindowActive(windows->ChooserWindow()));
        DoubleClickRow(Child<QListView>(windows->ChooserWindow(), "lstModList"), 0);
        editor = windows->EditorWindow();
        QVERIFY(editor != nullptr);
        Activate();
    }
    // Offscreen, hiding the chooser can leave no window active; access keys need one.
    void Activate() {
        QCoreApplication::processEvents();
        editor->activateWindow();
        QTRY_VERIFY(editor->isActiveWindow());
    }
    QListView* Bsp() { return Child<QListView>(editor, "lstBSP"); }
    QListView* Map() { return Child<QListView>(editor, "lstMap"); }
    QString Heading(const char* name) { return Child<QLabel>(editor, name)->text(); }
    void Press(const char* button) {
        QTest::mouseClick(Child<QPushButton>(editor, button), Qt::LeftButton);
    }
    QByteArray CycleBytes() { return ReadFile(install->filePath("valve/mapcycle.txt")); }

    RecordingMessages messages;
    std::unique_ptr<QTemporaryDir> install;
    std::unique_ptr<QtWindowSystem> windows;
    frmRotaline* editor = nullptr;

private slots:
    void init() {
        messages = RecordingMessages();
        install = std::make_unique<QTemporaryDir>();
    }

    void cleanup() {
        editor = nullptr;
        windows.reset();
        install.reset();
        QVERIFY(NoWindowLeft());
    }

    void opensWithMapsSortedAndTheCycleInFileOrder() {
        OpenValve();
        QCOMPARE(Rows(Bsp()), QStringList({"datacore", "frenzy", "gasworks", "stalkyard"}));
        QCOMPARE(Rows(Map()), QStringList({"crossfire", "undertow", "nowhere", "bounce"}));
        QCOMPARE(Heading("Label1"), QString("All Half Life Maps (4 maps)"));
        QCOMPARE(Heading("Label2"), QString("Map Cycle File (4 maps)"));
        QVERIFY(!windows->ChooserWindow()->isVisible());
        QCOMPARE(editor->focusWidget(), static_cast<QWidget*>(Bsp()));
        QCOMPARE(editor->size(), QSize(409, 379));
        // Marlett, from Wine's fonts, draws "4" as the right-pointing arrowhead.
        QCOMPARE(Child<QPushButton>(editor, "cmdMove")->font().family(), QString("Marlett"));

        // The current item, not selected, shows a dotted focus rectangle and no fill.
        QVERIFY(Bsp()->currentIndex().isValid() && SelectedRows(Bsp()).isEmpty());
        const QRect row = Bsp()->visualRect(Bsp()->currentIndex());
        const QImage shown = Bsp()->viewport()->grab().toImage();
        const QColor base = Bsp()->palette().color(QPalette::Base);
        QCOMPARE(shown.pixelColor(row.right() - 3, row.center().y()), base);
        QVERIFY(shown.pixelColor(row.left(), row.center().y()) != base ||
                shown.pixelColor(row.left(), row.center().y() + 1) != base);
    }

    // Both headings read whole inside their labels, in the real fonts, at every count.
    void headingsFitTheirLabels_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("ten") << 10;
        QTest::newRow("most a list holds") << 32767;
    }
    void headingsFitTheirLabels() {
        QFETCH(int, count);
        QVERIFY(QFontDatabase::hasFamily("MS Sans Serif"));
        OpenValve();
        EditorLists& lists = editor->Lists();
        lists.lstBSP.Clear();
        lists.lstBSP.AddItems(std::vector<std::string>(static_cast<std::size_t>(count), "map"));
        lists.lstMap.ReplaceAll(std::vector<std::string>(static_cast<std::size_t>(count), "map"));
        RefreshCountCaptions(lists);
        for (const char* name : {"Label1", "Label2"}) {
            const QLabel* label = Child<QLabel>(editor, name);
            QVERIFY(label->text().endsWith(QString(" (%1 maps)").arg(count)));
            const int width = QFontMetrics(label->font()).horizontalAdvance(label->text());
            QVERIFY2(width <= label->width(),
                     qPrintable(QString("%1: %2 px").arg(name).arg(width)));
            QVERIFY(label->alignment() & Qt::AlignHCenter);
        }
    }

    // Enter presses the button that has the focus, as Space does; on a list it presses nothing.
    void keysPressTheFocusedButton_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("cycle");
        QTest::newRow("Space on Down")
            << "cmdDown" << int(Qt::Key_Space)
            << QStringList({"crossfire", "nowhere", "undertow", "bounce"});
        QTest::newRow("Return on Up")
            << "cmdUP" << int(Qt::Key_Return)
            << QStringList({"undertow", "crossfire", "nowhere", "bounce"});
        QTest::newRow("keypad Enter on Down")
            << "cmdDown" << int(Qt::Key_Enter)
            << QStringList({"crossfire", "nowhere", "undertow", "bounce"});
        QTest::newRow("Return on Randomize")
            << "cmdRandom" << int(Qt::Key_Return)
            << QStringList({"bounce", "nowhere", "crossfire", "undertow"});
        QTest::newRow("Return on the cycle")
            << "lstMap" << int(Qt::Key_Return)
            << QStringList({"crossfire", "undertow", "nowhere", "bounce"});
    }
    void keysPressTheFocusedButton() {
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(QStringList, cycle);
        OpenValve();
        ClickRow(Map(), 1);
        QWidget* focused = Child<QWidget>(editor, qPrintable(control));
        focused->setFocus();
        const Qt::KeyboardModifiers keypad =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(focused, static_cast<Qt::Key>(key), keypad);
        QCOMPARE(Rows(Map()), cycle);
        QCOMPARE(Rows(Bsp()).size(), 4);
    }

    void clickCtrlClickShiftClickSelectAsOnWindows() {
        OpenValve();
        ClickRow(Bsp(), 0);
        ClickRow(Bsp(), 2, Qt::ControlModifier);
        QCOMPARE(SelectedRows(Bsp()), QList<int>({0, 2}));
        ClickRow(Bsp(), 3, Qt::ShiftModifier);
        // Shift alone selects from the current item and clears the rest.
        QCOMPARE(SelectedRows(Bsp()), QList<int>({2, 3}));
        ClickRow(Bsp(), 2, Qt::ControlModifier);
        QCOMPARE(SelectedRows(Bsp()), QList<int>({3}));
    }

    void moveAndDoubleClickCarryMapsToTheHeadOfTheCycle() {
        OpenValve();
        ClickRow(Bsp(), 1);
        ClickRow(Bsp(), 3, Qt::ControlModifier);
        Press("cmdMove");
        QCOMPARE(Rows(Map()).mid(0, 2), QStringList({"frenzy", "stalkyard"}));
        QCOMPARE(Rows(Bsp()), QStringList({"datacore", "gasworks"}));
        QCOMPARE(SelectedRows(Bsp()), QList<int>());
        QCOMPARE(Heading("Label1"), QString("All Half Life Maps (2 maps)"));
        QCOMPARE(Heading("Label2"), QString("Map Cycle File (6 maps)"));

        DoubleClickRow(Bsp(), 1);
        QCOMPARE(Rows(Map()).first(), QString("gasworks"));
        QCOMPARE(Rows(Bsp()), QStringList({"datacore"}));
    }

    void removeReturnsMapsToTheirSortedPlaces() {
        OpenValve();
        ClickRow(Map(), 0);
        ClickRow(Map(), 3, Qt::ControlModifier);
        Press("cmdRemove");
        QCOMPARE(Rows(Map()), QStringList({"undertow", "nowhere"}));
        QCOMPARE(Rows(Bsp()), QStringList({"bounce", "crossfire", "datacore", "frenzy", "gasworks",
                                           "stalkyard"}));
        DoubleClickRow(Map(), 1);
        QCOMPARE(Rows(Map()), QStringList({"undertow"}));
        QCOMPARE(Rows(Bsp())[5], QString("nowhere"));
        QCOMPARE(Heading("Label2"), QString("Map Cycle File (1 maps)"));
    }

    void upAndDownMoveOneMapAndKeepItTheOnlySelection() {
        OpenValve();
        ClickRow(Map(), 1);
        ClickRow(Map(), 3, Qt::ControlModifier);
        Press("cmdUP");
        QCOMPARE(Rows(Map()), QStringList({"undertow", "crossfire", "nowhere", "bounce"}));
        QCOMPARE(SelectedRows(Map()), QList<int>({0}));
        QCOMPARE(Map()->currentIndex().row(), 0);
        Press("cmdUP");
        QCOMPARE(Rows(Map()).first(), QString("undertow"));
        Press("cmdDown");
        Press("cmdDown");
        QCOMPARE(Rows(Map()), QStringList({"crossfire", "nowhere", "undertow", "bounce"}));
        QCOMPARE(SelectedRows(Map()), QList<int>({2}));
        QCOMPARE(Heading("Label2"), QString("Map Cycle File (4 maps)"));
    }

    void randomizeSaveAndCloseByAccessKeys() {
        OpenValve();
        QTest::keyClick(editor, Qt::Key_R, Qt::AltModifier);
        // Every draw 0: [crossfire, undertow, nowhere, bounce] becomes this.
        QTRY_COMPARE(Rows(Map()), QStringList({"bounce", "nowhere", "crossfire", "undertow"}));

        QTest::keyClick(editor, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].text, std::string("Map Saved"));
        QCOMPARE(messages.shown[0].title, std::string("Saved"));
        QCOMPARE(CycleBytes(), QByteArray("bounce\r\nnowhere\r\ncrossfire\r\nundertow\r\n"));

        Activate();
        QTest::keyClick(editor, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(windows->EditorWindow() == nullptr);
        QVERIFY(windows->ChooserWindow()->isVisible());
        QCOMPARE(windows->FormsCount(), 1);
    }

    void closeWithoutSavingAndReopenReadsTheFileAfresh() {
        OpenValve();
        ClickRow(Map(), 0);
        Press("cmdRemove");
        Press("cmdClose");
        QCOMPARE(CycleBytes(), QByteArray("crossfire\r\nundertow\r\nnowhere\r\nbounce"));
        QVERIFY(windows->EditorWindow() == nullptr);

        QListView* mods = Child<QListView>(windows->ChooserWindow(), "lstModList");
        QCOMPARE(SelectedRows(mods), QList<int>({0}));
        DoubleClickRow(mods, 0);
        editor = windows->EditorWindow();
        QVERIFY(editor != nullptr);
        QCOMPARE(Rows(Map()), QStringList({"crossfire", "undertow", "nowhere", "bounce"}));
    }

    void closeBoxReturnsToTheChooser() {
        OpenValve();
        editor->close();
        QVERIFY(windows->EditorWindow() == nullptr);
        QVERIFY(windows->ChooserWindow()->isVisible());
        QCOMPARE(windows->FormsCount(), 1);
    }

    void moveBeyondTheListLimitIsRefusedAndLosesNothing() {
        OpenValve();
        editor->Lists().lstMap.AddItems(std::vector<std::string>(32762, "filler"));
        ClickRow(Bsp(), 0);
        ClickRow(Bsp(), 1, Qt::ControlModifier);
        Press("cmdMove");
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].title, std::string("Cannot Continue"));
        QCOMPARE(Rows(Bsp()), QStringList({"datacore", "frenzy", "gasworks", "stalkyard"}));
        QCOMPARE(Map()->model()->rowCount(), 32766);
        QVERIFY(editor->isVisible());
    }

    void failedSaveKeepsTheEditsAndTheFile() {
        OpenValve();
        QFile::setPermissions(install->filePath("valve/mapcycle.txt"), QFile::ReadOwner);
        ClickRow(Bsp(), 0);
        Press("cmdMove");
        Press("cmdSave");
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].title, std::string("Cannot Save"));
        QCOMPARE(Rows(Map()).first(), QString("datacore"));
        QVERIFY(editor->isVisible());
        QFile::setPermissions(install->filePath("valve/mapcycle.txt"),
                              QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(CycleBytes(), QByteArray("crossfire\r\nundertow\r\nnowhere\r\nbounce"));
    }

    // Laid out whole, a line of megabytes froze the window for half a minute and more.
    void aLineOfMegabytesIsShownCutAndSavedWhole() {
        const QByteArray huge(4 * 1024 * 1024, 'x');
        OpenValveWith({"bounce"}, huge + "\r\nbounce");
        editor->grab();
        const QString shown = Rows(Map()).first();
        QCOMPARE(shown, QString(256, 'x') + QChar(0x2026));
        ClickRow(Map(), 0);
        Press("cmdRemove");
        QCOMPARE(Rows(Bsp()), QStringList({shown}));
        ClickRow(Bsp(), 0);
        Press("cmdMove");
        editor->grab();
        Press("cmdSave");
        QCOMPARE(CycleBytes(), huge + "\r\nbounce\r\n");
    }
};

QTEST_MAIN(EditorWindowTest)
#include "EditorWindowTest.moc"
