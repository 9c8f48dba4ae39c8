// Save writes the cycle and confirms it; Close returns to the chooser.
#include "core/session/SaveAndReturn.h"

#include "core/cycle/MapCycleFile.h"
#include "core/lists/EditorLists.h"
#include "core/platform/Paths.h"
#include "core/session/WindowSystem.h"

namespace rotaline {

void cmdSave_Click(EditorLists& lists, MessageBoxes& messages) {
    if (lists.lstMap.ListCount() == 0) {
        return;
    }
    CycleWriteResult saved = WriteMapCycle(lists.lstMap, lists.cycleFileBytes);
    if (saved.error) {
        messages.Show("Cannot save " + NativePath(MapCyclePath()) + ": " + saved.error->message,
                      "Cannot Save", MessageIcon::Critical);
        return;
    }
    // What is on disk now is what the next Save may replace, so pressing Save again writes.
    lists.cycleFileBytes = std::move(saved.bytes);
    if (saved.changedOnDisk) {
        messages.Show(NativePath(MapCyclePath()) +
                          " was changed by another program since it was opened. Press Save "
                          "again to replace it with the editor's cycle.",
                      "Cannot Save", MessageIcon::Critical);
        return;
    }
    messages.Show("Map Saved", "Saved", MessageIcon::None);
}

void cmdClose_Click(WindowSystem& windows, EditorForm& editor) {
    windows.Chooser().Show();
    windows.Unload(editor);
}

} // namespace rotaline
