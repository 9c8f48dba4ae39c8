// Every command on an install folder made by the test: output, exit status, and the file's bytes.
#include "cli/CommandLine.h"
#include "ScopedEnv.h"
#include "core/platform/posix/FileSystemCalls.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace rotaline {
namespace {

using Args = std::vector<std::string>;
using Files = std::vector<std::pair<std::string, std::string>>;
const auto kRowName = [](const auto& row) { return std::string(row.param.name); };

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// valve's maps: bounce, crossfire, Datacore, frenzy, and addon_only in valve_addon (frenzy again
// in valve_downloads); cstrike has a cycle but no maps, ricochet maps but no cycle.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        Make({{"valve/maps/bounce.bsp", ""},
              {"valve/maps/crossfire.bsp", ""},
              {"valve/maps/Datacore.bsp", ""},
              {"valve/maps/frenzy.bsp", ""},
              {"valve/maps/x.bspx", ""},
              {"valve_addon/maps/addon_only.bsp", ""},
              {"valve_addon/maps/two\nlines.bsp", ""},
              {"valve_downloads/maps/frenzy.bsp", ""},
              {"cstrike/mapcycle.txt", ""},
              {"ricochet/maps/rc_arena.bsp", ""}});
    }
    // Files under the install folder, each with its folders; "@" stands for the install folder.
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
    // The command's words are split at spaces.
    Outcome Run(const std::string& command, bool terminal = false) const {
        Args args;
        std::istringstream words(Here(command));
        for (std::string word; std::getline(words, word, ' ');) {
            args.push_back(word);
        }
        std::ostringstream out, err;
        const int status = RunCommandLine(args, out, err, terminal);
        return {status, out.str(), err.str()};
    }
    std::string Cycle() const { return TempFolder::Read(install / "valve/mapcycle.txt"); }

    TempFolder install;
};

// A command on valve's cycle: what it prints (standard error when it fails, without
// "rotaline: ") and the file after it (nullptr: unchanged).
struct CommandCase {
    const char* name;
    std::string before;
    const char* command;
    int status;
    const char* printed;
    const char* after;
    mode_t mode = 0644;
    bool terminal = false;
};

class Commands : public CommandLineTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, PrintSaveOrRefuseAndChangeNothingElse) {
    const CommandCase& row = GetParam();
    install.Write("valve/mapcycle.txt", row.before, row.mode);
    const Outcome outcome = Run("--install-path @ " + std::string(row.command), row.terminal);
    EXPECT_EQ(outcome.status, row.status);
    const bool failed = row.status == kCommandFailed;
    EXPECT_EQ(failed ? outcome.err : outcome.out,
              failed ? "rotaline: " + Here(row.printed) + "\n" : row.printed);
    EXPECT_EQ(failed ? outcome.out : outcome.err, "");
    EXPECT_TRUE(Cycle() == (row.after != nullptr ? row.after : row.before));
    EXPECT_EQ(TempFolder::Entries(install / "valve"), (Args{"mapcycle.txt", "maps"}));
}

constexpr int kDone = kCommandDone;
constexpr int kFailed = kCommandFailed;
const char* const kTwo = "crossfire\r\nbounce";
const std::string kHostile = "\x1b]0;owned\x07\r\nback\\slash";
const std::size_t kMost = 16 * 1024 * 1024; // bytes of a cycle file
const char* const kTooLarge = "Cannot read @/valve/mapcycle.txt: File too large: it holds 16777217 "
                              "bytes (16 MB), and at most 16777216 bytes (16 MB) can be read";
#define NOT_OUTSIDE                                                                                \
    " is not one of the maps of \"valve\" outside its cycle (rotaline maps valve lists them)"

