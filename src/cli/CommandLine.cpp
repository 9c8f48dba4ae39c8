// The commands: the chooser's and editor's operations on a named mod, without a window.
#include "cli/CommandLine.h"

#include "cli/CommandLineArguments.h"
#include "core/cycle/CycleCheck.h"
#include "core/cycle/MapCycleFile.h"
#include "core/cycle/ModFolders.h"
#include "core/cycle/ModMaps.h"
#include "core/cycle/PrintableText.h"
#include "core/lists/EditingOperations.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Paths.h"
#include "core/platform/TextFile.h"
#include "core/session/Globals.h"
#include "core/session/InstallPathLookup.h"
#include "core/session/Version.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <exception>
#include <limits>
#include <ostream>
#include <string_view>

namespace rotaline {

namespace {

// Ends a command with a message; nothing has been written when it is thrown.
struct CommandFailure {
    std::string message;
};

using Operands = std::vector<std::string>;

// One command: what it takes, what it does, an example, and the code that runs it with its
// operands. Commands that take a mod find it, and set ModName, before they run.
struct Command {
    std::string_view name;
    std::string_view usage;
    std::size_t minOperands;
    std::size_t maxOperands;
    std::string_view summary;
    std::string_view example;
    int (*run)(const Operands& operands, std::ostream& out);
};

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

bool outputIsTerminal = false;

// A name as printed: its bytes, or on a terminal with its control characters escaped.
std::string Shown(const std::string& name) {
    return outputIsTerminal ? EscapedForTerminal(name) : name;
}

void Print(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out << Shown(line) << '\n';
    }
}

std::string Native(const std::string& programPath) {
    return Quoted(NativePath(programPath));
}

// The folders under the install folder that hold a cycle, or the reason there are none to
// offer, as the chooser's start-up finds them.
std::vector<std::string> ModsWithCycle() {
    ListingResult listing = ListFolder(InstallPath + "\\*.", kAttrDirectory);
    if (listing.error) {
        throw CommandFailure{"cannot list " + Native(InstallPath) + ": " + listing.error->message};
    }
    if (listing.names.empty()) {
        throw CommandFailure{"no folders in " + Native(InstallPath) +
                             "; is it the game's install folder?"};
    }
    KeepModsWithCycle(InstallPath, listing.names);
    return std::move(listing.names);
}

void ChooseMod(const std::string& mod) {
    const std::vector<std::string> mods = ModsWithCycle();
    if (std::find(mods.begin(), mods.end(), mod) == mods.end()) {
        throw CommandFailure{"unknown mod " + Quoted(mod) + ": " + Native(InstallPath) +
                             " holds no such folder with a mapcycle.txt (rotaline mods lists "
                             "the mods)"};
    }
    ModName = mod;
}

void CheckFits(std::size_t count, const std::string& what) {
    if (count > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        throw CommandFailure{what + " holds " + std::to_string(count) + " entries; at most " +
                             std::to_string(SelectableList::kMaxItems) + " can be edited"};
    }
}

std::vector<std::string> ReadCycle() {
    CycleReadResult cycle = ReadMapCycle();
    if (cycle.error) {
        throw CommandFailure{"cannot read " + Native(MapCyclePath()) + ": " + cycle.error->message};
    }
    return std::move(cycle.lines);
}

// The editor's two lists for the chosen mod, filled as opening the mod fills them. A mod
// without maps still has a cycle to edit here.
void LoadLists(EditorLists& lists) {
    ListingResult maps = ListModMaps(InstallPath, ModName);
    if (maps.error) {
        throw CommandFailure{"cannot list the maps in " + maps.error->message};
    }
    CycleReadResult cycle = ReadMapCycle();
    if (cycle.error) {
        throw CommandFailure{"cannot read " + Native(MapCyclePath()) + ": " + cycle.error->message};
    }
    CheckFits(maps.names.size(), "the maps folders of " + Quoted(ModName));
    CheckFits(cycle.lines.size(), Native(MapCyclePath()));
    DropMapsInCycle(maps.names, cycle.lines);
    lists.lstBSP.AddItems(std::move(maps.names));
    lists.lstMap.AddItems(std::move(cycle.lines));
    lists.cycleFileBytes = std::move(cycle.bytes);
}

// False when nothing was written because the file is no longer what LoadLists read.
bool Save(const EditorLists& lists) {
    // The editor never writes an empty cycle, and a server with none would have nothing to play.
    if (lists.lstMap.ListCount() == 0) {
        throw CommandFailure{"that would leave the cycle of " + Quoted(ModName) +
                             " empty, and an empty cycle is not saved"};
    }
    const CycleWriteResult saved = WriteMapCycle(lists.lstMap, lists.cycleFileBytes);
    if (saved.error) {
        throw CommandFailure{"cannot save " + Native(MapCyclePath()) + ": " + saved.error->message};
    }
    return !saved.changedOnDisk;
}

// A change to the cycle; false when there is nothing to save.
using Change = bool (*)(EditorLists& lists, const Operands& operands);

// Another program may write the file between reading and saving it; then the change is made
// again to what that program wrote, so that both changes are kept, or fails as it would have
// on that file. Each such round means someone else saved, so a few rounds are plenty.
constexpr int kMaxChangeRounds = 20;

int ChangeCycle(const Operands& operands, Change change) {
    for (int round = 0; round < kMaxChangeRounds; ++round) {
        EditorLists lists;
        LoadLists(lists);
        if (!change(lists, operands) || Save(lists)) {
            return kCommandDone;
        }
    }
    throw CommandFailure{Native(MapCyclePath()) + " kept being changed by another program; "
                                                  "nothing was written"};
}

std::int16_t FirstIndexOf(const SelectableList& list, const std::string& text) {
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == text) {
            return i;
        }
    }
    return -1;
}

