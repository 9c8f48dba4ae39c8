// Message boxes shown with MessageBoxA, modal to the program.
#pragma once

#include "core/session/MessageBoxes.h"

namespace rotaline::win32 {

class Win32MessageBoxes : public MessageBoxes {
public:
    // The text and title are shown as the bytes they are, in the ANSI code page.
    void Show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

} // namespace rotaline::win32
