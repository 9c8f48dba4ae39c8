// The Edit action: the chosen mod's maps and cycle, loaded into the editor.
#include "core/session/OpenMod.h"

#include "core/lists/EditingOperations.h"
#include "core/session/Globals.h"
#include "core/session/ModFlows.h"
#include "core/session/WindowSystem.h"

namespace rotaline {

void cmdEdit_Click(const SelectableList& lstModList, WindowSystem& windows) {
    if (lstModList.SelCount() == 0 || lstModList.ListIndex() < 0) {
        return;
    }
    ModName = lstModList.List(lstModList.ListIndex());

    EditorForm& editor = windows.LoadEditor();
    EditorLists& lists = editor.Lists();
    lists.lstBSP.Clear();
    lists.lstMap.Clear();

    FlowResult<OpenedMod> mod = OpenMod(CurrentMod());
    if (!mod) {
        windows.Messages().Show(mod.error().text, mod.error().title, MessageIcon::Critical);
        return;
    }
    ShowMod(std::move(*mod), lists);
    RefreshCountCaptions(lists);
    editor.Show();
    windows.Chooser().Hide();
}

} // namespace rotaline