std::int16_t FindInCycle(const SelectableList& lstMap, const std::string& map) {
    for (std::int16_t i = 0; i < lstMap.ListCount(); ++i) {
        if (EntryNamesMap(lstMap.List(i), map)) {
            return i;
        }
    }
    throw CommandFailure{Quoted(map) + " is not in the cycle of " + Quoted(ModName) +
                         " (rotaline cycle " + ModName + " shows it)"};
}

void SelectOnly(SelectableList& list, std::int16_t index) {
    list.ClearSelection();
    list.SetSelected(index, true);
}

int RunMods(const Operands&, std::ostream& out) {
    Print(out, ModsWithCycle());
    return kCommandDone;
}

int RunMaps(const Operands&, std::ostream& out) {
    EditorLists lists;
    LoadLists(lists);
    for (std::int16_t i = 0; i < lists.lstBSP.ListCount(); ++i) {
        out << Shown(lists.lstBSP.List(i)) << '\n';
    }
    return kCommandDone;
}

int RunCycle(const Operands&, std::ostream& out) {
    Print(out, ReadCycle());
    return kCommandDone;
}

bool Add(EditorLists& lists, const Operands& operands) {
    const std::vector<std::string> maps(operands.begin() + 1, operands.end());
    // Every map is checked before any moves, so that a wrong name leaves the file as it was. A
    // map named twice is there only once to move.
    std::vector<std::string> available;
    for (std::int16_t i = 0; i < lists.lstBSP.ListCount(); ++i) {
        available.push_back(lists.lstBSP.List(i));
    }
    for (const std::string& map : maps) {
        const auto found = std::find(available.begin(), available.end(), map);
        if (found == available.end()) {
            throw CommandFailure{Quoted(map) + " is not one of the maps of " + Quoted(ModName) +
                                 " outside its cycle (rotaline maps " + ModName + " lists them)"};
        }
        available.erase(found);
    }
    CheckFits(static_cast<std::size_t>(lists.lstMap.ListCount()) + maps.size(),
              "the cycle of " + Quoted(ModName));
    // Move puts what it moves at the head of the cycle, so moving one map at a time from the
    // last named to the first leaves them at the head in the order given.
    for (auto map = maps.rbegin(); map != maps.rend(); ++map) {
        SelectOnly(lists.lstBSP, FirstIndexOf(lists.lstBSP, *map));
        cmdMove_Click(lists);
    }
    return true;
}

