// The commands: the chooser's and editor's operations on a named mod, without a window.
#include "cli/CommandLine.h"

#include "core/cycle/MapCycleFile.h"
#include "core/cycle/ModMaps.h"
#include "core/cycle/PrintableText.h"
#include "core/lists/EditingOperations.h"
#include "core/platform/Paths.h"
#include "core/session/ErrorGuard.h"
#include "core/session/Globals.h"
#include "core/session/ModFlows.h"
#include "core/session/Version.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <limits>
#include <ostream>
#include <string_view>

namespace rotaline {

namespace {

using Operands = std::vector<std::string>;

// A command's exit status, or the one line that says why it failed; nothing has been written to
// any file when it fails.
using Outcome = Result<int, std::string>;

// One command: what it takes, what it does, an example, and the code that runs it with its
// operands. Commands that take a mod find it, and set ModName, before they run.
struct Command {
    std::string_view name;
    std::string_view usage;
    std::size_t minOperands;
    std::size_t maxOperands;
    std::string_view summary;
    std::string_view example;
    Outcome (*run)(const Operands& operands, std::ostream& out);
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

Result<void, std::string> ChooseMod(const std::string& mod) {
    FlowResult<std::vector<std::string>> mods = FindMods();
    if (!mods) {
        return std::move(mods.error().text);
    }
    if (std::find(mods->begin(), mods->end(), mod) == mods->end()) {
        return "unknown mod " + Quoted(mod) + ": " + Quoted(NativePath(InstallPath)) +
               " holds no such folder with a mapcycle.txt (rotaline mods lists the mods)";
    }
    ModName = mod;
    return {};
}

// The editor's two lists for the chosen mod, filled as opening the mod fills them.
Result<void, std::string> LoadLists(EditorLists& lists) {
    FlowResult<OpenedMod> mod = OpenMod(CurrentMod());
    if (!mod) {
        return std::move(mod.error().text);
    }
    ShowMod(std::move(*mod), lists);
    return {};
}

// A change to the cycle: false when there is nothing to save, or the reason it cannot be made.
using Change = Result<bool, std::string> (*)(EditorLists& lists, const Operands& operands);

// Another program may write the file between reading and saving it; then the change is made
// again to what that program wrote, so that both changes are kept, or fails as it would have
// on that file. Each such round means someone else saved, so a few rounds are plenty.
constexpr int kMaxChangeRounds = 20;

Outcome ChangeCycle(const Operands& operands, Change change) {
    for (int round = 0; round < kMaxChangeRounds; ++round) {
        EditorLists lists;
        if (Result<void, std::string> loaded = LoadLists(lists); !loaded) {
            return std::move(loaded.error());
        }
        Result<bool, std::string> changed = change(lists, operands);
        if (!changed) {
            return std::move(changed.error());
        }
        if (!*changed) {
            return kCommandDone;
        }
        FlowResult<void> saved = SaveCycle(CurrentMod(), lists);
        if (saved) {
            return kCommandDone;
        }
        if (saved.error().error.kind != ErrorKind::ChangedOnDisk) {
            return std::move(saved.error().text);
        }
    }
    return Quoted(CurrentMod().NativeCyclePath()) +
           " kept being changed by another program; nothing was written";
}

std::int16_t FirstIndexOf(const SelectableList& list, const std::string& text) {
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == text) {
            return i;
        }
    }
    return -1;
}

// The first entry of `map` in the cycle, or -1.
std::int16_t FindInCycle(const SelectableList& lstMap, const std::string& map) {
    for (std::int16_t i = 0; i < lstMap.ListCount(); ++i) {
        if (EntryNamesMap(lstMap.List(i), map)) {
            return i;
        }
    }
    return -1;
}

std::string NotInCycle(const std::string& map) {
    return Quoted(map) + " is not in the cycle of " + Quoted(ModName) + " (rotaline cycle " +
           ModName + " shows it)";
}

void SelectOnly(SelectableList& list, std::int16_t index) {
    list.ClearSelection();
    list.SetSelected(index, true);
}

Outcome RunMods(const Operands&, std::ostream& out) {
    FlowResult<std::vector<std::string>> mods = FindMods();
    if (!mods) {
        return std::move(mods.error().text);
    }
    Print(out, *mods);
    return kCommandDone;
}

Outcome RunMaps(const Operands&, std::ostream& out) {
    EditorLists lists;
    if (Result<void, std::string> loaded = LoadLists(lists); !loaded) {
        return std::move(loaded.error());
    }
    for (std::int16_t i = 0; i < lists.lstBSP.ListCount(); ++i) {
        out << Shown(lists.lstBSP.List(i)) << '\n';
    }
    return kCommandDone;
}

// The cycle as the file holds it, whether or not the mod has maps.
Outcome RunCycle(const Operands&, std::ostream& out) {
    Result<CycleFile> cycle = ReadMapCycle(CurrentMod().NativeCyclePath());
    if (!cycle) {
        return "Cannot read " + cycle.error().Message();
    }
    Print(out, cycle->lines);
    return kCommandDone;
}

Result<bool, std::string> Add(EditorLists& lists, const Operands& operands) {
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
            return Quoted(map) + " is not one of the maps of " + Quoted(ModName) +
                   " outside its cycle (rotaline maps " + ModName + " lists them)";
        }
        available.erase(found);
    }
    const std::size_t count = static_cast<std::size_t>(lists.lstMap.ListCount()) + maps.size();
    if (count > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        return "the cycle of " + Quoted(ModName) + " would hold " + std::to_string(count) +
               " entries; at most " + std::to_string(SelectableList::kMaxItems) + " can be edited";
    }
    // Move puts what it moves at the head of the cycle, so moving one map at a time from the
    // last named to the first leaves them at the head in the order given.
    for (auto map = maps.rbegin(); map != maps.rend(); ++map) {
        SelectOnly(lists.lstBSP, FirstIndexOf(lists.lstBSP, *map));
        cmdMove_Click(lists);
    }
    return true;
}

