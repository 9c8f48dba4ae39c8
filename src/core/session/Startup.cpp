// The chooser's load step: the install folder, then the folders under it that hold a cycle.
#include "core/session/Startup.h"

#include "core/cycle/ModFolders.h"
#include "core/lists/SelectableList.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "core/session/InstallPathLookup.h"
#include "core/session/WindowSystem.h"

#include <vector>

namespace rotaline {
namespace {

constexpr const char* kCannotStart = "Cannot Start";
constexpr const char* kCannotContinue = "Cannot Continue";

} // namespace

void Form_Load(SelectableList& lstModList, WindowSystem& windows,
               const std::optional<std::string>& installPathOverride) {
    InstallPath.clear();
    if (installPathOverride) {
        InstallPath = *installPathOverride;
    } else {
        InstallPath = LookUpInstallPath();
    }
    TakeLiterally(installPathOverride ? InstallPath : std::string());

    MessageBoxes& messages = windows.Messages();
    if (InstallPath.empty()) {
        messages.Show("Half Life is not installed on this machine", kCannotStart,
                      MessageIcon::Critical);
        windows.Unload(windows.Chooser());
        return;
    }

    lstModList.Clear();
    const std::string pattern = InstallPath + "\\*.";
    ListingResult listing = ListFolder(pattern, kAttrDirectory);
    if (listing.error) {
        messages.Show("Cannot list " + NativePath(InstallPath) + ": " + listing.error->message,
                      kCannotContinue, MessageIcon::Critical);
        return;
    }
    if (listing.names.empty()) {
        messages.Show("No files present in: " + pattern, kCannotContinue, MessageIcon::Critical);
        return;
    }

    std::vector<std::string>& names = listing.names;
    KeepModsWithCycle(InstallPath, names);
    if (names.size() > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        messages.Show("Too many mod folders in " + NativePath(InstallPath) + ": " +
                          std::to_string(names.size()) + ", at most " +
                          std::to_string(SelectableList::kMaxItems) + " can be listed",
                      kCannotContinue, MessageIcon::Critical);
        return;
    }
    lstModList.AddItems(std::move(names));
}

} // namespace rotaline
