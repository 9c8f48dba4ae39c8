// Scratch install folders for the benchmarks: a mod with many maps, and many mod folders.
#pragma once

#include <string>
#include <vector>

namespace rotaline::bench {

// Map names as a large server has them: a few prefixes in either letter case, then a word and a
// number; in a scrambled but fixed order, none equal to another.
std::vector<std::string> MapNames(int count);

// An install folder holding one mod, "valve", whose maps folder holds `count` map files and
// whose mapcycle.txt names count / 2 of them (every seventh line in upper case). Beside it,
// "full-cycle.txt" holds all `count` names, one per line. Made once per count; the files stay
// until the program ends.
struct ModFolder {
    std::string install;            // the install folder, as InstallPath takes it
    std::string mod;                // "valve"
    std::string mapsFolder;         // a native path
    std::string fullCycle;          // a native path
    std::vector<std::string> maps;  // the map names, in the order the files were made
    std::vector<std::string> cycle; // the lines of mapcycle.txt
};
const ModFolder& ModWithMaps(int count);

// An install folder with count / 32 mod folders, every other one holding a mapcycle.txt, each
// with a maps folder and a few files as a real mod has; and a few files beside them.
struct InstallFolder {
    std::string install;
    std::vector<std::string> modsWithCycle; // sorted
};
const InstallFolder& InstallWithMods(int count);

// An empty mod folder to save into, under an install folder of its own.
struct SaveFolder {
    std::string install;
    std::string mod;
    std::string cyclePath; // a native path
};
const SaveFolder& FolderToSaveInto();

} // namespace rotaline::bench
