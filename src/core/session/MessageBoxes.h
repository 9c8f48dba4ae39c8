// The one way the program shows a modal message: text, title, icon and one OK button.
#pragma once

#include <string>

namespace rotaline {

enum class MessageIcon { None, Critical };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns when the user has dismissed the box.
    virtual void Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

} // namespace rotaline
