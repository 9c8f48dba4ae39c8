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
const std::string kCycle = "crossfire\r\nbounce";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunBare(const Args& args, bool terminal = false) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCommandLine(args, out, err, terminal);
    return {status, out.str(), err.str()};
}

// valve's maps: bounce, crossfire, Datacore, frenzy, and addon_only in valve_addon (frenzy again
// in valve_downloads); cstrike has a cycle, ricochet none.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* map :
             {"valve/maps/bounce.bsp", "valve/maps/crossfire.bsp", "valve/maps/Datacore.bsp",
              "valve/maps/frenzy.bsp", "valve_addon/maps/addon_only.bsp",
              "valve_addon/maps/two\nlines.bsp", "valve_downloads/maps/frenzy.bsp",
              "cstrike/mapcycle.txt"}) {
            std::filesystem::create_directories(std::filesystem::path(install / map).parent_path());
            install.Write(map, "");
        }
        install.MakeFolder("ricochet");
        WriteCycle(kCycle);
    }
    void WriteCycle(const std::string& bytes, mode_t mode = 0644) {
        install.Write("valve/mapcycle.txt", bytes, mode);
    }
    std::string Cycle() const { return TempFolder::Read(install / "valve/mapcycle.txt"); }
    // "@" stands for the install folder.
    std::string Here(std::string text) const {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
            text.replace(at, 1, install.Path());
        }
        return text;
    }
    Outcome Run(Args args) const {
        for (std::string& arg : args) {
            arg = Here(arg);
        }
        args.insert(args.begin(), {"--install-path", install.Path()});
        return RunBare(args);
    }

    TempFolder install;
};

// A command on a cycle file: what it prints (standard error when it fails, without
// "rotaline: "; "@" stands for the install folder) and the file after it (nullptr: unchanged).
struct CommandCase {
    const char* name;
    const char* before;
    const char* command; // its words, split at spaces
    int status;
    const char* printed;
    const char* after;
    mode_t mode = 0644;
};

void PrintTo(const CommandCase& row, std::ostream* out) {
    *out << row.name;
}

class Commands : public CommandLineTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, PrintSaveOrRefuseAndChangeNothingElse) {
    const CommandCase& row = GetParam();
    WriteCycle(row.before, row.mode);
    Args args;
    std::istringstream words(row.command);
    for (std::string word; std::getline(words, word, ' ');) {
        args.push_back(word);
    }
    const Outcome outcome = Run(args);
    EXPECT_EQ(outcome.status, row.status);
    const bool failed = row.status == kCommandFailed;
    EXPECT_EQ(failed ? outcome.err : outcome.out,
              failed ? "rotaline: " + Here(row.printed) + "\n" : row.printed);
    EXPECT_EQ(failed ? outcome.out : outcome.err, "");
    EXPECT_EQ(Cycle(), row.after != nullptr ? row.after : row.before);
    EXPECT_EQ(TempFolder::Entries(install / "valve"), (Args{"mapcycle.txt", "maps"}));
}

constexpr int kDone = kCommandDone;
constexpr int kFailed = kCommandFailed;
const char* const kRules = "frenzy \"\\minplayers\\1\\\"\n\n BOUNCE \nBOUNCE\n";
const char* const kTwo = "crossfire\r\nbounce";
#define NOT_OUTSIDE                                                                                \
    " is not one of the maps of \"valve\" outside its cycle (rotaline maps valve lists them)"

