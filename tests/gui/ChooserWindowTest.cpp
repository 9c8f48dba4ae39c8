// The mod chooser window, started for real on install folders made by the test.
#include "GuiFixture.h"
#include "core/session/AboutMessage.h"
#include "core/session/Globals.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace rotaline;
using namespace rotaline::testing;

class ChooserWindowTest : public QObject {
    Q_OBJECT

private:
    void Start(const std::string& installPath) {
        windows = std::make_unique<QtWindowSystem>(messages);
        started = windows->Start(installPath);
    }
    void StartOnSampleInstall() {
        MakeMod(*install, "valve", {"crossfire", "bounce"}, "crossfire\r\n");
        MakeMod(*install, "cstrike", {"de_dust"}, "de_dust\r\n");
        QDir(install->path()).mkpath("ricochet/maps");
        MakeMod(*install, "dod", {"dod_anzio"}, "dod_anzio\r\n");
        Start(install->path().toStdString());
        QVERIFY(started);
        QVERIFY(QTest::qWaitForWindowActive(windows->ChooserWindow()));
    }
    QListView* ModList() { return Child<QListView>(windows->ChooserWindow(), "lstModList"); }
    // Offscreen, no window is active after a modal box; access keys need an active window.
    void Activate(QWidget* window) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    RecordingMessages messages;
    std::unique_ptr<QTemporaryDir> install;
    std::unique_ptr<QtWindowSystem> windows;
    bool started = false;

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

    void listsTheModsWithACycleInNameOrder() {
        StartOnSampleInstall();
        QCOMPARE(Rows(ModList()), QStringList({"cstrike", "dod", "valve"}));
        QVERIFY(messages.shown.empty());
        QCOMPARE(windows->ChooserWindow()->windowTitle(),
                 QString("Half Life Rotaline - Version 2.0"));
        QCOMPARE(Child<QLabel>(windows->ChooserWindow(), "Label1")->text(),
                 QString("Half Life MODs with a Map Cycle"));
    }

    void doubleClickOpensTheModClickedOn() {
        StartOnSampleInstall();
        const int row = static_cast<int>(Rows(ModList()).indexOf("valve"));
        DoubleClickRow(ModList(), row);
        QVERIFY(windows->EditorWindow() != nullptr);
        QVERIFY(windows->EditorWindow()->isVisible());
        QVERIFY(!windows->ChooserWindow()->isVisible());
        QCOMPARE(ModName, std::string("valve"));
    }

    void doubleClickWithoutASelectionDoesNothing() {
        StartOnSampleInstall();
        // Below the last item: no item is hit, so nothing is selected.
        const QPoint below = RowCentre(ModList(), 2) + QPoint(0, 120);
        QTest::mouseDClick(ModList()->viewport(), Qt::LeftButton, Qt::NoModifier, below);
        windows->ChooserWindow()->lstModList_DblClick();
        QVERIFY(windows->EditorWindow() == nullptr);
        QVERIFY(windows->ChooserWindow()->isVisible());
        QVERIFY(messages.shown.empty());
    }

    void altEOpensTheSelectedMod() {
        StartOnSampleInstall();
        ClickRow(ModList(), 0);
        QTest::keyClick(windows->ChooserWindow(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(windows->EditorWindow() != nullptr && windows->EditorWindow()->isVisible());
    }

    void altXEndsTheProgram() {
        StartOnSampleInstall();
        QTest::keyClick(windows->ChooserWindow(), Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(windows->FormsCount(), 0);
    }

    void enterPressesOnlyTheFocusedButton() {
        StartOnSampleInstall();
        ClickRow(ModList(), 0);
        QTest::keyClick(ModList(), Qt::Key_Return);
        QTest::keyClick(ModList(), Qt::Key_Escape);
        QTest::qWait(200);
        QVERIFY(windows->EditorWindow() == nullptr);
        QCOMPARE(windows->FormsCount(), 1);
        QPushButton* edit = Child<QPushButton>(windows->ChooserWindow(), "cmdEdit");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(windows->EditorWindow() != nullptr);
    }

    void exitWithTheEditorLoadedUnloadsBoth() {
        StartOnSampleInstall();
        ClickRow(ModList(), 0);
        windows->ChooserWindow()->cmdEdit_Click();
        QCOMPARE(windows->FormsCount(), 2);
        Child<QPushButton>(windows->ChooserWindow(), "cmdClose")->click();
        QCOMPARE(windows->FormsCount(), 0);
        QVERIFY(windows->ChooserWindow() == nullptr);
        QVERIFY(windows->EditorWindow() == nullptr);
    }

    void closeBoxEndsTheProgram() {
        StartOnSampleInstall();
        windows->ChooserWindow()->close();
        QCOMPARE(windows->FormsCount(), 0);
    }

    void aboutMessageFromEitherPicture() {
        StartOnSampleInstall();
        QTest::mouseClick(Child<QLabel>(windows->ChooserWindow(), "Image1"), Qt::LeftButton);
        ClickRow(ModList(), 0);
        windows->ChooserWindow()->cmdEdit_Click();
        QTest::mouseClick(Child<QLabel>(windows->EditorWindow(), "Image1"), Qt::LeftButton);

        QCOMPARE(messages.shown.size(), size_t(2));
        const ShownMessage& about = messages.shown[0];
        QCOMPARE(about.title, std::string("Rotaline"));
        QCOMPARE(about.icon, MessageIcon::None);
        QCOMPARE(about.text, AboutText());
        QCOMPARE(messages.shown[1].text, about.text);
        QCOMPARE(messages.shown[1].title, about.title);

        const QStringList lines = QString::fromStdString(about.text).split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith("Rotaline"));
        QVERIFY(lines[1].isEmpty());
        QVERIFY(lines[3].startsWith(QString(18, ' ')));
        QVERIFY(lines[3][18] != ' ');
        QVERIFY(!about.text.ends_with('\n') && about.text.find('\r') == std::string::npos);
    }

    void emptyInstallPathCannotStart() {
        Start("");
        QVERIFY(!started);
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].title, std::string("Cannot Start"));
        QCOMPARE(messages.shown[0].text, std::string("Half Life is not installed on this machine"));
        QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
        QCOMPARE(windows->FormsCount(), 0);
    }

    void missingInstallFolderCannotContinue() {
        Start(install->filePath("gone").toStdString());
        QVERIFY(started);
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].title, std::string("Cannot Continue"));
        QCOMPARE(messages.shown[0].text,
                 "No files present in: " + install->filePath("gone").toStdString() + "\\*.");
        QCOMPARE(ModList()->model()->rowCount(), 0);
        QVERIFY(windows->ChooserWindow()->isVisible());
    }

    void controlsStayPutWhenTheWindowGrows() {
        StartOnSampleInstall();
        const QRect before = ModList()->geometry();
        windows->ChooserWindow()->resize(800, 700);
        QCOMPARE(ModList()->geometry(), before);
        QCOMPARE(before, QRect(16, 24, 217, 344));
    }
};

QTEST_MAIN(ChooserWindowTest)
#include "ChooserWindowTest.moc"
