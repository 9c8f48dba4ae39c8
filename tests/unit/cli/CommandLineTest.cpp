// Every command on an install folder made by the test: output, exit status, and the file's bytes.
#include "cli/CommandLine.h"
#include "ScopedEnv.h"
#include "ScratchFolder.h"
#include "cli/CommandLineArguments.h"
#include "core/cycle/CycleCheck.h"
#include "core/platform/posix/FileSystemCalls.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace rotaline {
namespace {

using Names = std::vector<std::string>;

// The program's arguments as a console front-end with no options of its own hands them on.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool outIsTerminal = false) {
    return RunCommand(ParseArguments(args), out, err, outIsTerminal);
}
using Files = std::vector<std::pair<std::string, std::string>>;

// Another program writes `bytes` (if any) to the cycle file just before its second opening.
struct WriterBeforeOpen : FileSystemCalls {
    explicit WriterBeforeOpen(const char* bytes) : bytes_(bytes) { UseFileSystemCalls(this); }
    ~WriterBeforeOpen() override { UseFileSystemCalls(nullptr); }
    int Open(const char* path, int flags, mode_t mode) override {
        if (bytes_ && std::string_view(path).ends_with("mapcycle.txt") && ++opened_ == 2) {
            std::ofstream(path, std::ios::binary) << bytes_;
        }
        return FileSystemCalls::Open(path, flags, mode);
    }
    const char* bytes_;
    int opened_ = 0;
};

// A command on valve's cycle `before`: what it prints (to standard error when it fails) and the
// cycle after it (none: unchanged). Rows without files get "--install-path @" (@: the install).
struct CommandCase {
    const char* name;
    std::string before;
    const char* command;
    int status;
    std::string printed;
    std::optional<std::string> after = {};
    Files files = {};
    const char* written = nullptr; // by another program just before the cycle is opened again
    mode_t mode = 0644;
    bool terminal = false;
};

// valve's maps: bounce, crossfire, Datacore, frenzy, and addon_only in valve_addon (frenzy again
// in valve_downloads); cstrike has a cycle but no maps, ricochet maps but no cycle. The install
// folder is also the home folder and holds the Wine prefix.
class Commands : public testing::TestWithParam<CommandCase> {
protected:
    void Make(const Files& files) const {
        for (const auto& [path, bytes] : files) {
            std::filesystem::create_directories(
                std::filesystem::path(install / path).parent_path());
            install.Write(path, Here(bytes));
        }
    }
    std::string Here(std::string text) const {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
            text.replace(at, 1, install.Path());
        }
        return text;
    }
    TempFolder install;
};

TEST_P(Commands, PrintSaveOrRefuseAndChangeNothingElse) {
    const CommandCase& row = GetParam();
    std::istringstream maps("bounce.bsp crossfire.bsp x.bspx AS_OILRIG.BSP Datacore.bsp frenzy.bsp "
                            "a_map_name_of_thirty_one_chars_.bsp");
    for (std::string map; maps >> map;) {
        Make({{"valve/maps/" + map, ""}});
    }
    Make({{"valve_addon/maps/addon_only.bsp", ""},
          {"valve_downloads/maps/frenzy.bsp", ""},
          {"cstrike/mapcycle.txt", ""},
          {"ricochet/maps/rc_arena.bsp", ""}});
    install.Write("valve/mapcycle.txt", row.before, row.mode);
    Make(row.files);
    Names args;
    std::istringstream words(
        Here((row.files.empty() ? "--install-path @ " : "") + std::string(row.command)));
    for (std::string word; std::getline(words, word, ' ');) {
        args.push_back(word);
    }
    const ScopedEnv home("HOME", install.Path()), prefix("WINEPREFIX", install / ".wine");
    const WriterBeforeOpen other(row.written);
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(args, out, err, row.terminal), row.status);
    const bool failed = row.status == kCommandFailed;
    EXPECT_EQ((failed ? err : out).str(),
              failed ? "rotaline: " + Here(row.printed) + "\n" : row.printed);
    EXPECT_EQ((failed ? out : err).str(), "");
    EXPECT_TRUE(TempFolder::Read(install / "valve/mapcycle.txt") == row.after.value_or(row.before));
    EXPECT_EQ(TempFolder::Entries(install / "valve"), (Names{"mapcycle.txt", "maps"}));
}

