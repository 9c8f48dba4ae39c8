// Opening the mod chosen in the chooser in the map cycle editor.
#pragma once

namespace rotaline {

class SelectableList;
class WindowSystem;

// The chooser's Edit action: fills the editor with the mod's maps not in its cycle and with the
// cycle, then shows the editor and hides the chooser. Reports a mod it cannot open instead.
void cmdEdit_Click(const SelectableList& lstModList, WindowSystem& windows);

} // namespace rotaline
