// Saving the editor's cycle, and returning from the editor to the chooser.
#pragma once

namespace rotaline {

class EditorForm;
class MessageBoxes;
class WindowSystem;
struct EditorLists;

// Writes lstMap to the mod's cycle file and confirms with "Map Saved"; an empty cycle is not
// written. A failed save is reported under "Cannot Save" and the old file stays as it was; so
// is a file that another program changed since it was read, which the next Save replaces.
void cmdSave_Click(EditorLists& lists, MessageBoxes& messages);

// Shows the chooser as it was left and unloads the editor.
void cmdClose_Click(WindowSystem& windows, EditorForm& editor);

} // namespace rotaline