Result<bool, std::string> Remove(EditorLists& lists, const Operands& operands) {
    const std::vector<std::string> maps(operands.begin() + 1, operands.end());
    for (const std::string& map : maps) {
        if (FindInCycle(lists.lstMap, map) < 0) {
            return NotInCycle(map);
        }
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
Result<bool, std::string> Reorder(EditorLists& lists, const Operands& operands) {
    const std::int16_t index = FindInCycle(lists.lstMap, operands[1]);
    if (index < 0) {
        return NotInCycle(operands[1]);
    }
    SelectOnly(lists.lstMap, index);
    Move(lists.lstMap);
    return true;
}

Result<bool, std::string> Shuffle(EditorLists& lists, const Operands&) {
    if (lists.lstMap.ListCount() == 0) {
        return false; // nothing to shuffle, and nothing the editor would save
    }
    cmdRandom_Click(lists.lstMap, *MakeClockRandomSource());
    return true;
}

Outcome RunAdd(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Add);
}

Outcome RunRemove(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Remove);
}

Outcome RunUp(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Reorder<cmdUP_Click>);
}

Outcome RunDown(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Reorder<cmdDown_Click>);
}

Outcome RunShuffle(const Operands& operands, std::ostream&) {
    return ChangeCycle(operands, Shuffle);
}

Outcome RunCheck(const Operands&, std::ostream& out) {
    FlowResult<std::vector<CycleProblem>> problems = CheckMod(CurrentMod());
    if (!problems) {
        return std::move(problems.error().text);
    }
    const std::string where = ModName + "/mapcycle.txt";
    int status = kCommandDone;
    for (const CycleProblem& problem : *problems) {
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

Outcome Run(const CommandLineArguments& arguments, std::ostream& out) {
    const std::string& name = arguments.words.front();
    const Command* command = FindCommand(name);
    if (command == nullptr) {
        return "unknown command " + Quoted(name) + "; rotaline help lists the commands";
    }
    const Operands operands(arguments.words.begin() + 1, arguments.words.end());
    if (operands.size() < command->minOperands || operands.size() > command->maxOperands) {
        return "usage: " + UsageOf(*command);
    }
    if (FlowResult<void> install = FindInstall(arguments.installPath); !install) {
        return std::move(install.error().text);
    }
    if (command->minOperands > 0) {
        if (Result<void, std::string> chosen = ChooseMod(operands.front()); !chosen) {
            return std::move(chosen.error());
        }
    }
    return command->run(operands, out);
}

// The commands, each with an example, and the exit statuses.
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

// The usage, the options, then the commands: the one help text of every front-end.
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

int Answer(const CommandLineArguments& arguments, std::ostream& out, std::ostream& err) {
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
    Outcome outcome = std::string();
    RunGuarded([&] { outcome = Run(arguments, out); },
               [&](const std::string& text) { outcome = text; });
    if (!outcome) {
        // A name in the sentence may hold a line end; the failure still takes one line.
        const std::string& text = outcome.error();
        const bool plain = std::none_of(text.begin(), text.end(),
                                        [](char c) { return static_cast<unsigned char>(c) < ' '; });
        err << "rotaline: " << (plain ? text : EscapedForTerminal(text)) << '\n';
        return kCommandFailed;
    }
    return *outcome;
}

} // namespace

int RunCommand(const CommandLineArguments& arguments, std::ostream& out, std::ostream& err,
               bool outIsTerminal) {
    outputIsTerminal = outIsTerminal;
    return CheckOutput(Answer(arguments, out, err), out, err);
}

} // namespace rotaline