// clang-format off
const CommandCase kCommandCases[] = {
    // An entry's map is its first word, in any letter case.
    {"MapsLeaveOutTheCycle", "frenzy \"\\x\\1\\\"\n\n BOUNCE \n", "maps valve", kDone, "addon_only\ncrossfire\nDatacore\n", nullptr},
    // A name from a hostile folder could hold terminal controls; a pipe gets the exact bytes.
    {"CycleToATerminalEscapesControls", kHostile, "cycle valve", kDone, "\\x1b]0;owned\\x07\nback\\\\slash\n", nullptr, 0644, true},
    {"CycleElsewherePrintsTheBytes", kHostile + "\r\n\r b", "cycle valve", kDone, "\x1b]0;owned\x07\nback\\slash\n\n b\n", nullptr},
    // A file's LF or CR LF line ends are kept.
    {"AddPutsTheMapsFirstInTheOrderGiven", kTwo, "add valve frenzy Datacore", kDone, "", "frenzy\r\nDatacore\r\ncrossfire\r\nbounce\r\n"},
    {"AddKeepsLineFeedEnds", "crossfire\n\n", "add valve Datacore", kDone, "", "Datacore\ncrossfire\n\n"},
    {"RemoveTakesEveryEntryOfTheMap", "bounce \"\\x\\\"\ncrossfire\n Bounce\nfrenzy\n", "remove valve bounce frenzy", kDone, "", "crossfire\n"},
    {"UpMovesTheFirstEntryInAnyCase", "crossfire\nbounce\nfrenzy\nbounce\n", "up valve BOUNCE", kDone, "", "bounce\ncrossfire\nfrenzy\nbounce\n"},
    {"DownMovesTheFirstEntry", "bounce\nfrenzy\nbounce\n", "down valve bounce", kDone, "", "frenzy\nbounce\nbounce\n"},
    {"ShuffleOfTwoExchangesThem", "crossfire\r\nbounce\r\n", "shuffle valve", kDone, "", "bounce\r\ncrossfire\r\n"},
    {"ShuffleOfAnEmptyCycleWritesNothing", "", "shuffle valve", kDone, "", nullptr},
    // The check reads the file as the server does; notes alone are no problem.
    {"CheckReportsProblemsWithTheirLines", "crossfire\n\ndatacore\nbounce // small\nfrenzy\ncrossfire\n", "check valve", kCommandFoundProblems,
     "valve/mapcycle.txt:3: \"datacore\" has no map file \"maps/datacore.bsp\"\n"
     "valve/mapcycle.txt:4: \"bounce\" has a comment after it, so the server takes \"frenzy\" of line 5 for its rules and never plays it; put the comment on a line of its own\n"
     "valve/mapcycle.txt:6: note: \"crossfire\" is also on line 1\n", nullptr},
    {"CheckWithNotesAlonePasses", "bounce\r\nbounce\r\n", "check valve", kDone, "valve/mapcycle.txt:2: note: \"bounce\" is also on line 1\n", nullptr},
    {"UnknownCommand", kTwo, "mpas valve", kFailed, "unknown command \"mpas\"; rotaline help lists the commands", nullptr},
    {"UnknownOption", kTwo, "cycle valve --force", kFailed, "unknown option --force; rotaline --help lists the options", nullptr},
    {"TooFewOperands", kTwo, "add valve", kFailed, "usage: rotaline add MOD MAP...", nullptr},
    {"InstallFolderWithoutFolders", kTwo, "--install-path @/none mods", kFailed, "No files present in: @/none\\*.", nullptr},
    {"ModWithoutCycle", kTwo, "add ricochet rc_arena", kFailed, "unknown mod \"ricochet\": \"@\" holds no such folder with a mapcycle.txt (rotaline mods lists the mods)", nullptr},
    {"ModWithoutMaps", kTwo, "maps cstrike", kFailed, "No files present in: @\\cstrike\\maps\\*.bsp", nullptr},
    {"AddOfAMapInTheCycle", kTwo, "add valve frenzy crossfire", kFailed, "\"crossfire\"" NOT_OUTSIDE, nullptr},
    {"AddOfAMapInAnotherLetterCase", kTwo, "add valve datacore", kFailed, "\"datacore\"" NOT_OUTSIDE, nullptr},
    {"AddOfAMapTwice", kTwo, "add valve frenzy frenzy", kFailed, "\"frenzy\"" NOT_OUTSIDE, nullptr},
    {"AddOfANameNoLineCanHold", kTwo, "add valve two\nlines", kFailed, "\"two\\nlines\"" NOT_OUTSIDE, nullptr},
    {"RemoveOfAMapNotInTheCycle", kTwo, "remove valve bounce frenzy", kFailed, "\"frenzy\" is not in the cycle of \"valve\" (rotaline cycle valve shows it)", nullptr},
    {"RemoveOfEveryMap", kTwo, "remove valve bounce crossfire", kFailed, "The cycle of valve is empty, and an empty cycle is not saved", nullptr},
    {"ReadOnlyCycle", kTwo, "up valve bounce", kFailed, "Cannot save @/valve/mapcycle.txt: Permission denied: the file is read-only", nullptr, 0444},
    {"CycleTooLargeToRead", std::string(kMost + 1, 'x'), "cycle valve", kFailed, kTooLarge, nullptr},
    {"CycleTooLargeToCheck", std::string(kMost + 1, 'x'), "check valve", kFailed, kTooLarge, nullptr},
    // Nor does a save write what could not be read back.
    {"CycleTooLargeToSave", std::string(kMost - 4, 'x'), "add valve frenzy", kFailed, "Cannot save @/valve/mapcycle.txt: File too large: the cycle would take 16777222 bytes, and at most 16777216 bytes (16 MB) can be read back", nullptr},
};
// clang-format on
#undef NOT_OUTSIDE
INSTANTIATE_TEST_SUITE_P(Rows, Commands, testing::ValuesIn(kCommandCases), kRowName);

