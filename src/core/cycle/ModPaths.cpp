// The map folders of a mod, and the native forms of its paths.
#include "core/cycle/ModPaths.h"

#include "core/platform/Paths.h"

namespace rotaline {

std::vector<std::string> ModPaths::MapsFolders() const {
    const std::string folder = ModFolder();
    return {folder + "_addon\\maps", folder + "\\maps", folder + "_downloads\\maps"};
}

std::string ModPaths::NativeModFolder() const {
    return NativePath(ModFolder());
}

std::string ModPaths::NativeCyclePath() const {
    return NativePath(CyclePath());
}

} // namespace rotaline