bool Remove(EditorLists& lists, const Operands& operands) {
    const std::vector<std::string> maps(operands.begin() + 1, operands.end());
    for (const std::string& map : maps) {
        FindInCycle(lists.lstMap, map);
    }
    lists.lstMap.ClearSelection();
    for (std::int16_t i = 0; i < lists.lstMap.ListCount(); ++i) {
        for (const std::string& map : maps) {
            if (EntryNamesMap(lists.lstMap.List(i), map)) {
                lists.lstMap.SetSelected(i, true);
            }
        }
    }
    cmdRemove_Click(lists);
    return true;
}

template <void (*Move)(SelectableList&)>
bool Reorder(EditorLists& lists, const Operands& operands) {
    SelectOnly(lists.lstMap, FindInCycle(lists.lstMap, operands[1]));
    Move(lists.lstMap);
    return true;
}

bool Shuffle(EditorLists& lists, const Operands&) {
    if (lists.lstMap.ListCount() == 0) {
        return false; // nothing to shuffle, and nothing the editor would save
    }
    cmdRandom_Click(lists.lstMap, *MakeClockRandomSource());
    return true;
}

int RunAdd(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Add);
}

int RunRemove(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Remove);
}

int RunUp(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Reorder<cmdUP_Click>);
}

int RunDown(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Reorder<cmdDown_Click>);
}

int RunShuffle(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Shuffle);
}

int RunCheck(const Operands&, std::ostream& out) {
    const ReadResult file = ReadWholeFile(NativePath(MapCyclePath()), kMaxCycleFileBytes);
    if (file.error) {
        throw CommandFailure{"cannot read " + Native(MapCyclePath()) + ": " + file.error->message};
    }
    // The files as they are named: clients download a map by its exact name.
    std::vector<std::string> mapFiles;
    for (const std::string& folder : MapsFolders(InstallPath, ModName)) {
        ListingResult maps = ListFolder(folder + "\\*.bsp", kAttrNormal);
        if (maps.error) {
            throw CommandFailure{"cannot list the maps in " + Native(folder) + ": " +
                                 maps.error->message};
        }
        mapFiles.insert(mapFiles.end(), maps.names.begin(), maps.names.end());
    }
    const std::string where = ModName + "/mapcycle.txt";
    int status = kCommandDone;
    for (const CycleProblem& problem : CheckCycle(file.bytes, mapFiles)) {
        out << where;
        if (problem.line > 0) {
            out << ':' << problem.line;
        }
        out << ": " << (problem.IsInformation() ? "note: " : "") << problem.text << '\n';
        if (!problem.IsInformation()) {
            status = kCommandFoundProblems;
        }
    }
    return status;
}

constexpr Command kCommands[] = {
    {"mods", "", 0, 0, "List the mods that have a map cycle, one per line.", "rotaline mods",
     RunMods},
    {"maps", "MOD", 1, 1, "List the maps not in the cycle, in the editor's order.",
     "rotaline maps cstrike", RunMaps},
    {"cycle", "MOD", 1, 1, "Print the cycle, one entry per line, in file order.",
     "rotaline cycle cstrike", RunCycle},
    {"add", "MOD MAP...", 2, kAny, "Put the maps first in the cycle, in the order given.",
     "rotaline add cstrike de_dust cs_militia", RunAdd},
    {"remove", "MOD MAP...", 2, kAny, "Take every entry of a named map out of the cycle.",
     "rotaline remove cstrike de_nuke", RunRemove},
    {"up", "MOD MAP", 2, 2, "Move the first entry of MAP one place up.",
     "rotaline up cstrike cs_italy", RunUp},
    {"down", "MOD MAP", 2, 2, "Move the first entry of MAP one place down.",
     "rotaline down cstrike de_dust2", RunDown},
    {"shuffle", "MOD", 1, 1, "Shuffle the cycle as the editor's Randomize List does.",
     "rotaline shuffle valve", RunShuffle},
    {"check", "MOD", 1, 1, "Report what in the cycle makes the server misbehave.",
     "rotaline check cstrike", RunCheck},
};

