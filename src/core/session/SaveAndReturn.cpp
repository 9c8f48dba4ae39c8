// Save writes the cycle and confirms it; Close returns to the chooser.
#include "core/session/SaveAndReturn.h"

#include "core/session/WindowSystem.h"
#include "core/cycle/MapCycleFile.h"
#include "core/lists/EditorLists.h"
#include "core/platform/Paths.h"

namespace rotaline {

void cmdSave_Click(const EditorLists& lists, MessageBoxes& messages) {
    if (lists.lstMap.ListCount() == 0) {
        return;
    }
    if (std::optional<SystemError> error = WriteMapCycle(lists.lstMap)) {
        messages.Show("Cannot save " + NativePath(MapCyclePath()) + ": " + error->message,
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
