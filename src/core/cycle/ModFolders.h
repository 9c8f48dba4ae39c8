// Which folders under the install folder are mods whose map cycle can be edited.
#pragma once

#include <string>
#include <vector>

namespace rotaline {

// True when the folder `name` under `installPath` holds a plain file "mapcycle.txt".
bool HoldsMapCycle(const std::string& installPath, const std::string& name);

// Keeps the names of the folders that hold a cycle, in their order.
void KeepModsWithCycle(const std::string& installPath, std::vector<std::string>& names);

} // namespace rotaline
