// Safe content replacement on POSIX files: modes, links, owners, ACLs, mounts and killed saves.
#include "FaultyFileSystem.h"
#include "core/platform/TextFile.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <grp.h>
#include <map>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using rotaline::ReplaceFileContent;
using Names = std::vector<std::string>;

// Every link on the way stays a link and the file it ends at changes; a new file gets the
// mode that the umask leaves.
TEST(ReplaceFileContent, LinksStayAndANewFileTakesTheUmask) {
    const TempFolder folder;
    folder.MakeFolder("real");
    folder.Write("real/mapcycle.txt", "old\r\n");
    ASSERT_EQ(symlink("real/mapcycle.txt", (folder / "inner").c_str()), 0);
    ASSERT_EQ(symlink(folder.Path().c_str(), (folder / "outer").c_str()), 0);
    ASSERT_EQ(symlink("outer/inner", (folder / "mapcycle.txt").c_str()), 0);
    const mode_t previous = umask(027);
    EXPECT_FALSE(!ReplaceFileContent(folder / "mapcycle.txt", "new\r\n").ok());
    EXPECT_FALSE(!ReplaceFileContent(folder / "real/new.txt", "new\r\n").ok());
    umask(previous);
    struct stat status {};
    for (const char* link : {"mapcycle.txt", "inner", "outer"}) {
        ASSERT_EQ(lstat((folder / link).c_str(), &status), 0);
        EXPECT_TRUE(S_ISLNK(status.st_mode)) << link;
    }
    EXPECT_EQ(TempFolder::Read(folder / "real/mapcycle.txt"), "new\r\n");
    EXPECT_EQ(TempFolder::Entries(folder / "real"), (Names{"mapcycle.txt", "new.txt"}));
    ASSERT_EQ(stat((folder / "real/new.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

// A link is followed only where its owner runs the save or owns the target as well.
TEST(ReplaceFileContent, LinkPlantedByAnotherAccount) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a link to another account";
    }
    const TempFolder folder;
    for (const uid_t targetOwner : {uid_t{0}, uid_t{1001}}) {
        folder.Write("target", "old\r\n");
        chown((folder / "target").c_str(), targetOwner, 0);
        unlink((folder / "mapcycle.txt").c_str());
        symlink("target", (folder / "mapcycle.txt").c_str());
        lchown((folder / "mapcycle.txt").c_str(), 1001, 1001);
        const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
        if (targetOwner == 0) {
            ASSERT_FALSE(error.ok());
            EXPECT_NE(error.error().Message().find("the link " + folder / "mapcycle.txt" +
                                                   " points to " + folder / "target"),
                      std::string::npos)
                << error.error().Message();
        }
        EXPECT_EQ(TempFolder::Read(folder / "target"), targetOwner == 0 ? "old\r\n" : "new\r\n");
    }
}

// Everything that decides who may read or write a file: owner, group, mode bits, every
// extended attribute (the ACL is one) and its links. Comparing the mode alone would miss an ACL
// whose mask the group bits carry.
std::string AccessOf(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        return std::strerror(errno);
    }
    std::string access = "owner " + std::to_string(status.st_uid) + ", group " +
                         std::to_string(status.st_gid) + ", mode " +
                         std::to_string(status.st_mode & 07777) + ", links " +
                         std::to_string(status.st_nlink);
    std::string names(4096, '\0');
    names.resize(static_cast<std::size_t>(
        std::max<ssize_t>(0, llistxattr(path.c_str(), names.data(), names.size()))));
    std::map<std::string, std::string> attributes; // sorted: the list's order may change
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const std::string name = names.c_str() + at;
        std::string value(4096, '\0');
        value.resize(static_cast<std::size_t>(
            std::max<ssize_t>(0, lgetxattr(path.c_str(), name.c_str(), value.data(), 4096))));
        attributes[name] = value;
    }
    for (const auto& [name, value] : attributes) {
        access += ", " + name + "=" + testing::PrintToString(value);
    }
    return access;
}

