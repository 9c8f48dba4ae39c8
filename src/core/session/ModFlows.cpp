// Finding the mods, opening one, saving and checking its cycle: each worded once for all.
#include "core/session/ModFlows.h"

#include "core/cycle/MapCycleFile.h"
#include "core/cycle/ModFolders.h"
#include "core/cycle/ModMaps.h"
#include "core/lists/EditorLists.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Paths.h"
#include "core/platform/TextFile.h"
#include "core/session/Globals.h"
#include "core/session/InstallPathLookup.h"

namespace rotaline {

namespace {

constexpr const char* kCannotStart = "Cannot Start";
constexpr const char* kCannotContinue = "Cannot Continue";
constexpr const char* kCannotSave = "Cannot Save";

FlowError Failed(Error error, std::string text, const char* title) {
    return FlowError{std::move(error), std::move(text), title};
}

// A failure the system reported, after the words saying what was being done.
FlowError FailedWhile(Error error, const std::string& doing, const char* title) {
    std::string text = doing + " " + error.Message();
    return FlowError{std::move(error), std::move(text), title};
}

bool FitsInList(std::size_t count) {
    return count <= static_cast<std::size_t>(SelectableList::kMaxItems);
}

} // namespace

FlowResult<void> FindInstall(const std::optional<std::string>& installPathOverride) {
    InstallPath = installPathOverride ? *installPathOverride : LookUpInstallPath();
    TakeLiterally(installPathOverride ? InstallPath : std::string());
    if (InstallPath.empty()) {
        const std::string text = "Half Life is not installed on this machine";
        return Failed(MakeError(ErrorKind::NotFound, text), text, kCannotStart);
    }
    return {};
}

FlowResult<std::vector<std::string>> FindMods() {
    const std::string pattern = InstallPath + "\\*.";
    Result<std::vector<std::string>> listing = ListFolder(pattern, kAttrDirectory);
    if (!listing) {
        return FailedWhile(std::move(listing.error()), "Cannot list", kCannotContinue);
    }
    if (listing->empty()) {
        const std::string text = "No files present in: " + pattern;
        return Failed(MakeError(ErrorKind::NotFound, text), text, kCannotContinue);
    }
    std::vector<std::string>& names = *listing;
    KeepModsWithCycle(InstallPath, names);
    if (!FitsInList(names.size())) {
        const std::string text = "Too many mod folders in " + NativePath(InstallPath) + ": " +
                                 std::to_string(names.size()) + ", at most " +
                                 std::to_string(SelectableList::kMaxItems) + " can be listed";
        return Failed(MakeError(ErrorKind::TooLarge, text), text, kCannotContinue);
    }
    return std::move(names);
}

FlowResult<OpenedMod> OpenMod(const ModPaths& paths) {
    Result<std::vector<std::string>> maps = ListModMaps(paths);
    if (!maps) {
        return FailedWhile(std::move(maps.error()), "Cannot list the maps in", kCannotContinue);
    }
    if (maps->empty()) {
        const std::string text = "No files present in: " + paths.MapsPattern();
        return Failed(MakeError(ErrorKind::NotFound, text), text, kCannotContinue);
    }
    if (!FitsInList(maps->size())) {
        const std::string text = "The maps folders of " + paths.NativeModFolder() + " hold " +
                                 std::to_string(maps->size()) + " maps; at most " +
                                 std::to_string(SelectableList::kMaxItems) + " can be edited";
        return Failed(MakeError(ErrorKind::TooLarge, text), text, kCannotContinue);
    }
    // The reader refuses a cycle of more lines than a list holds.
    Result<CycleFile> cycle = ReadMapCycle(paths.NativeCyclePath());
    if (!cycle) {
        return FailedWhile(std::move(cycle.error()), "Cannot read", kCannotContinue);
    }
    DropMapsInCycle(*maps, cycle->lines);
    return OpenedMod{std::move(*maps), std::move(cycle->lines), std::move(cycle->bytes)};
}

void ShowMod(OpenedMod mod, EditorLists& lists) {
    lists.lstBSP.AddItems(std::move(mod.maps));
    lists.lstMap.AddItems(std::move(mod.cycle));
    lists.cycleFileBytes = std::move(mod.cycleBytes);
}

FlowResult<void> SaveCycle(const ModPaths& paths, EditorLists& lists) {
    const std::string path = paths.NativeCyclePath();
    // A server with an empty cycle would have nothing to play.
    if (lists.lstMap.ListCount() == 0) {
        const std::string text =
            "The cycle of " + paths.mod + " is empty, and an empty cycle is not saved";
        return Failed(MakeError(ErrorKind::Invalid, text).At(path), text, kCannotSave);
    }
    Result<CycleWritten> saved = WriteMapCycle(path, lists.lstMap, lists.cycleFileBytes);
    if (!saved) {
        return FailedWhile(std::move(saved.error()), "Cannot save", kCannotSave);
    }
    // What is on disk now is what the next Save may replace, so saving again writes.
    lists.cycleFileBytes = std::move(saved->bytes);
    if (saved->changedOnDisk) {
        const std::string text = path +
                                 " was changed by another program since it was opened. Press "
                                 "Save again to replace it with the editor's cycle.";
        return Failed(MakeError(ErrorKind::ChangedOnDisk, text).At(path), text, kCannotSave);
    }
    return {};
}

FlowResult<std::vector<CycleProblem>> CheckMod(const ModPaths& paths) {
    const Result<std::string> file = ReadWholeFile(paths.NativeCyclePath(), kMaxCycleFileBytes);
    if (!file) {
        return FailedWhile(file.error(), "Cannot read", kCannotContinue);
    }
    // The files as they are named: clients download a map by its exact name.
    Result<std::vector<std::string>> mapFiles = ListMapFiles(paths);
    if (!mapFiles) {
        return FailedWhile(std::move(mapFiles.error()), "Cannot list the maps in", kCannotContinue);
    }
    return CheckCycle(*file, *mapFiles);
}

} // namespace rotaline