// A command over files made for it (under the install folder, which is also the home folder and
// holds the Wine prefix): what it prints, on standard error when it starts with "rotaline: ".
struct FilesCase {
    const char* name;
    Files files;
    const char* command;
    const char* printed;
};

class OverFiles : public CommandLineTest, public testing::WithParamInterface<FilesCase> {};

TEST_P(OverFiles, FindTheInstallAndPrint) {
    Make(GetParam().files);
    const ScopedEnv home("HOME", install.Path()), prefix("WINEPREFIX", install / ".wine");
    const Outcome outcome = Run(GetParam().command);
    const bool failed = std::string_view(GetParam().printed).starts_with("rotaline: ");
    EXPECT_EQ(outcome.status, failed ? kCommandFailed : kCommandDone);
    EXPECT_EQ(failed ? outcome.err : outcome.out, GetParam().printed);
}

// Half-Life in `library`, with one mod named to tell which library was found.
std::pair<std::string, std::string> Game(const std::string& library, const std::string& mod) {
    return {library + "/steamapps/common/Half-Life/" + mod + "/mapcycle.txt", "crossfire"};
}
// Steam's list of libraries for the client root `root`: since 2021, or numbered values before.
std::pair<std::string, std::string> Libraries(const std::string& root, const Args& paths,
                                              bool before2021 = false) {
    std::string text = before2021 ? "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n"
                                  : "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < paths.size(); ++i) {
        text += "\t\"" + std::to_string(i + 1) +
                (before2021 ? "\"\t\"" + paths[i] + "\"\n"
                            : "\"\n\t{\n\t\t\"path\"\t\t\"" + paths[i] +
                                  "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"70\"\t\"1\"\n\t\t}\n\t}\n");
    }
    return {root + "/steamapps/libraryfolders.vdf", text + "}\n"};
}
const std::string kLocal = ".local/share/Steam";
const std::string kFlatpak = ".var/app/com.valvesoftware.Steam/.local/share/Steam";
const std::string kRegistry = "WINE REGISTRY Version 2\n\n[Software\\\\Valve\\\\Half-Life] 1\n";

// clang-format off
const FilesCase kFilesCases[] = {
    // The registry's key without the value counts as no install.
    {"NothingFound", {{".wine/system.reg", kRegistry}}, "mods", "rotaline: Half Life is not installed on this machine\n"},
    {"RegistryValueBeforeTheSearch", {{".wine/system.reg", kRegistry + "\"InstallPath\"=\"@/registered\"\n"}, {"registered/cstrike/mapcycle.txt", ""}, Game("Steam", "steamcmd")}, "mods", "cstrike\n"},
    {"SteamCmdsFolder", {Game("Steam", "tfc"), {"Steam/steamapps/common/Half-Life/tfc/mapcycle.txt", "2fort\r\nwell"}}, "cycle tfc", "2fort\nwell\n"},
    {"LaterLibraryOfTheList", {Libraries(kLocal, {"@/" + kLocal, "@/disk2", "@/disk3/"}), Game("disk3", "third"), Game("disk2", "second")}, "mods", "second\n"},
    {"LibraryListOfBefore2021", {Libraries(kLocal, {"@/old library"}, true), Game("old library", "old")}, "mods", "old\n"},
    // A root without a library list is a library all the same; so is one its list leaves out.
    {"FlatpakRoot", {Game(kFlatpak, "root")}, "mods", "root\n"},
    {"FlatpakLibraryBeforeItsRoot", {Libraries(kFlatpak, {"@/games"}), Game(kFlatpak, "root"), Game("games", "listed")}, "mods", "listed\n"},
    {"DamagedListLeavesTheRoot", {{kLocal + "/steamapps/libraryfolders.vdf", "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\"@/listed\"\n"}, Game("listed", "listed"), Game(kLocal, "root")}, "mods", "root\n"},
    {"HalfLifeFolderWithoutAModIsPassedOver", {{"Steam/steamapps/common/Half-Life/.hidden/mapcycle.txt", ""}, {"Steam/steamapps/common/Half-Life/hlds_run", ""}, Game(".steam/steamcmd", "cmd")}, "mods", "cmd\n"},
    // On Linux a backslash is part of a name; only the registry's Windows paths are mapped.
    {"InstallPathIsTakenLiterally", {{"half\\life/valve/mapcycle.txt", "crossfire\r\n"}, {"half/life/valve/mapcycle.txt", "other\r\n"}}, "--install-path @/half\\life cycle valve", "crossfire\n"},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Rows, OverFiles, testing::ValuesIn(kFilesCases), kRowName);