// system.posix_acl_access as the kernel takes it: a version, then (tag, rights, id) entries.
std::string Acl(std::initializer_list<std::tuple<std::uint16_t, std::uint16_t, std::uint32_t>> es) {
    std::string acl("\x02\0\0\0", 4);
    for (const auto& [tag, rights, id] : es) {
        acl.append(reinterpret_cast<const char*>(&tag), 2);
        acl.append(reinterpret_cast<const char*>(&rights), 2);
        acl.append(reinterpret_cast<const char*>(&id), 4);
    }
    return acl;
}

constexpr uid_t kServer = 1001; // the account the game server runs as
constexpr gid_t kAdmins = 1002; // the server's group, whose members edit its cycle
constexpr uid_t kAdmin = 1005;  // one of them
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

enum class Other { None, HardLink, BindMount };

struct AccessCase {
    const char* name;
    mode_t mode;
    const char* attribute; // an ACL, an extended attribute, or nothing
    Other other;
    mode_t folderMode = 0775;
};

struct Saver {
    const char* name;
    bool asAdmin; // else as root
};

void PrintTo(const AccessCase& row, std::ostream* out) {
    *out << row.name;
}
void PrintTo(const Saver& saver, std::ostream* out) {
    *out << saver.name;
}

// Sets a case up, saves as root or as a group member, and compares; in a child process of its
// own, which may mount in a namespace of its own and give up root. "" when the case holds,
// "skip: ..." when the machine cannot set it up, else what differs.
std::string SaveInChild(const AccessCase& row, const Saver& saver, const TempFolder& root) {
    const std::string mod = root / "mod";
    const std::string cycle = mod + "/mapcycle.txt";
    const std::string elsewhere = root / "elsewhere";
    mkdir(mod.c_str(), 0755);
    std::ofstream(cycle) << "old\r\n";
    chown(cycle.c_str(), kServer, kAdmins);
    chmod(cycle.c_str(), row.mode);
    if (row.attribute != nullptr && std::string(row.attribute) == "acl") {
        // The server and its group may write, one more user may too, the mask lets them.
        const std::string acl =
            Acl({{1, 6, kNoId}, {2, 6, 1003}, {4, 6, kNoId}, {16, 6, kNoId}, {32, 4, kNoId}});
        if (setxattr(cycle.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
            return std::string("skip: no ACL here: ") + std::strerror(errno);
        }
    } else if (row.attribute != nullptr &&
               setxattr(cycle.c_str(), row.attribute, "kept", 4, 0) != 0) {
        return std::string("skip: no extended attributes here: ") + std::strerror(errno);
    }
    if (row.other == Other::HardLink) {
        link(cycle.c_str(), elsewhere.c_str());
    } else if (row.other == Other::BindMount) {
        std::ofstream(elsewhere) << "";
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
            mount(cycle.c_str(), elsewhere.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            mount(elsewhere.c_str(), cycle.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            return std::string("skip: cannot bind-mount a file: ") + std::strerror(errno);
        }
    }
    chown(mod.c_str(), kServer, kAdmins);
    chmod(mod.c_str(), row.folderMode);
    const std::string before = AccessOf(cycle);

    const pid_t child = fork();
    if (child == 0) {
        const gid_t groups[] = {kAdmins};
        if (saver.asAdmin &&
            (setgroups(1, groups) != 0 || setgid(kAdmins) != 0 || setuid(kAdmin) != 0)) {
            _exit(3);
        }
        _exit(!rotaline::ReplaceFileContent(cycle, "new\r\n").ok() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the save failed (status " + std::to_string(status) + ")";
    }
    std::string differs;
    if (AccessOf(cycle) != before) {
        differs += "access was: " + before + "; is: " + AccessOf(cycle) + ". ";
    }
    if (TempFolder::Read(cycle) != "new\r\n") {
        differs += "content: " + TempFolder::Read(cycle) + ". ";
    }
    if (row.other != Other::None && TempFolder::Read(elsewhere) != "new\r\n") {
        differs += "the other name still holds " + TempFolder::Read(elsewhere) + ". ";
    }
    if (TempFolder::Entries(mod) != std::vector<std::string>{"mapcycle.txt"}) {
        differs += "left in the folder: " + testing::PrintToString(TempFolder::Entries(mod));
    }
    return differs;
}

class SaveKeepsAccess : public testing::TestWithParam<std::tuple<AccessCase, Saver>> {};

TEST_P(SaveKeepsAccess, ForEveryUser) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to give files to other accounts and to mount";
    }
    const auto& [row, saver] = GetParam();
    const TempFolder root;
    chmod(root.Path().c_str(), 0755);
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    if (child == 0) {
        const std::string result = SaveInChild(row, saver, root);
        write(report[1], result.data(), result.size());
        _exit(0);
    }
    close(report[1]);
    std::string result;
    char buffer[512];
    for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(got));
    }
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child ended with " << status;
    if (result.starts_with("skip: ")) {
        GTEST_SKIP() << result.substr(6);
    }
    EXPECT_EQ(result, "");
}

