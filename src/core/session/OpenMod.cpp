// The Edit action: the chosen mod's maps and cycle, loaded into the editor.
#include "core/session/OpenMod.h"

#include "core/cycle/MapCycleFile.h"
#include "core/cycle/ModMaps.h"
#include "core/lists/EditingOperations.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "core/session/WindowSystem.h"

#include <string>

namespace rotaline {
namespace {

constexpr const char* kCannotContinue = "Cannot Continue";

std::string TooMany(const std::string& what, std::size_t count) {
    return what + " holds " + std::to_string(count) + " entries; at most " +
           std::to_string(SelectableList::kMaxItems) + " can be edited";
}

} // namespace

void cmdEdit_Click(const SelectableList& lstModList, WindowSystem& windows) {
    if (lstModList.SelCount() == 0 || lstModList.ListIndex() < 0) {
        return;
    }
    ModName = lstModList.List(lstModList.ListIndex());

    EditorForm& editor = windows.LoadEditor();
    EditorLists& lists = editor.Lists();
    lists.lstBSP.Clear();
    lists.lstMap.Clear();

    MessageBoxes& messages = windows.Messages();
    const std::string mapsPattern = MapsPattern(InstallPath, ModName);
    ListingResult maps = ListModMaps(InstallPath, ModName);
    if (maps.error) {
        messages.Show("Cannot list the maps in " + maps.error->message, kCannotContinue,
                      MessageIcon::Critical);
        return;
    }
    if (maps.names.empty()) {
        messages.Show("No files present in: " + mapsPattern, kCannotContinue,
                      MessageIcon::Critical);
        return;
    }
    if (maps.names.size() > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        messages.Show(TooMany("The maps folders of " + NativePath(InstallPath + "\\" + ModName),
                              maps.names.size()),
                      kCannotContinue, MessageIcon::Critical);
        return;
    }

    CycleReadResult cycle = ReadMapCycle();
    if (cycle.error) {
        messages.Show("Cannot read " + NativePath(MapCyclePath()) + ": " + cycle.error->message,
                      kCannotContinue, MessageIcon::Critical);
        return;
    }
    if (cycle.lines.size() > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        messages.Show(TooMany("The cycle file " + NativePath(MapCyclePath()), cycle.lines.size()),
                      kCannotContinue, MessageIcon::Critical);
        return;
    }

    DropMapsInCycle(maps.names, cycle.lines);
    lists.lstBSP.AddItems(std::move(maps.names));
    lists.lstMap.AddItems(std::move(cycle.lines));
    lists.cycleFileBytes = std::move(cycle.bytes);

    RefreshCountCaptions(lists);
    editor.Show();
    windows.Chooser().Hide();
}

} // namespace rotaline
