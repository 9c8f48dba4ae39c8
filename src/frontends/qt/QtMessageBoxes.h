// Message boxes shown with QMessageBox, modal to the program.
#pragma once

#include "core/session/MessageBoxes.h"

namespace rotaline {

class QtMessageBoxes : public MessageBoxes {
public:
    void Show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

} // namespace rotaline
