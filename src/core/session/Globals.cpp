// The program's two shared texts.
#include "core/session/Globals.h"

namespace rotaline {

std::string InstallPath;
std::string ModName;

} // namespace rotaline