// clang-format off
const CommandCase kCommandCases[] = {
    // Maps from valve_addon and valve_downloads, once each; an entry's map is its first word,
    // in any letter case.
    {"MapsLeaveOutTheCycleByFirstWord", kRules, "maps valve", kDone,
     "addon_only\ncrossfire\nDatacore\n", nullptr},
    {"CyclePrintsEveryLine", kRules, "cycle valve", kDone, kRules, nullptr},
    // A file's LF or CR LF line ends are kept; CR alone becomes CR LF.
    {"AddPutsTheMapsFirstInTheOrderGiven", kTwo, "add valve frenzy Datacore", kDone, "",
     "frenzy\r\nDatacore\r\ncrossfire\r\nbounce\r\n"},
    {"AddKeepsLineFeedEnds", "crossfire\nbounce \"\\minplayers\\1\\\"\n\n", "add valve Datacore",
     kDone, "", "Datacore\ncrossfire\nbounce \"\\minplayers\\1\\\"\n\n"},
    {"RemoveTakesEveryEntryOfTheMap", "bounce \"\\x\\1\\\"\ncrossfire\n Bounce\nbounce\nfrenzy\n",
     "remove valve bounce frenzy", kDone, "", "crossfire\n"},
    {"UpMovesTheFirstEntryInAnyCase", "crossfire\r\nbounce\r\nfrenzy\r\nbounce", "up valve BOUNCE",
     kDone, "", "bounce\r\ncrossfire\r\nfrenzy\r\nbounce\r\n"},
    {"DownMovesTheFirstEntry", "bounce\r\ncrossfire\r\nbounce\r\n", "down valve bounce", kDone, "",
     "crossfire\r\nbounce\r\nbounce\r\n"},
    {"UpOfTheFirstEntrySavesCrAloneAsCrLf", "bounce\rcrossfire", "up valve bounce", kDone, "",
     "bounce\r\ncrossfire\r\n"},
    {"ShuffleOfTwoExchangesThem", "crossfire\r\nbounce\r\n", "shuffle valve", kDone, "",
     "bounce\r\ncrossfire\r\n"},
    {"ShuffleOfAnEmptyCycleWritesNothing", "", "shuffle valve", kDone, "", ""},
    // The check reads the file as the server does; notes alone are no problem.
    {"CheckReportsProblemsWithTheirLines",
     "crossfire\n\n addon_only \ndatacore\nbounce // small\nfrenzy\ncrossfire\n", "check valve",
     kCommandFoundProblems,
     "valve/mapcycle.txt:4: \"datacore\" has no map file \"maps/datacore.bsp\"\n"
     "valve/mapcycle.txt:5: \"bounce\" has a comment after it, so the server takes \"frenzy\" of "
     "line 6 for its rules and never plays it; put the comment on a line of its own\n"
     "valve/mapcycle.txt:7: note: \"crossfire\" is also on line 1\n", nullptr},
    {"CheckWithNotesAlonePasses", "bounce\r\nbounce\r\n", "check valve", kDone,
     "valve/mapcycle.txt:2: note: \"bounce\" is also on line 1\n", nullptr},
    {"UnknownCommand", kTwo, "mpas valve", kFailed,
     "unknown command \"mpas\"; rotaline help lists the commands", nullptr},
    {"UnknownOption", kTwo, "cycle valve --force", kFailed,
     "unknown option --force; rotaline --help lists the options", nullptr},
    {"TooFewOperands", kTwo, "add valve", kFailed, "usage: rotaline add MOD MAP...", nullptr},
    {"EmptyInstallPath", kTwo, "--install-path= cycle valve", kFailed,
     "--install-path needs a folder: the given path is empty", nullptr},
    {"InstallFolderWithoutFolders", kTwo, "--install-path @/none mods", kFailed,
     "No files present in: @/none\\*.", nullptr},
    {"ModWithoutCycle", kTwo, "add ricochet rc_arena", kFailed,
     "unknown mod \"ricochet\": \"@\" holds no such folder with a mapcycle.txt (rotaline mods "
     "lists the mods)", nullptr},
    {"AddOfAMapInTheCycle", kTwo, "add valve frenzy crossfire", kFailed,
     "\"crossfire\"" NOT_OUTSIDE, nullptr},
    {"AddOfAMapInAnotherLetterCase", kTwo, "add valve datacore", kFailed,
     "\"datacore\"" NOT_OUTSIDE, nullptr},
    {"AddOfAMapTwice", kTwo, "add valve frenzy frenzy", kFailed, "\"frenzy\"" NOT_OUTSIDE, nullptr},
    {"AddOfANameNoLineCanHold", kTwo, "add valve two\nlines", kFailed,
     "\"two\\nlines\"" NOT_OUTSIDE, nullptr},
    {"RemoveOfAMapNotInTheCycle", kTwo, "remove valve bounce frenzy", kFailed,
     "\"frenzy\" is not in the cycle of \"valve\" (rotaline cycle valve shows it)", nullptr},
    {"RemoveOfEveryMap", kTwo, "remove valve bounce crossfire", kFailed,
     "The cycle of valve is empty, and an empty cycle is not saved", nullptr},
    {"ReadOnlyCycle", kTwo, "up valve bounce", kFailed,
     "Cannot save @/valve/mapcycle.txt: Permission denied: the file is read-only", nullptr,
     0444},
};
// clang-format on
#undef NOT_OUTSIDE

