// The program: reads its command line, then hands over to the chooser window.
#include "ui/QtMessageBoxes.h"
#include "ui/QtWindowSystem.h"

#include <QApplication>
#include <QCommandLineParser>

#include <optional>
#include <string>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rotaline"));
    QApplication::setApplicationVersion(QStringLiteral("2.00"));
    // The program ends when its chooser is unloaded, not when some window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the map cycles of the Half-Life mods in an install folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption installPathOption(
        QStringLiteral("install-path"),
        QStringLiteral("Use DIR as the game's install folder instead of the registry's."),
        QStringLiteral("DIR"));
    parser.addOption(installPathOption);
    parser.process(app);

    std::optional<std::string> installPath;
    if (parser.isSet(installPathOption)) {
        installPath = parser.value(installPathOption).toLocal8Bit().toStdString();
    }

    rotaline::QtMessageBoxes messages;
    rotaline::QtWindowSystem windows(messages);
    if (!windows.Start(installPath)) {
        return 0;
    }
    return QApplication::exec();
}
