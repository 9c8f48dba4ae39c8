// The program: runs a command without a window, or opens the chooser.
#include "cli/CommandLine.h"
#include "frontends/qt/QtMessageBoxes.h"
#include "frontends/qt/QtWindowSystem.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
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

// Qt's own options, which QApplication reads and takes out of the arguments; Qt reads them
// with one dash or two.
constexpr rotaline::FrontEndOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"geometry", true},
    {"qwindowtitle", true},
    {"title", true},
    {"qwindowicon", true},
    {"icon", true},
    {"session", true},
    {"display", true},
    {"name", true},
    {"style", true},
    {"stylesheet", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
};

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const rotaline::CommandLineArguments parsed = rotaline::ParseArguments(args, kQtOptions);
    UseParentConsole();
    // Commands, help and version must not need a display: they are answered before anything of
    // Qt is set up.
    if (!parsed.OpensTheWindows()) {
        return rotaline::RunCommand(parsed, std::cout, std::cerr, OutputIsTerminal());
    }

    QApplication app(argc, argv);
    // The program ends when its chooser is unloaded, not when some window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    rotaline::QtMessageBoxes messages;
    rotaline::QtWindowSystem windows(messages);
    if (!windows.Start(parsed.installPath)) {
        return 0;
    }
    return QApplication::exec();
}
