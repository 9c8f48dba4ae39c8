// Draws the README's pictures of the two windows, grabbed offscreen in the real fonts.
// Usage: screenshots SAMPLE_INSTALL OUTPUT_FOLDER (the windows open on a copy of the install).
#include "core/lists/RandomSource.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"
#include "frontends/qt/QtMessageBoxes.h"
#include "frontends/qt/QtWindowSystem.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace rotaline;

namespace {

// The same pictures on every run: the cycle shown is never shuffled.
class NoRandom : public RandomSource {
public:
    void ReseedFromClock() override {}
    double Draw() override { return 0.0; }
};

bool Save(QWidget* window, const QString& file) {
    QCoreApplication::processEvents();
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshots SAMPLE_INSTALL OUTPUT_FOLDER\n");
        return 2;
    }
    QTemporaryDir scratch;
    const QString install = scratch.filePath(QStringLiteral("halflife"));
    if (QProcess::execute(QStringLiteral("cp"),
                          {QStringLiteral("-R"), QString::fromLocal8Bit(argv[1]), install}) != 0) {
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));

    QtMessageBoxes messages;
    QtWindowSystem windows(messages);
    windows.UseRandomSource(std::make_shared<NoRandom>());
    if (!windows.Start(install.toStdString())) {
        return 1;
    }
    frmMODS* chooser = windows.ChooserWindow();
    SelectableList& mods = chooser->ModList();
    for (std::int16_t i = 0; i < mods.ListCount(); ++i) {
        if (mods.List(i) == "cstrike") {
            mods.SetSelected(i, true);
            mods.SetListIndex(i);
        }
    }
    if (!Save(chooser, output.filePath(QStringLiteral("chooser.png")))) {
        return 1;
    }

    chooser->cmdEdit_Click();
    frmRotaline* editor = windows.EditorWindow();
    if (editor == nullptr) {
        return 1;
    }
    // Two maps chosen on the left, ready to go to the head of the cycle.
    SelectableList& available = editor->Lists().lstBSP;
    available.SetSelected(1, true);
    available.SetSelected(3, true);
    available.SetListIndex(3);
    return Save(editor, output.filePath(QStringLiteral("editor.png"))) ? 0 : 1;
}