constexpr int kDone = kCommandDone;
constexpr int kFailed = kCommandFailed;
const char* const kTwo = "crossfire\r\nbounce";
const std::string kControls = "\x1b]0;owned\x07\r\nback\\slash";
// One byte under the size at which clients crash.
const std::string kJustUnder = std::string(kCycleFileCrashBytes - 9, '/') + "\r\nbounce";
const std::string kLocal = ".local/share/Steam";
const std::string kGame = "/steamapps/common/Half-Life/";
const std::string kList = kLocal + "/steamapps/libraryfolders.vdf"; // Steam's list of libraries
const std::string kRegistry = "WINE REGISTRY Version 2\n\n[Software\\\\Valve\\\\Half-Life] 1\n";
// Half-Life in `library`, with one mod, named to tell which library was found.
std::pair<std::string, std::string> Game(const std::string& library, const std::string& mod) {
    return {library + kGame + mod + "/mapcycle.txt", ""};
}
std::string Library(int key, const std::string& path) {
    return "\t\"" + std::to_string(key) + "\"\n\t{\n\t\t\"path\"\t\"" + path + "\"\n\t}\n";
}
#define AT "valve/mapcycle.txt:" // the check's lines
const std::string kNotIn = "\" is not in the cycle of \"valve\" (rotaline cycle valve shows it)";
const std::string kNotOutside =
    " is not one of the maps of \"valve\" outside its cycle (rotaline maps valve lists them)";