const AccessCase kAccessCases[] = {
    {"OtherAccountsFile", 0664, nullptr, Other::None},
    {"SetGroupIdBit", 02664, nullptr, Other::None},
    {"Acl", 0664, "acl", Other::None},
    {"ExtendedAttribute", 0664, "user.origin", Other::None},
    {"HardLink", 0664, nullptr, Other::HardLink},
    {"BindMount", 0664, nullptr, Other::BindMount},
    {"FolderNotWritable", 0664, nullptr, Other::None, 0555},
    {"StickySharedFolder", 0664, nullptr, Other::None, 01777},
};

INSTANTIATE_TEST_SUITE_P(Cases, SaveKeepsAccess,
                         testing::Combine(testing::ValuesIn(kAccessCases),
                                          testing::Values(Saver{"AsRoot", false},
                                                          Saver{"AsGroupMember", true})),
                         [](const testing::TestParamInfo<SaveKeepsAccess::ParamType>& row) {
                             return std::string(std::get<0>(row.param).name) +
                                    std::get<1>(row.param).name;
                         });

// Saves killed at random moments, by SIGTERM and by SIGKILL, leave the old or the new content
// whole; the next save removes whatever they left. ROTALINE_SAVE_KILLS sets the count.
class KilledSaves : public testing::TestWithParam<bool> {};

TEST_P(KilledSaves, LeaveNothingBehind) {
    const bool unnamedFiles = GetParam();
    const TempFolder folder;
    const std::string cycle = folder / "mapcycle.txt";
    const std::string first(1 << 20, 'a');
    const std::string second(3 << 19, 'b');
    folder.Write("mapcycle.txt", first);
    const char* count = std::getenv("ROTALINE_SAVE_KILLS");
    const int kills = count != nullptr ? std::atoi(count) : 12;
    for (int i = 0; i < kills; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            rotaline::testing::FaultyFileSystem calls;
            if (!unnamedFiles) {
                calls.NoUnnamedFiles();
            }
            for (int n = 0;; ++n) {
                (void)rotaline::ReplaceFileContent(cycle, n % 2 == 0 ? second : first);
            }
        }
        usleep(static_cast<useconds_t>(1000 + (i * 7919) % 20000));
        kill(child, i % 2 == 0 ? SIGKILL : SIGTERM);
        waitpid(child, nullptr, 0);
        const std::string now = TempFolder::Read(cycle);
        ASSERT_TRUE(now == first || now == second) << "kill " << i << ": " << now.size();
    }
    RecordProperty("left_after_kills",
                   static_cast<int>(TempFolder::Entries(folder.Path()).size()) - 1);
    EXPECT_FALSE(!rotaline::ReplaceFileContent(cycle, "new\r\n").ok());
    EXPECT_EQ(TempFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

INSTANTIATE_TEST_SUITE_P(Files, KilledSaves, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& row) {
                             return row.param ? "Unnamed" : "Named";
                         });

} // namespace