const Command* FindCommand(std::string_view name) {
    for (const Command& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

std::string UsageOf(const Command& command) {
    std::string usage = "rotaline " + std::string(command.name);
    if (!command.usage.empty()) {
        usage += " " + std::string(command.usage);
    }
    return usage;
}

int Run(const CommandLineArguments& arguments, std::ostream& out) {
    const std::string& name = arguments.words.front();
    const Command* command = FindCommand(name);
    if (command == nullptr) {
        throw CommandFailure{"unknown command " + Quoted(name) +
                             "; rotaline help lists the commands"};
    }
    const Operands operands(arguments.words.begin() + 1, arguments.words.end());
    if (operands.size() < command->minOperands || operands.size() > command->maxOperands) {
        throw CommandFailure{"usage: " + UsageOf(*command)};
    }

    InstallPath = arguments.installPath ? *arguments.installPath : LookUpInstallPath();
    TakeLiterally(arguments.installPath ? InstallPath : std::string());
    if (InstallPath.empty()) {
        throw CommandFailure{"Half Life is not installed on this machine; give its folder "
                             "with --install-path DIR"};
    }
    if (command->minOperands > 0) {
        ChooseMod(operands.front());
    }
    return command->run(operands, out);
}

} // namespace

std::string CommandsHelp() {
    std::string help = "Commands (MOD is a mod folder such as cstrike, MAP a map name without "
                       "\".bsp\"):\n";
    for (const Command& command : kCommands) {
        std::string usage = "  " + std::string(command.name) + " " + std::string(command.usage);
        usage.resize(std::max<std::size_t>(usage.size() + 2, 22), ' ');
        help += usage + std::string(command.summary) + "\n";
        help += std::string(24, ' ') + std::string(command.example) + "\n";
    }
    help += "  help                Show the commands and options.\n"
            "\n"
            "A command that changes the cycle saves it as the editor's Save does and prints\n"
            "nothing. Exit status: 0 done (check: nothing wrong), 1 check found a problem,\n"
            "2 failed, with the reason on standard error and no file changed.\n";
    return help;
}

std::string CommandLineHelp() {
    return "Usage:\n"
           "  rotaline [--install-path DIR]                   open the mod chooser window\n"
           "  rotaline [--install-path DIR] COMMAND [ARG...]  run a command, without a window\n"
           "\n"
           "Options:\n"
           "  --install-path DIR  The game's install folder. Without it the folder comes from\n"
           "                      the registry (on Linux, the Wine prefix's), else from the\n"
           "                      folders of Steam and SteamCMD in the home folder.\n"
           "  -h, --help          Show the commands and options.\n"
           "  -v, --version       Print the version.\n"
           "\n" +
           CommandsHelp();
}

namespace {

// Output that did not reach its file fails the command: a backup made with "rotaline cycle MOD >
// FILE" on a full disk would otherwise be empty without a word.
int CheckOutput(int status, std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    if (out) {
        return status;
    }
    const int code = errno;
    err << "rotaline: cannot write the output: "
        << (code != 0 ? std::strerror(code) : "it is closed or cannot be written") << '\n';
    return kCommandFailed;
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLineArguments arguments = ParseArguments(args);
    if (arguments.error) {
        err << "rotaline: " << *arguments.error << '\n';
        return kCommandFailed;
    }
    if (arguments.help || (!arguments.words.empty() && arguments.words.front() == "help")) {
        out << CommandLineHelp();
        return kCommandDone;
    }
    if (arguments.version) {
        out << "Rotaline " << kVersion << '\n';
        return kCommandDone;
    }
    if (arguments.words.empty()) {
        err << "rotaline: no command given; rotaline help lists the commands\n";
        return kCommandFailed;
    }
    try {
        return Run(arguments, out);
    } catch (const CommandFailure& failure) {
        err << "rotaline: " << failure.message << '\n';
    } catch (const std::exception& failure) {
        err << "rotaline: " << failure.what() << '\n';
    }
    return kCommandFailed;
}

} // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool outIsTerminal) {
    outputIsTerminal = outIsTerminal;
    return CheckOutput(RunCommand(args, out, err), out, err);
}

} // namespace rotaline