// clang-format off
const CommandCase kCommandCases[] = {
    // An entry's map is its first word, in any letter case.
    {"MapsLeaveOutTheCycle", "frenzy \"\\x\\1\\\"\n\n BOUNCE \n", "maps valve", kDone,
     "a_map_name_of_thirty_one_chars_\naddon_only\nAS_OILRIG\ncrossfire\nDatacore\n"},
    // A name from a hostile folder could hold terminal controls; a pipe gets the exact bytes.
    {"CycleToATerminalEscapesControls", kControls, "cycle valve", kDone,
     "\\x1b]0;owned\\x07\nback\\\\slash\n", {}, {}, nullptr, 0644, true},
    {"CycleElsewherePrintsTheBytes", kControls + "\r\n\r b", "cycle valve", kDone,
     "\x1b]0;owned\x07\nback\\slash\n\n b\n"},
    // A file's LF (the rows after these) or CR LF ends are kept; CR alone and mixed ends are
    // written CR LF. Empty lines, spaces and any bytes are kept.
    {"AddPutsTheMapsFirstInTheOrderGiven", kTwo, "add valve frenzy Datacore", kDone, "",
     "frenzy\r\nDatacore\r\ncrossfire\r\nbounce\r\n"},
    {"AddToOddBytes", std::string("\r\n b \t\r\n\357\273\277caf\351\0b", 17), "add valve frenzy",
     kDone, "", std::string("frenzy\r\n\r\n b \t\r\n\357\273\277caf\351\0b\r\n", 27)},
    {"AddToMixedEnds", "a\rb\nc\r\r\nd\r", "add valve frenzy", kDone, "",
     "frenzy\r\na\r\nb\r\nc\r\n\r\nd\r\n"},
    {"AddToEmptyFile", "", "add valve frenzy", kDone, "", "frenzy\r\n"},
    {"RemoveTakesEveryEntryOfTheMap", "bounce \"\\x\\\"\ncrossfire\n Bounce\nfrenzy\n",
     "remove valve bounce frenzy", kDone, "", "crossfire\n"},
    {"UpMovesTheFirstEntryInAnyCase", "crossfire\nbounce\nfrenzy\nbounce\n", "up valve BOUNCE",
     kDone, "", "bounce\ncrossfire\nfrenzy\nbounce\n"},
    {"DownMovesTheFirstEntry", "bounce\nfrenzy\nbounce\n", "down valve bounce", kDone, "",
     "frenzy\nbounce\nbounce\n"},
    {"ShuffleOfTwoExchangesThem", kTwo, "shuffle valve", kDone, "", "bounce\r\ncrossfire\r\n"},
    // The check reads the file as the server does.
    {"CheckReportsEachProblemWithItsLine",
     std::string("\357\273\277bounce\na_map_name_of_thirty_two_chars__\nbounce // small\nfrenzy\n"
                 "frenzy\rcrossfire\n\0", 84),
     "check valve", kCommandFoundProblems,
     AT "1: the file starts with a UTF-8 byte-order mark (EF BB BF), which the server reads as "
     "part of \"\357\273\277bounce\" and so finds no such map; remove the mark\n"
     AT "2: \"a_map_name_of_thirty_two_chars__\" has no map file "
     "\"maps/a_map_name_of_thirty_two_chars__.bsp\"\n"
     AT "2: \"a_map_name_of_thirty_two_chars__\" is 32 characters long; the server overruns its "
     "buffer at 32 or more\n"
     AT "3: \"bounce\" has a comment after it, so the server takes \"frenzy\" of line 4 for its "
     "rules and never plays it; put the comment on a line of its own\n"
     AT "5: the line ends in CR alone, so the server takes \"crossfire\" of line 6 for the rules "
     "of \"frenzy\" and never plays it; end lines with LF or CR LF\n"
     AT "7: note: a NUL byte ends what the server reads; no map follows it\n"},
    // Spaces, empty lines, LF ends, rules, comment lines, comments after rules or the last map;
    // notes alone are no problem.
    {"CheckPassesWhatTheServerReadsWell", " bounce \t\n\r\n// nowhere\r\n//\n\tDatacore "
     "\"\\minplayers\\1\\\"\nfrenzy \"\\maxplayers\\32\\\" // big\nbounce\n"
     "a_map_name_of_thirty_one_chars_ // last\n", "check valve", kDone,
     AT "7: note: \"bounce\" is also on line 1\n"},
    {"CheckOfJustUnderTheCrashSize", kJustUnder, "check valve", kDone, ""},
    {"CheckOfTheCrashSize", kJustUnder + "\n", "check valve", kCommandFoundProblems,
     AT " the file holds 8192 bytes; clients crash on connect when it holds 8192 or more\n"},
    {"CheckOfUpperCaseExtension", "AS_OILRIG\r\n", "check valve", kCommandFoundProblems,
     AT "1: \"AS_OILRIG\" has no map file \"maps/AS_OILRIG.bsp\"\n"},
    {"CheckOfCrOnlyEnds", "bounce\rfrenzy\rcrossfire\r", "check valve", kCommandFoundProblems,
     AT "1: the line ends in CR alone, so the server takes \"frenzy\" of line 2 for the rules of "
     "\"bounce\" and never plays it; end lines with LF or CR LF\n"},
    {"UnknownCommand", kTwo, "mpas valve", kFailed,
     "unknown command \"mpas\"; rotaline help lists the commands"},
    {"TooFewOperands", kTwo, "add valve", kFailed, "usage: rotaline add MOD MAP..."},
    // The last --install-path counts, and one ending in a separator serves as well.
    {"InstallPathEndingInASeparator", kTwo, "--install-path @/ mods", kDone, "cstrike\nvalve\n"},
    {"InstallFolderWithoutFolders", kTwo, "--install-path @/none mods", kFailed,
     "No files present in: @/none\\*."},
    {"ModWithoutCycle", kTwo, "add ricochet rc_arena", kFailed, "unknown mod \"ricochet\": \"@\" "
     "holds no such folder with a mapcycle.txt (rotaline mods lists the mods)"},
    {"ModWithoutMaps", kTwo, "maps cstrike", kFailed,
     "No files present in: @\\cstrike\\maps\\*.bsp"},
    {"AddOfAMapTwice", kTwo, "add valve frenzy frenzy", kFailed, "\"frenzy\"" + kNotOutside},
    {"AddOfALineBreak", kTwo, "add valve two\nlines", kFailed, "\"two\\nlines\"" + kNotOutside},
    {"RemoveOfAMapNotInTheCycle", kTwo, "remove valve bounce frenzy", kFailed, "\"frenzy" + kNotIn},
    {"RemoveOfEveryMap", kTwo, "remove valve bounce crossfire", kFailed,
     "The cycle of valve is empty, and an empty cycle is not saved"},
    {"ReadOnlyCycle", kTwo, "up valve bounce", kFailed, "Cannot save @/valve/mapcycle.txt: "
     "Permission denied: the file is read-only", {}, {}, nullptr, 0444},
    // The change is made again to what another program wrote, or fails as it would on that.
    {"ChangeOnDiskIsKept", "crossfire\nbounce\n", "remove valve bounce", kDone, "",
     "frenzy\ncrossfire\n", {}, "frenzy\ncrossfire\nbounce\n"},
    {"ChangeOnDiskStopsTheCommand", "frenzy\ncrossfire\n", "up valve frenzy", kFailed,
     "\"frenzy" + kNotIn, "crossfire\r\n", {}, "crossfire\r\n"},
    // Nor does a save write what could not be read back (a cycle file holds at most 16 MB).
    {"CycleTooLargeToSave", std::string(16 * 1024 * 1024 - 4, 'x'), "add valve frenzy", kFailed,
     "Cannot save @/valve/mapcycle.txt: File too large: the cycle would take 16777222 bytes, and "
     "at most 16777216 bytes (16 MB) can be read back"},
    // Without --install-path: the Wine prefix's registry, else the folders of Steam and SteamCMD.
    // The registry's key without the value counts as no install.
    {"NothingFound", "", "mods", kFailed, "Half Life is not installed on this machine", {},
     {{".wine/system.reg", kRegistry}}},
    {"RegistryValueBeforeTheSearch", "", "mods", kDone, "cstrike\n", {},
     {{".wine/system.reg", kRegistry + "\"InstallPath\"=\"@/cs\"\n"},
      {"cs/cstrike/mapcycle.txt", ""}, Game("Steam", "steamcmd")}},
    {"LaterLibraryOfTheList", "", "mods", kDone, "second\n", {},
     {{kList, "\"libraryfolders\"\n{\n" + Library(0, "@/" + kLocal) + Library(1, "@/disk2") +
                  Library(2, "@/disk3/") + "}\n"},
      Game("disk3", "third"), Game("disk2", "second")}},
    {"LibraryListOfBefore2021", "", "mods", kDone, "old\n", {},
     {{kList, "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n\t\"1\"\t\"@/old\"\n}\n"},
      Game("old", "old")}},
    // A root is a library of its own, even when its list is cut short.
    {"DamagedListLeavesTheRoot", "", "mods", kDone, "root\n", {},
     {{kList, "\"libraryfolders\"\n{\n" + Library(0, "@/l").substr(0, 23)}, Game("l", "listed"),
      Game(kLocal, "root")}},
    {"HalfLifeFolderWithoutAModIsPassedOver", "", "mods", kDone, "cmd\n", {},
     {{"Steam" + kGame + ".hidden/mapcycle.txt", ""}, {"Steam" + kGame + "hlds_run", ""},
      Game(".steam/steamcmd", "cmd")}},
    // On Linux a backslash is part of a name; only the registry's Windows paths are mapped.
    {"InstallPathIsTakenLiterally", "", "--install-path @/half\\life cycle valve", kDone,
     "crossfire\n", {},
     {{"half\\life/valve/mapcycle.txt", "crossfire\r\n"}, {"half/life/valve/mapcycle.txt", ""}}},
};
// clang-format on
#undef AT
INSTANTIATE_TEST_SUITE_P(Rows, Commands, testing::ValuesIn(kCommandCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CommandLine, OutputThatCannotBeWrittenFailsTheCommand) {
    std::ofstream full("/dev/full");
    std::ostream closed(nullptr);
    for (std::ostream* out : {static_cast<std::ostream*>(&full), &closed}) {
        std::ostringstream err;
        EXPECT_EQ(RunCommandLine({"help"}, *out, err), kFailed);
        EXPECT_TRUE(err.str().starts_with("rotaline: cannot write the output: ")) << err.str();
    }
}

} // namespace
} // namespace rotaline
