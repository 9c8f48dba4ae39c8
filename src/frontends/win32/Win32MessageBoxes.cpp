// Message boxes shown with MessageBoxA.
#include "frontends/win32/Win32MessageBoxes.h"

#include <windows.h>

namespace rotaline::win32 {

void Win32MessageBoxes::Show(const std::string& text, const std::string& title, MessageIcon icon) {
    // Owned by the active window, the box disables it; with none on the screen yet (start-up),
    // it disables every window of the program.
    const HWND owner = GetActiveWindow();
    UINT style = MB_OK | MB_SETFOREGROUND | (owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL);
    if (icon == MessageIcon::Critical) {
        style |= MB_ICONERROR;
    }
    MessageBoxA(owner, text.c_str(), title.c_str(), style);
}

} // namespace rotaline::win32
