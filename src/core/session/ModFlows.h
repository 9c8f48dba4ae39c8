// What the program does with the files, written once for every front-end: finding the install
// and its mods, opening a mod, saving its cycle and checking it.
#pragma once

#include "core/cycle/CycleCheck.h"
#include "core/cycle/ModPaths.h"
#include "core/platform/Error.h"

#include <optional>
#include <string>
#include <vector>

namespace rotaline {

struct EditorLists;

// A flow's failure as every front-end shows it: the sentence (on one line) and the title of the
// box the windows show it in. The command line prints the sentence after "rotaline: ".
struct FlowError {
    Error error;       // what failed underneath
    std::string text;  // the sentence the user reads
    std::string title; // "Cannot Start", "Cannot Continue" or "Cannot Save"
};

template <typename T> using FlowResult = Result<T, FlowError>;

// Sets InstallPath from `installPathOverride` when given, else from the registry or Steam's
// folders. Fails with "Half Life is not installed on this machine" when nothing is found.
FlowResult<void> FindInstall(const std::optional<std::string>& installPathOverride);

// The folders under InstallPath that hold a cycle, in the file system's order. Fails when the
// folder cannot be listed, holds no folders, or holds more mods than a list can show.
FlowResult<std::vector<std::string>> FindMods();

// A mod as the editor shows it: its maps not yet in the cycle, the cycle, and the bytes read,
// which the save compares with the file to see whether another program changed it.
struct OpenedMod {
    std::vector<std::string> maps;
    std::vector<std::string> cycle;
    std::string cycleBytes;
};

// Lists the maps from the three map folders and reads the cycle. A mod without maps, or with
// more maps or cycle lines than a list holds, is refused.
FlowResult<OpenedMod> OpenMod(const ModPaths& paths);

// Puts an opened mod into the editor's lists, which must be empty.
void ShowMod(OpenedMod mod, EditorLists& lists);

// Writes lstMap to the cycle file of `paths` if the file still holds lists.cycleFileBytes, and
// then remembers what the file holds now. A file another program changed is left alone with the
// error kind ChangedOnDisk; the next save replaces it. An empty cycle is refused.
FlowResult<void> SaveCycle(const ModPaths& paths, EditorLists& lists);

// What in the mod's cycle file, read as the server reads it, would make the server misbehave.
FlowResult<std::vector<CycleProblem>> CheckMod(const ModPaths& paths);

} // namespace rotaline