INSTANTIATE_TEST_SUITE_P(Rows, Commands, testing::ValuesIn(kCommandCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CommandLineTest, CycleTooLargeToReadOrToSaveIsRefusedUnchanged) {
    WriteCycle(std::string(16 * 1024 * 1024 + 1, 'x'));
    for (const char* command : {"cycle", "maps", "check", "shuffle"}) {
        const Outcome outcome = Run({command, "valve"});
        EXPECT_EQ(outcome.status, kCommandFailed);
        EXPECT_TRUE(outcome.err.starts_with(Here("rotaline: Cannot read @/valve/mapcycle.txt: "
                                                 "File too large")))
            << outcome.err;
    }
    // Nor does a save write what could not be read back.
    WriteCycle(std::string(16 * 1024 * 1024 - 4, 'x'));
    const Outcome outcome = Run({"add", "valve", "frenzy"});
    EXPECT_NE(outcome.err.find("at most 16777216 bytes"), std::string::npos) << outcome.err;
    EXPECT_EQ(Cycle().size(), 16u * 1024 * 1024 - 4);
}

// A name from a hostile folder could hold terminal controls; a pipe gets the exact bytes.
TEST_F(CommandLineTest, ControlCharactersAreEscapedOnATerminalOnly) {
    WriteCycle("\x1b]0;owned\x07\r\nback\\slash\r\n");
    for (const bool terminal : {true, false}) {
        EXPECT_EQ(RunBare({"--install-path", install.Path(), "cycle", "valve"}, terminal).out,
                  terminal ? "\\x1b]0;owned\\x07\nback\\\\slash\n"
                           : "\x1b]0;owned\x07\nback\\slash\n");
    }
}

TEST_F(CommandLineTest, OutputThatCannotBeWrittenFailsTheCommand) {
    std::ofstream full("/dev/full");
    std::ostream closed(nullptr);
    for (std::ostream* out : {static_cast<std::ostream*>(&full), &closed}) {
        std::ostringstream err;
        EXPECT_EQ(RunCommandLine({"--install-path", install.Path(), "cycle", "valve"}, *out, err),
                  kCommandFailed);
        EXPECT_TRUE(err.str().starts_with("rotaline: cannot write the output: ")) << err.str();
    }
}

// On Linux a backslash is part of a name; only the registry's Windows paths are mapped.
TEST_F(CommandLineTest, InstallPathIsTakenLiterally) {
    for (const char* folder : {"half\\life", "half\\life/valve", "half", "half/life"}) {
        install.MakeFolder(folder);
    }
    install.MakeFolder("half/life/valve");
    install.Write("half\\life/valve/mapcycle.txt", "crossfire\r\n");
    install.Write("half/life/valve/mapcycle.txt", "another install\r\n");
    EXPECT_EQ(RunBare({"--install-path", install / "half\\life", "cycle", "valve"}).out,
              "crossfire\n");
}

// Another program writes the cycle file just before it is opened for the `nth` time.
class WriterBeforeOpen : public FileSystemCalls {
public:
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

private:
    int nth_;
    std::string bytes_;
};

TEST_F(CommandLineTest, ChangeOnDiskBeforeSavingIsKeptOrStopsTheCommand) {
    WriteCycle("crossfire\nbounce\n");
    {
        const WriterBeforeOpen other(2, "frenzy\ncrossfire\nbounce\n");
        EXPECT_EQ(Run({"remove", "valve", "bounce"}).status, kCommandDone);
    }
    EXPECT_EQ(Cycle(), "frenzy\ncrossfire\n");
    {
        const WriterBeforeOpen other(2, "crossfire\r\n");
        EXPECT_EQ(Run({"up", "valve", "frenzy"}).err,
                  "rotaline: \"frenzy\" is not in the cycle of \"valve\" (rotaline cycle valve "
                  "shows it)\n");
    }
    EXPECT_EQ(Cycle(), "crossfire\r\n");
}

TEST_F(CommandLineTest, AddsStartedTogetherBothLand) {
    for (int round = 0; round < 10; ++round) {
        WriteCycle("crossfire\nbounce\n");
        std::vector<pid_t> children;
        for (const char* map : {"frenzy", "Datacore"}) {
            children.push_back(fork());
            if (children.back() == 0) {
                _exit(Run({"add", "valve", map}).status);
            }
        }
        for (const pid_t child : children) {
            int status = -1;
            waitpid(child, &status, 0);
            EXPECT_EQ(status, 0);
        }
        const std::string cycle = Cycle();
        EXPECT_TRUE(cycle == "frenzy\nDatacore\ncrossfire\nbounce\n" ||
                    cycle == "Datacore\nfrenzy\ncrossfire\nbounce\n")
            << cycle;
    }
}

TEST_F(CommandLineTest, WithoutInstallPathTheSearchDecides) {
    install.MakeFolder("home");
    const ScopedEnv homeVariable("HOME", install / "home");
    const ScopedEnv prefixVariable("WINEPREFIX", install / "home/.wine");
    EXPECT_EQ(RunBare({"mods"}).err, "rotaline: Half Life is not installed on this machine\n");
    std::filesystem::create_directories(install / "home/Steam/steamapps/common/Half-Life/tfc");
    install.Write("home/Steam/steamapps/common/Half-Life/tfc/mapcycle.txt", "2fort\r\nwell");
    EXPECT_EQ(RunBare({"cycle", "tfc"}).out, "2fort\nwell\n");
}

TEST(CommandLineHelpTest, ListsEveryCommandWithAnExample) {
    const Outcome outcome = RunBare({"help"});
    EXPECT_EQ(outcome.status, kCommandDone);
    for (const std::string command :
         {"mods", "maps", "cycle", "add", "remove", "up", "down", "shuffle", "check"}) {
        EXPECT_NE(outcome.out.find("\n  " + command + " "), std::string::npos) << command;
        EXPECT_NE(outcome.out.find("    rotaline " + command), std::string::npos) << command;
    }
    EXPECT_EQ(RunBare({"maps", "--help"}).out, outcome.out);
    EXPECT_EQ(RunBare({"mods", "--version"}).out, "Rotaline 2.00\n");
}

} // namespace
} // namespace rotaline
