// The test that makes a folder under the install folder a mod the program offers.
#include "core/cycle/ModFolders.h"

#include "core/cycle/ModPaths.h"
#include "core/platform/FolderListing.h"

#include <algorithm>

namespace rotaline {

bool HoldsMapCycle(const std::string& installPath, const std::string& name) {
    const Result<std::vector<std::string>> found =
        ListFolder(ModPaths{installPath, name}.CyclePath(), kAttrNormal);
    return found && !found->empty();
}

void KeepModsWithCycle(const std::string& installPath, std::vector<std::string>& names) {
    // Same result as adding every name and then walking the list from the end, removing each
    // folder without a cycle file; filtering first keeps the fill to one linear pass.
    std::erase_if(names, [&installPath](const std::string& name) {
        return !HoldsMapCycle(installPath, name);
    });
}

} // namespace rotaline
