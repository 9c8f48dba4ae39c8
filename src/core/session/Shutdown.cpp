// Ending the program: Exit unloads the chooser, whose unload step unloads every other window.
#include "core/session/Shutdown.h"

#include "core/session/WindowSystem.h"

#include <cstdint>

namespace rotaline {

void cmdClose_Click(WindowSystem& windows) {
    windows.Unload(windows.Chooser());
}

void Form_Unload(WindowSystem& windows) {
    // Walking down keeps the positions not yet visited valid while windows leave the list;
    // position 0 is the chooser, whose own unloading is under way.
    const std::int16_t count = windows.FormsCount();
    for (std::int16_t i = static_cast<std::int16_t>(count - 1); i >= 1; --i) {
        windows.Unload(windows.FormAt(i));
    }
}

} // namespace rotaline
