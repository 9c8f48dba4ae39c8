// The Windows program: runs a command without a window, or opens the chooser.
#include "cli/CommandLine.h"
#include "frontends/win32/Win32MessageBoxes.h"
#include "frontends/win32/Win32WindowSystem.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool IsUsable(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// A window program has no console of its own: its commands, help and version write to the
// console of the command prompt that started it, or where its output was redirected. True when
// there is such a place.
bool UseParentConsole() {
    if (IsUsable(STD_OUTPUT_HANDLE) && IsUsable(STD_ERROR_HANDLE)) {
        return true;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return false;
    }
    FILE* stream = nullptr;
    if (!IsUsable(STD_OUTPUT_HANDLE) || std::ferror(stdout) != 0) {
        freopen_s(&stream, "CONOUT$", "w", stdout);
    }
    freopen_s(&stream, "CONOUT$", "w", stderr);
    std::ios::sync_with_stdio();
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> args(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    // These windows read no options of their own.
    const rotaline::CommandLineArguments parsed = rotaline::ParseArguments(args);
    if (!parsed.OpensTheWindows()) {
        if (UseParentConsole()) {
            return rotaline::RunCommand(parsed, std::cout, std::cerr);
        }
        // Started without a console, from a shortcut say: the answer is shown in a box.
        std::ostringstream out;
        std::ostringstream err;
        const int status = rotaline::RunCommand(parsed, out, err);
        const std::string shown = out.str() + err.str();
        if (!shown.empty()) {
            MessageBoxA(nullptr, shown.c_str(), "Rotaline",
                        MB_OK | (status == rotaline::kCommandFailed ? MB_ICONERROR : 0));
        }
        return status;
    }

    rotaline::win32::Win32MessageBoxes messages;
    rotaline::win32::Win32WindowSystem windows(messages);
    if (!windows.Start(parsed.installPath)) {
        return 0;
    }
    return windows.Run();
}
