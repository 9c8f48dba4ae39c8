// Safe content replacement on POSIX files: owners, modes, ACLs, extended attributes, links,
// mounts, the umask and killed saves.
#include "FaultyFileSystem.h"
#include "ScratchFolder.h"
#include "core/platform/TextFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using rotaline::ReplaceFileContent;
using Names = std::vector<std::string>;

constexpr uid_t kServer = 1001;   // the account the game server runs as
constexpr gid_t kAdmins = 1002;   // the server's group, whose members edit its cycle
constexpr uid_t kAdmin = 1005;    // one of them
constexpr uid_t kStranger = 1003; // an account with nothing to do with the server
constexpr const char* kAclName = "system.posix_acl_access";
// The ACL as the kernel takes it: version 2, then (tag, rights, id) entries, little-endian: the
// owner, the stranger and the group may write, the mask lets them, others may read.
const std::string kAcl("\2\0\0\0\1\0\6\0\xff\xff\xff\xff\2\0\6\0\xeb\3\0\0\4\0\6\0\xff\xff\xff\xff"
                       "\x10\0\6\0\xff\xff\xff\xff\x20\0\4\0\xff\xff\xff\xff",
                       44);

// Who may read or write a file or link: owner, group, mode bits, links and an extended attribute
// (the ACL's mask would let the group write where its mode bits do not).
std::string AccessOf(const std::string& path, const std::string& attribute) {
    struct stat s {};
    lstat(path.c_str(), &s);
    char value[4096];
    const ssize_t size = lgetxattr(path.c_str(), attribute.c_str(), value, sizeof value);
    return testing::PrintToString(std::tuple(s.st_uid, s.st_gid, s.st_mode & 07777, s.st_nlink,
                                             std::string(value, std::max<ssize_t>(size, 0))));
}

// Saves in a child process, as root or as a member of the server's group; true if it worked.
bool SavedBy(bool admin, const std::string& path) {
    if (const pid_t child = fork(); child != 0) {
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    const gid_t groups[] = {kAdmins};
    const bool as =
        !admin || (setgroups(1, groups) == 0 && setgid(kAdmins) == 0 && setuid(kAdmin) == 0);
    _exit(as && ReplaceFileContent(path, "new\r\n").ok() ? 0 : 1);
}

// Besides the cycle file: a second hard link, a bind mount of it elsewhere, or the cycle file
// being a chain of two links to the file elsewhere, made by the server or by a stranger.
enum class Other { None, HardLink, BindMount, ServersLinks, StrangersLinks };

struct AccessCase {
    const char* name;
    mode_t mode;
    std::string attribute; // an extended attribute to carry, or none
    Other other;
    mode_t folderMode = 0775;
};

void PrintTo(const AccessCase& row, std::ostream* out) {
    *out << row.name;
}

class SaveKeepsAccess : public testing::TestWithParam<std::tuple<AccessCase, bool>> {};

// The new content arrives (or, through a stranger's link, nothing changes) and nothing about
// who may use the file does, whoever saves.
TEST_P(SaveKeepsAccess, ForRootAndGroupMember) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to give files to other accounts and to mount";
    }
    const auto& [row, admin] = GetParam();
    const ScratchFolder root;
    const bool linked = row.other == Other::ServersLinks || row.other == Other::StrangersLinks;
    const std::string cycle = root / "mod/mapcycle.txt", elsewhere = root / "elsewhere";
    const std::string file = linked ? elsewhere : cycle; // where the content lives
    chmod(root.Path().c_str(), 0755);
    root.MakeFolder("mod");
    std::ofstream(file) << "old\r\n";
    chown(file.c_str(), kServer, kAdmins);
    chmod(file.c_str(), row.mode);
    const std::string value = row.attribute == kAclName ? kAcl : "kept";
    if (!row.attribute.empty() &&
        setxattr(file.c_str(), row.attribute.c_str(), value.data(), value.size(), 0) != 0) {
        GTEST_SKIP() << "no " << row.attribute << " here: " << std::strerror(errno);
    }
    if (linked) {
        const uid_t owner = row.other == Other::ServersLinks ? kServer : kStranger;
        symlink("../hop", cycle.c_str());
        symlink("elsewhere", (root / "hop").c_str());
        lchown(cycle.c_str(), owner, owner);
        lchown((root / "hop").c_str(), owner, owner);
    } else if (row.other == Other::HardLink) {
        link(cycle.c_str(), elsewhere.c_str());
    } else if (row.other == Other::BindMount) {
        root.Write("elsewhere", "");
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(cycle.c_str(), elsewhere.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            mount(elsewhere.c_str(), cycle.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            GTEST_SKIP() << "cannot bind-mount a file: " << std::strerror(errno);
        }
    }
    chown((root / "mod").c_str(), kServer, kAdmins);
    chmod((root / "mod").c_str(), row.folderMode);
    // The ACL is looked at where no other attribute is: a save must not add one either.
    const std::string attribute = row.attribute.empty() ? kAclName : row.attribute;
    const auto access = [&] {
        return AccessOf(cycle, attribute) + AccessOf(file, attribute) +
               testing::PrintToString(std::pair(ScratchFolder::Entries(root.Path()),
                                                ScratchFolder::Entries(root / "mod")));
    };
    const std::string before = access();
    const bool refused = row.other == Other::StrangersLinks;
    const bool shared = row.other != Other::None; // elsewhere holds the content too
    EXPECT_EQ(SavedBy(admin, cycle), !refused);
    EXPECT_EQ(access(), before);
    EXPECT_EQ(ScratchFolder::Read(cycle), refused ? "old\r\n" : "new\r\n");
    EXPECT_EQ(ScratchFolder::Read(elsewhere), !shared ? "" : refused ? "old\r\n" : "new\r\n");
    umount2(cycle.c_str(), MNT_DETACH); // if a row mounted anything
    umount2(elsewhere.c_str(), MNT_DETACH);
}

