// The chooser's load step: the install folder, then the folders under it that hold a cycle.
#include "core/session/Startup.h"

#include "core/lists/SelectableList.h"
#include "core/session/ModFlows.h"
#include "core/session/WindowSystem.h"

namespace rotaline {

void Form_Load(SelectableList& lstModList, WindowSystem& windows,
               const std::optional<std::string>& installPathOverride) {
    MessageBoxes& messages = windows.Messages();
    if (FlowResult<void> install = FindInstall(installPathOverride); !install) {
        messages.Show(install.error().text, install.error().title, MessageIcon::Critical);
        windows.Unload(windows.Chooser());
        return;
    }
    lstModList.Clear();
    FlowResult<std::vector<std::string>> mods = FindMods();
    if (!mods) {
        messages.Show(mods.error().text, mods.error().title, MessageIcon::Critical);
        return;
    }
    lstModList.AddItems(std::move(*mods));
}

} // namespace rotaline
