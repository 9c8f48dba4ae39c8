// The About message: who wrote the program and where to reach them.
#include "core/session/AboutMessage.h"

#include "core/session/MessageBoxes.h"

namespace rotaline {

std::string AboutText() {
    const std::string credit =
        "Rotaline, the Half-Life map cycle editor, by Marek Halden (alias \"Rotor\")";
    const std::string webPage = "https://rotaline.example.org";
    const std::string email = "rotor@rotaline.example.org";
    return credit + "\n\n" + webPage + "\n" + std::string(18, ' ') + email;
}

void AboutMessage(MessageBoxes& messages) {
    messages.Show(AboutText(), "Rotaline", MessageIcon::None);
}

} // namespace rotaline
