// The About message that both windows' pictures show.
#pragma once

#include <string>

namespace rotaline {

class MessageBoxes;

// The message's text: credit line, empty line, web page, and the e-mail address after 18 spaces.
std::string AboutText();

// Shows the About message, titled "Rotaline", without an icon.
void AboutMessage(MessageBoxes& messages);

} // namespace rotaline
