// The program: runs a command without a window, or reads its options and opens the chooser.
#include "cli/CommandLine.h"
#include "cli/CommandLineArguments.h"
#include "core/session/Version.h"
#include "frontends/qt/QtMessageBoxes.h"
#include "frontends/qt/QtWindowSystem.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// The Windows program has no console of its own: its commands, help and version write to the
// console of the command prompt that started it, when there is one.
void UseParentConsole() {
#ifdef Q_OS_WIN
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
        std::ios::sync_with_stdio();
    }
#endif
}

bool OutputIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

struct Options {
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption installPath;
};

Options SetUpParser(QCommandLineParser& parser) {
    QCoreApplication::setApplicationName(QStringLiteral("Rotaline"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(rotaline::kVersion));
    parser.setApplicationDescription(
        QStringLiteral("Edits the map cycles of the Half-Life mods in an install folder."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption installPath(
        QStringLiteral("install-path"),
        QStringLiteral("Use DIR as the game's install folder instead of the registry's."),
        QStringLiteral("DIR"));
    parser.addOption(installPath);
    parser.addPositionalArgument(
        QStringLiteral("command"),
        QStringLiteral("Runs without a window: mods, maps, cycle, add, remove, up, down, "
                       "shuffle or check. They are listed below."),
        QStringLiteral("[command [args...]]"));
    return {help, version, installPath};
}

bool AsksForHelpOrVersion(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            return false;
        }
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "-v" || arg == "--version") {
            return true;
        }
    }
    return false;
}

// Help and version are answered with no window system at all, so they work on a machine
// without a display too.
int AnswerHelpOrVersion(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    const Options options = SetUpParser(parser);
    // Qt's own window options are unknown here; they do not matter to the answer.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(options.help)) {
        std::cout << parser.helpText().toLocal8Bit().toStdString() << '\n'
                  << rotaline::CommandsHelp();
        return 0;
    }
    parser.showVersion();
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    UseParentConsole();
    // A command must not need a display: it is run before anything of Qt is set up.
    if (rotaline::NamesACommand(args)) {
        return rotaline::RunCommandLine(args, std::cout, std::cerr, OutputIsTerminal());
    }
    if (AsksForHelpOrVersion(args)) {
        return AnswerHelpOrVersion(argc, argv);
    }

    QApplication app(argc, argv);
    // The program ends when its chooser is unloaded, not when some window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    const Options options = SetUpParser(parser);
    parser.process(app);

    std::optional<std::string> installPath;
    if (parser.isSet(options.installPath)) {
        installPath = parser.value(options.installPath).toLocal8Bit().toStdString();
        if (installPath->empty()) {
            std::cerr << "rotaline: --install-path needs a folder: the given path is empty\n";
            return 2;
        }
    }

    rotaline::QtMessageBoxes messages;
    rotaline::QtWindowSystem windows(messages);
    if (!windows.Start(installPath)) {
        return 0;
    }
    return QApplication::exec();
}