TEST_F(CommandLineTest, OutputThatCannotBeWrittenFailsTheCommand) {
    std::ofstream full("/dev/full");
    std::ostream closed(nullptr);
    for (std::ostream* out : {static_cast<std::ostream*>(&full), &closed}) {
        std::ostringstream err;
        EXPECT_EQ(RunCommandLine({"--install-path", install.Path(), "mods"}, *out, err), kFailed);
        EXPECT_TRUE(err.str().starts_with("rotaline: cannot write the output: ")) << err.str();
    }
}

// Another program writes the cycle file just before it is opened for the `nth` time.
struct WriterBeforeOpen : FileSystemCalls {
    WriterBeforeOpen(int nth, std::string bytes) : nth_(nth), bytes_(std::move(bytes)) {
        UseFileSystemCalls(this);
    }
    ~WriterBeforeOpen() override { UseFileSystemCalls(nullptr); }
    int Open(const char* path, int flags, mode_t mode) override {
        if (std::string_view(path).ends_with("mapcycle.txt") && --nth_ == 0) {
            std::ofstream(path, std::ios::binary) << bytes_;
        }
        return FileSystemCalls::Open(path, flags, mode);
    }
    int nth_;
    std::string bytes_;
};

// The command is made again on what the other program wrote, or fails as it would on that.
TEST_F(CommandLineTest, ChangeOnDiskBeforeSavingIsKeptOrStopsTheCommand) {
    install.Write("valve/mapcycle.txt", "crossfire\nbounce\n");
    {
        const WriterBeforeOpen other(2, "frenzy\ncrossfire\nbounce\n");
        EXPECT_EQ(Run("--install-path @ remove valve bounce").status, kDone);
    }
    EXPECT_EQ(Cycle(), "frenzy\ncrossfire\n");
    {
        const WriterBeforeOpen other(2, "crossfire\r\n");
        EXPECT_EQ(Run("--install-path @ up valve frenzy").status, kFailed);
    }
    EXPECT_EQ(Cycle(), "crossfire\r\n");
}

TEST_F(CommandLineTest, AddsStartedTogetherBothLand) {
    for (int round = 0; round < 5; ++round) {
        install.Write("valve/mapcycle.txt", "crossfire\n");
        std::vector<pid_t> children;
        for (const char* map : {"frenzy", "Datacore"}) {
            if (children.emplace_back(fork()) == 0) {
                _exit(Run("--install-path @ add valve " + std::string(map)).status);
            }
        }
        for (const pid_t child : children) {
            int status = -1;
            waitpid(child, &status, 0);
            EXPECT_EQ(status, 0);
        }
        const std::string cycle = Cycle();
        EXPECT_TRUE(cycle == "frenzy\nDatacore\ncrossfire\n" ||
                    cycle == "Datacore\nfrenzy\ncrossfire\n")
            << cycle;
    }
}

TEST_F(CommandLineTest, HelpListsEveryCommandWithAnExample) {
    const Outcome outcome = Run("help");
    for (const std::string command :
         {"mods", "maps", "cycle", "add", "remove", "up", "down", "shuffle", "check"}) {
        EXPECT_NE(outcome.out.find("\n  " + command + " "), std::string::npos) << command;
        EXPECT_NE(outcome.out.find("    rotaline " + command), std::string::npos) << command;
    }
    EXPECT_EQ(Run("maps --help").out, outcome.out);
    EXPECT_EQ(Run("mods --version").out, "Rotaline 2.00\n");
}

} // namespace
} // namespace rotaline
