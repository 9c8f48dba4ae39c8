// Program paths on Windows: they are the system's own already.
#include "core/platform/Paths.h"

namespace rotaline {

// The program joins its paths with backslashes, as Windows does, and drive letters mean what they
// say: nothing to map.
std::string NativePath(const std::string& programPath) {
    return programPath;
}

void TakeLiterally(const std::string&) {}

} // namespace rotaline
