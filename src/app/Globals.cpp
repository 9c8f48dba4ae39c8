// The program's two shared texts.
#include "app/Globals.h"

namespace rotaline {

std::string InstallPath;
std::string ModName;

} // namespace rotaline
