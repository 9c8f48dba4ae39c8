// Every command on an install folder made by the test: output, exit status, and the file's bytes.
#include "cli/CommandLine.h"
#include "ScopedEnv.h"
#include "core/platform/posix/FileSystemCalls.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace rotaline {
namespace {

using Args = std::vector<std::string>;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunBare(const Args& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

// valve's maps: bounce, crossfire, Datacore, frenzy; ricochet has maps but no cycle.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"valve", "valve/maps", "cstrike", "ricochet"}) {
            install.MakeFolder(folder);
        }
        for (const char* map : {"bounce", "crossfire", "Datacore", "frenzy"}) {
            install.Write(std::string("valve/maps/") + map + ".bsp", "");
        }
        WriteCycle("crossfire\r\nbounce\r\n");
        install.Write("cstrike/mapcycle.txt", "de_dust\r\n");
    }

    void WriteCycle(const std::string& bytes, mode_t mode = 0644) {
        install.Write("valve/mapcycle.txt", bytes, mode);
    }
    std::string Cycle() const { return TempFolder::Read(install / "valve/mapcycle.txt"); }
    Outcome Run(Args args) const {
        args.insert(args.begin(), {"--install-path", install.Path()});
        return RunBare(args);
    }

    TempFolder install;
};

TEST_F(CommandLineTest, ReadingCommandsPrintOneLinePerItem) {
    std::vector<std::string> mods;
    std::istringstream listed(Run({"mods"}).out);
    for (std::string mod; std::getline(listed, mod);) {
        mods.push_back(mod);
    }
    std::sort(mods.begin(), mods.end());
    EXPECT_EQ(mods, (std::vector<std::string>{"cstrike", "valve"}));

    // Maps come from valve_addon and valve_downloads too; a name with a line feed fits no line.
    for (const char* map : {"valve_addon/maps/addon_only.bsp", "valve_addon/maps/two\nlines.bsp",
                            "valve_downloads/maps/frenzy.bsp"}) {
        std::filesystem::create_directories(std::filesystem::path(install / map).parent_path());
        install.Write(map, "");
    }
    WriteCycle("frenzy \"\\minplayers\\1\\\"\n\n BOUNCE \nBOUNCE\n");
    EXPECT_EQ(Run({"maps", "valve"}).out, "addon_only\ncrossfire\nDatacore\n");
    EXPECT_EQ(Run({"add", "valve", "two\nlines"}).status, kCommandFailed);
    const Outcome cycle = Run({"cycle", "valve"});
    EXPECT_EQ(cycle.status, kCommandDone);
    EXPECT_EQ(cycle.out, "frenzy \"\\minplayers\\1\\\"\n\n BOUNCE \nBOUNCE\n");
    EXPECT_EQ(cycle.err, "");
}

struct ChangeCase {
    const char* name;
    const char* before;
    Args args;
    const char* after;
};

void PrintTo(const ChangeCase& row, std::ostream* out) {
    *out << row.name;
}

class CommandLineChanges : public CommandLineTest,
                           public testing::WithParamInterface<ChangeCase> {};

TEST_P(CommandLineChanges, SaveTheCycleAndPrintNothing) {
    WriteCycle(GetParam().before);
    const Outcome outcome = Run(GetParam().args);
    EXPECT_EQ(outcome.status, kCommandDone) << outcome.err;
    EXPECT_EQ(outcome.out + outcome.err, "");
    EXPECT_EQ(Cycle(), GetParam().after);
}