const AccessCase kAccessCases[] = {
    {"OtherAccountsFile", 0664, "", Other::None},
    {"SetGroupIdBit", 02664, "", Other::None},
    {"Acl", 0664, kAclName, Other::None},
    {"ExtendedAttribute", 0664, "user.origin", Other::None},
    {"HardLink", 0664, "", Other::HardLink},
    {"BindMount", 0664, "", Other::BindMount},
    {"ServersLinks", 0664, "", Other::ServersLinks},
    {"StrangersLinks", 0664, "", Other::StrangersLinks},
    {"FolderNotWritable", 0664, "", Other::None, 0555},
    {"StickySharedFolder", 0664, "", Other::None, 01777},
};

INSTANTIATE_TEST_SUITE_P(Cases, SaveKeepsAccess,
                         testing::Combine(testing::ValuesIn(kAccessCases), testing::Bool()),
                         [](const auto& row) {
                             return std::string(std::get<0>(row.param).name) +
                                    (std::get<1>(row.param) ? "AsGroupMember" : "AsRoot");
                         });

TEST(ReplaceFileContent, NewFileTakesTheModeTheUmaskLeaves) {
    const ScratchFolder folder;
    const mode_t previous = umask(027);
    EXPECT_TRUE(ReplaceFileContent(folder / "new.txt", "new\r\n").ok());
    umask(previous);
    EXPECT_EQ(std::filesystem::status(folder / "new.txt").permissions(),
              std::filesystem::perms{0640});
}

// Saves killed at random moments, by SIGTERM and by SIGKILL, leave the old or the new content
// whole; the next save removes whatever named temporary files they left.
TEST(KilledSaves, LeaveNothingBehind) {
    const ScratchFolder folder;
    const std::string cycle = folder / "mapcycle.txt";
    const std::string first(1 << 20, 'a'), second(3 << 19, 'b');
    folder.Write("mapcycle.txt", first);
    for (int i = 0; i < 12; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            rotaline::testing::FaultyFileSystem calls;
            calls.NoUnnamedFiles();
            for (int n = 0;; ++n) {
                (void)ReplaceFileContent(cycle, n % 2 == 0 ? second : first);
            }
        }
        usleep(static_cast<useconds_t>(1000 + (i * 7919) % 20000));
        kill(child, i % 2 == 0 ? SIGKILL : SIGTERM);
        waitpid(child, nullptr, 0);
        const std::string now = ScratchFolder::Read(cycle);
        ASSERT_TRUE(now == first || now == second) << "kill " << i << ": " << now.size();
    }
    EXPECT_TRUE(ReplaceFileContent(cycle, "new\r\n").ok());
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

} // namespace
