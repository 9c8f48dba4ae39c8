// The chooser's load step: the install folder, then the folders under it that hold a cycle.
#include "app/Startup.h"

#include "app/Globals.h"
#include "app/WindowSystem.h"
#include "lists/SelectableList.h"
#include "platform/FolderListing.h"
#include "platform/Paths.h"
#include "settings/SettingsReader.h"

#include <algorithm>
#include <vector>

namespace rotaline {
namespace {

constexpr const char* kCannotStart = "Cannot Start";
constexpr const char* kCannotContinue = "Cannot Continue";

// Reads the install folder the game's setup recorded. A key or value that cannot be read leaves
// nothing in InstallPath: that machine has no install we can find.
void ReadInstallPath() {
    SettingValue value = InstallPath;
    const std::int32_t status = GetSettingValue("HKLM", "Software\\Valve\\Half-Life\\",
                                                "InstallPath", "S", std::string("No Name"), value);
    const std::string* text = std::get_if<std::string>(&value);
    InstallPath = (status == 0 && text != nullptr) ? *text : std::string();
}

bool HoldsMapCycle(const std::string& folderName) {
    const std::string path = InstallPath + "\\" + folderName + "\\mapcycle.txt";
    return !ListFolder(path, kAttrNormal).names.empty();
}

} // namespace

void Form_Load(SelectableList& lstModList, WindowSystem& windows,
               const std::optional<std::string>& installPathOverride) {
    InstallPath.clear();
    if (installPathOverride) {
        InstallPath = *installPathOverride;
    } else {
        ReadInstallPath();
    }

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

    // Same result as adding every name and then walking the list from the end, removing each
    // folder without a cycle file; filtering first keeps the fill to one linear pass.
    std::vector<std::string>& names = listing.names;
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return !HoldsMapCycle(name); }),
                names.end());
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
