// Save writes the cycle and confirms it; Close returns to the chooser.
#include "core/session/SaveAndReturn.h"

#include "core/lists/EditorLists.h"
#include "core/session/Globals.h"
#include "core/session/ModFlows.h"
#include "core/session/WindowSystem.h"

namespace rotaline {

void cmdSave_Click(EditorLists& lists, MessageBoxes& messages) {
    // The button does nothing for an empty cycle, which is never written.
    if (lists.lstMap.ListCount() == 0) {
        return;
    }
    if (FlowResult<void> saved = SaveCycle(CurrentMod(), lists); !saved) {
        messages.Show(saved.error().text, saved.error().title, MessageIcon::Critical);
        return;
    }
    messages.Show("Map Saved", "Saved", MessageIcon::None);
}

void cmdClose_Click(WindowSystem& windows, EditorForm& editor) {
    windows.Chooser().Show();
    windows.Unload(editor);
}

} // namespace rotaline
