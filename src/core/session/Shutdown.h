// Shutdown: the chooser's Exit button and its unload step, which unloads every other window.
#pragma once

namespace rotaline {

class WindowSystem;

// The "E&xit" button: unloads the chooser.
void cmdClose_Click(WindowSystem& windows);

// The chooser's unload step: unloads the loaded windows from the last down to position 1.
void Form_Unload(WindowSystem& windows);

} // namespace rotaline