const ChangeCase kChangeCases[] = {
    {"AddPutsTheMapsFirstInTheOrderGiven",
     "crossfire\r\nbounce",
     {"add", "valve", "frenzy", "Datacore"},
     "frenzy\r\nDatacore\r\ncrossfire\r\nbounce\r\n"},
    {"RemoveTakesEveryEntryOfTheMap",
     "bounce \"\\minplayers\\1\\\"\ncrossfire\n Bounce\nbounce\nfrenzy\n",
     {"remove", "valve", "bounce", "frenzy"},
     "crossfire\n"},
    {"UpMovesTheFirstEntryOfTheMap",
     "crossfire\r\nbounce\r\nfrenzy\r\nbounce",
     {"up", "valve", "bounce"},
     "bounce\r\ncrossfire\r\nfrenzy\r\nbounce\r\n"},
    {"DownMovesTheFirstEntryOfTheMap",
     "bounce\r\ncrossfire\r\nbounce\r\n",
     {"down", "valve", "bounce"},
     "crossfire\r\nbounce\r\nbounce\r\n"},
    {"UpOfTheFirstEntrySavesItAsItStands",
     "bounce\rcrossfire",
     {"up", "valve", "bounce"},
     "bounce\r\ncrossfire\r\n"},
    {"ShuffleOfTwoExchangesThem",
     "crossfire\r\nbounce\r\n",
     {"shuffle", "valve"},
     "bounce\r\ncrossfire\r\n"},
    {"ShuffleOfAnEmptyCycleWritesNothing", "", {"shuffle", "valve"}, ""},
};

