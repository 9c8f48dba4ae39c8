// Start-up: finds the install folder and fills the chooser with the mods that hold a cycle.
#pragma once

#include <optional>
#include <string>

namespace rotaline {

class SelectableList;
class WindowSystem;

// The chooser's load step. Sets InstallPath (from `installPathOverride` when given, else from the
// registry), fills lstModList, and reports "Cannot Start" or "Cannot Continue" through the
// window system's messages. After "Cannot Start" the chooser has been unloaded.
void Form_Load(SelectableList& lstModList, WindowSystem& windows,
               const std::optional<std::string>& installPathOverride);

} // namespace rotaline