INSTANTIATE_TEST_SUITE_P(Commands, CommandLineChanges, testing::ValuesIn(kChangeCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct FailureCase {
    const char* name;
    Args args;
    const char* error; // "@" stands for the install folder
    mode_t mode = 0644;
};

void PrintTo(const FailureCase& row, std::ostream* out) {
    *out << row.name;
}

class CommandLineFailures : public CommandLineTest,
                            public testing::WithParamInterface<FailureCase> {};

TEST_P(CommandLineFailures, SayWhyOnOneLineAndChangeNothing) {
    const std::string before = "crossfire\r\nbounce";
    WriteCycle(before, GetParam().mode);
    const Outcome outcome = Run(GetParam().args);

    std::string error = GetParam().error;
    if (const std::size_t at = error.find('@'); at != std::string::npos) {
        error.replace(at, 1, install.Path());
    }
    EXPECT_EQ(outcome.status, kCommandFailed);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "rotaline: " + error + "\n");
    EXPECT_EQ(Cycle(), before);
    EXPECT_EQ(TempFolder::Entries(install / "valve"),
              (std::vector<std::string>{"mapcycle.txt", "maps"}));
}

const FailureCase kFailureCases[] = {
    {"UnknownCommand",
     {"mpas", "valve"},
     "unknown command \"mpas\"; rotaline help lists the commands"},
    {"UnknownOption",
     {"cycle", "valve", "--force"},
     "unknown option --force; rotaline --help lists the options"},
    {"TooFewOperands", {"add", "valve"}, "usage: rotaline add MOD MAP..."},
    {"ModWithoutCycle",
     {"add", "ricochet", "rc_arena"},
     "unknown mod \"ricochet\": \"@\" holds no such folder with a mapcycle.txt (rotaline mods "
     "lists the mods)"},
    {"AddOfAMapInTheCycle",
     {"add", "valve", "frenzy", "crossfire"},
     "\"crossfire\" is not one of the maps of \"valve\" outside its cycle (rotaline maps valve "
     "lists them)"},
    {"AddOfAMapInAnotherLetterCase",
     {"add", "valve", "datacore"},
     "\"datacore\" is not one of the maps of \"valve\" outside its cycle (rotaline maps valve "
     "lists them)"},
    {"AddOfAMapTwice",
     {"add", "valve", "frenzy", "frenzy"},
     "\"frenzy\" is not one of the maps of \"valve\" outside its cycle (rotaline maps valve "
     "lists them)"},
    {"RemoveOfAMapNotInTheCycle",
     {"remove", "valve", "bounce", "frenzy"},
     "\"frenzy\" is not in the cycle of \"valve\" (rotaline cycle valve shows it)"},
    {"RemoveOfEveryMap",
     {"remove", "valve", "bounce", "crossfire"},
     "The cycle of valve is empty, and an empty cycle is not saved"},
    {"ReadOnlyCycle",
     {"up", "valve", "bounce"},
     "Cannot save @/valve/mapcycle.txt: Permission denied: the file is read-only",
     0444},
    {"EmptyInstallPath",
     {"--install-path=", "cycle", "valve"},
     "--install-path needs a folder: the given path is empty"},
};

INSTANTIATE_TEST_SUITE_P(Commands, CommandLineFailures, testing::ValuesIn(kFailureCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CommandLineTest, UnreadableCycleFailsEveryCommandThatReadsIt) {
    // Larger than any cycle the program reads: refused, whoever runs the test.
    WriteCycle(std::string(16 * 1024 * 1024 + 1, 'x'));
    for (const char* command : {"cycle", "maps", "check", "shuffle"}) {
        const Outcome outcome = Run({command, "valve"});
        EXPECT_EQ(outcome.status, kCommandFailed);
        EXPECT_TRUE(outcome.err.starts_with("rotaline: Cannot read " + install.Path() +
                                            "/valve/mapcycle.txt: File too large"))
            << outcome.err;
    }
    // Nor does a save write what could not be read back.
    WriteCycle(std::string(16 * 1024 * 1024 - 4, 'x'));
    const Outcome outcome = Run({"add", "valve", "frenzy"});
    EXPECT_EQ(outcome.status, kCommandFailed);
    EXPECT_NE(outcome.err.find("at most 16777216 bytes"), std::string::npos) << outcome.err;
    EXPECT_EQ(Cycle().size(), 16u * 1024 * 1024 - 4);
}

// A name from a hostile folder could hold terminal controls; a pipe gets the exact bytes.
TEST_F(CommandLineTest, ControlCharactersAreEscapedOnATerminalOnly) {
    WriteCycle("\x1b]0;owned\x07\r\nback\\slash\r\n");
    for (const bool terminal : {true, false}) {
        std::ostringstream out;
        std::ostringstream err;
        RunCommandLine({"--install-path", install.Path(), "cycle", "valve"}, out, err, terminal);
        EXPECT_EQ(out.str(), terminal ? "\\x1b]0;owned\\x07\nback\\\\slash\n"
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
TEST(CommandLineInstallPath, IsTakenLiterally) {
    const TempFolder root;
    for (const char* folder :
         {"half\\life", "half\\life/valve", "half", "half/life", "half/life/valve"}) {
        root.MakeFolder(folder);
    }
    root.Write("half\\life/valve/mapcycle.txt", "crossfire\r\n");
    root.Write("half/life/valve/mapcycle.txt", "another install\r\n");
    const Outcome outcome = RunBare({"--install-path", root / "half\\life", "cycle", "valve"});
    EXPECT_EQ(outcome.out, "crossfire\n") << outcome.err;
}

TEST_F(CommandLineTest, ChangeAndItsReverseGiveTheFileBack) {
    using Pair = std::pair<Args, Args>;
    for (const std::string bytes :
         {"crossfire\nbounce \"\\minplayers\\1\\\"\n\nfrenzy\n",
          "crossfire\r\nbounce \"\\minplayers\\1\\\"\r\n\r\nfrenzy\r\n"}) {
        for (const auto& [change, reverse] :
             {Pair{{"up", "valve", "BOUNCE"}, {"down", "valve", "bounce"}},
              Pair{{"add", "valve", "Datacore"}, {"remove", "valve", "datacore"}}}) {
            WriteCycle(bytes);
            EXPECT_EQ(Run(change).status, kCommandDone);
            EXPECT_NE(Cycle(), bytes);
            EXPECT_EQ(Run(reverse).status, kCommandDone);
            EXPECT_EQ(Cycle(), bytes) << change[0];
        }
    }
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
        const Outcome outcome = Run({"up", "valve", "frenzy"});
        EXPECT_EQ(outcome.status, kCommandFailed);
        EXPECT_EQ(outcome.err, "rotaline: \"frenzy\" is not in the cycle of \"valve\" (rotaline "
                               "cycle valve shows it)\n");
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

TEST_F(CommandLineTest, CheckReportsProblemsWithTheirLines) {
    std::filesystem::create_directories(install / "valve_addon/maps");
    install.Write("valve_addon/maps/addon_only.bsp", "");
    WriteCycle("crossfire\n\n addon_only \ndatacore\nbounce // small\nfrenzy\ncrossfire\n");
    Outcome outcome = Run({"check", "valve"});
    EXPECT_EQ(outcome.status, kCommandFoundProblems);
    EXPECT_EQ(outcome.out,
              "valve/mapcycle.txt:4: \"datacore\" has no map file \"maps/datacore.bsp\"\n"
              "valve/mapcycle.txt:5: \"bounce\" has a comment after it, so the server takes "
              "\"frenzy\" of line 6 for its rules and never plays it; put the comment on a line "
              "of its own\n"
              "valve/mapcycle.txt:7: note: \"crossfire\" is also on line 1\n");

    WriteCycle(std::string(9000, '/'));
    outcome = Run({"check", "valve"});
    EXPECT_EQ(outcome.status, kCommandFoundProblems);
    EXPECT_EQ(outcome.out, "valve/mapcycle.txt: the file holds 9000 bytes; clients crash on "
                           "connect when it holds 8192 or more\n");

    // Notes alone are no problem.
    WriteCycle("bounce\r\nbounce\r\n");
    outcome = Run({"check", "valve"});
    EXPECT_EQ(outcome.status, kCommandDone);
    EXPECT_EQ(outcome.out, "valve/mapcycle.txt:2: note: \"bounce\" is also on line 1\n");
}

TEST_F(CommandLineTest, InstallFolderWithoutFoldersIsReported) {
    const Outcome outcome = RunBare({"--install-path", install / "nothing", "mods"});
    EXPECT_EQ(outcome.status, kCommandFailed);
    EXPECT_EQ(outcome.err, "rotaline: No files present in: " + install.Path() + "/nothing\\*.\n");
}

TEST_F(CommandLineTest, WithoutInstallPathTheSearchDecides) {
    TempFolder home;
    const ScopedEnv homeVariable("HOME", home.Path());
    const ScopedEnv prefixVariable("WINEPREFIX", home / ".wine");
    Outcome outcome = RunBare({"mods"});
    EXPECT_EQ(outcome.status, kCommandFailed);
    EXPECT_EQ(outcome.err, "rotaline: Half Life is not installed on this machine\n");

    std::filesystem::create_directories(home / "Steam/steamapps/common/Half-Life/tfc");
    home.Write("Steam/steamapps/common/Half-Life/tfc/mapcycle.txt", "2fort\r\nwell");
    outcome = RunBare({"cycle", "tfc"});
    EXPECT_EQ(outcome.status, kCommandDone) << outcome.err;
    EXPECT_EQ(outcome.out, "2fort\nwell\n");
}

TEST(CommandLineHelpTest, ListsEveryCommandWithAnExample) {
    const Outcome outcome = RunBare({"help"});
    EXPECT_EQ(outcome.status, kCommandDone);
    for (const char* command :
         {"mods", "maps", "cycle", "add", "remove", "up", "down", "shuffle", "check"}) {
        EXPECT_NE(outcome.out.find("\n  " + std::string(command) + " "), std::string::npos)
            << command;
        EXPECT_NE(outcome.out.find("    rotaline " + std::string(command)), std::string::npos)
            << command;
    }
    EXPECT_EQ(RunBare({"maps", "--help"}).out, outcome.out);
    EXPECT_EQ(RunBare({"mods", "--version"}).out, "Rotaline 2.00\n");
}

} // namespace
} // namespace rotaline
