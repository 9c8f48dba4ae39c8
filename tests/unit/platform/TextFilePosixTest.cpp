// Safe saves on POSIX files: owners, modes, ACLs, attributes, links, mounts, umask, killed saves.
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

using rotaline::ReplaceFileContent;

// The game server's account, its group (whose members edit its cycle), one of them, and an
// account with nothing to do with the server.
constexpr uid_t kServer = 1001, kAdmins = 1002, kAdmin = 1005, kStranger = 1003;
// The ACL as the kernel takes it: version 2, then (tag, rights, id) entries, little-endian: the
// owner, the stranger and the group may write, the mask lets them, others may read.
const std::string kAcl("\2\0\0\0\1\0\6\0\xff\xff\xff\xff\2\0\6\0\xeb\3\0\0\4\0\6\0\xff\xff\xff\xff"
                       "\x10\0\6\0\xff\xff\xff\xff\x20\0\4\0\xff\xff\xff\xff",
                       44);

// Who may read or write a file or link: owner, group, mode bits, links and an extended attribute
// (the ACL's mask would let the group write where its mode bits do not).
std::string AccessOf(const std::string& path, const char* attribute) {
    struct stat s {};
    lstat(path.c_str(), &s);
    char value[4096];
    const ssize_t size = lgetxattr(path.c_str(), attribute, value, sizeof value);
    return testing::PrintToString(std::tuple(s.st_uid, s.st_gid, s.st_mode & 07777, s.st_nlink,
                                             std::string(value, std::max<ssize_t>(size, 0))));
}

// Saves in a child process, as root or as a member of the server's group; true if it worked.
bool SavedBy(bool admin, const std::string& path) {
    if (const pid_t child = fork(); child != 0) {
        int status = 0;
        waitpid(child, &status, 0);
        return status == 0; // exited with 0
    }
    const bool as =
        !admin || (setgroups(1, &kAdmins) == 0 && setgid(kAdmins) == 0 && setuid(kAdmin) == 0);
    _exit(as && ReplaceFileContent(path, "new\r\n").ok() ? 0 : 1);
}

// The server's file with the set-group-ID bit, an ACL or another attribute; a hard link or bind
// mount of it elsewhere; the cycle file two links to it, made by the server or by a stranger; a
// folder the group cannot write, or a sticky one all can.
class SaveKeepsAccess : public testing::TestWithParam<std::tuple<std::string, bool>> {};

// The new content arrives (or, through a stranger's link, nothing changes) and nothing about
// who may use the file does, whoever saves.
TEST_P(SaveKeepsAccess, ForRootAndGroupMember) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to give files to other accounts and to mount";
    }
    const auto Is = [this](const char* name) { return std::get<0>(GetParam()) == name; };
    const ScratchFolder root;
    const bool linked = Is("ServersLinks") || Is("StrangersLinks");
    const std::string cycle = root / "mod/mapcycle.txt", elsewhere = root / "elsewhere";
    const std::string file = linked ? elsewhere : cycle; // where the content lives
    chmod(root.Path().c_str(), 0755);
    root.MakeFolder("mod");
    root.Write(linked ? "elsewhere" : "mod/mapcycle.txt", "old\r\n",
               Is("SetGroupIdBit") ? 02664 : 0664);
    chown(file.c_str(), kServer, kAdmins);
    // The ACL is looked at where no other attribute is set: a save must not add one either.
    const char* attribute = Is("ExtendedAttribute") ? "user.origin" : "system.posix_acl_access";
    const std::string value = Is("Acl") ? kAcl : "kept";
    if ((Is("Acl") || Is("ExtendedAttribute")) &&
        setxattr(file.c_str(), attribute, value.data(), value.size(), 0) != 0) {
        GTEST_SKIP() << "no " << attribute << " here: " << std::strerror(errno);
    }
    if (linked) {
        const uid_t owner = Is("ServersLinks") ? kServer : kStranger;
        symlink("../hop", cycle.c_str());
        symlink("elsewhere", (root / "hop").c_str());
        lchown(cycle.c_str(), owner, owner);
        lchown((root / "hop").c_str(), owner, owner);
    } else if (Is("HardLink")) {
        link(cycle.c_str(), elsewhere.c_str());
    } else if (Is("BindMount")) {
        root.Write("elsewhere", "");
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(cycle.c_str(), elsewhere.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            mount(elsewhere.c_str(), cycle.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            GTEST_SKIP() << "cannot bind-mount a file: " << std::strerror(errno);
        }
    }
    chown((root / "mod").c_str(), kServer, kAdmins);
    chmod((root / "mod").c_str(),
          Is("FolderNotWritable") ? 0555 : (Is("StickySharedFolder") ? 01777 : 0775));
    const auto access = [&] {
        return AccessOf(cycle, attribute) + AccessOf(file, attribute) +
               testing::PrintToString(std::pair(ScratchFolder::Entries(root.Path()),
                                                ScratchFolder::Entries(root / "mod")));
    };
    const std::string before = access();
    const bool refused = Is("StrangersLinks");
    const bool shared = linked || Is("HardLink") || Is("BindMount"); // content also elsewhere
    EXPECT_EQ(SavedBy(std::get<1>(GetParam()), cycle), !refused);
    EXPECT_EQ(access(), before);
    EXPECT_EQ(ScratchFolder::Read(cycle), refused ? "old\r\n" : "new\r\n");
    EXPECT_EQ(ScratchFolder::Read(elsewhere), !shared ? "" : refused ? "old\r\n" : "new\r\n");
    umount2(cycle.c_str(), MNT_DETACH); // if the case mounted anything
    umount2(elsewhere.c_str(), MNT_DETACH);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveKeepsAccess,
    testing::Combine(testing::Values("OtherAccountsFile", "SetGroupIdBit", "Acl",
                                     "ExtendedAttribute", "HardLink", "BindMount", "ServersLinks",
                                     "StrangersLinks", "FolderNotWritable", "StickySharedFolder"),
                     testing::Bool()),
    [](const auto& row) {
        return std::get<0>(row.param) + (std::get<1>(row.param) ? "AsGroupMember" : "AsRoot");
    });

// A new file takes the mode the umask leaves. Saves killed at random moments leave the old or the
// new content whole; the next save removes the named temporary files they left.
TEST(ReplaceFileContent, NewFileFollowsUmaskAndKilledSavesLeaveNothingBehind) {
    const ScratchFolder folder;
    const std::string cycle = folder / "mapcycle.txt";
    const std::string first(1 << 20, 'a'), second(3 << 19, 'b');
    const mode_t previous = umask(027);
    EXPECT_TRUE(ReplaceFileContent(cycle, first).ok());
    umask(previous);
    EXPECT_EQ(std::filesystem::status(cycle).permissions(), std::filesystem::perms{0640});
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
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), std::vector<std::string>{"mapcycle.txt"});
}
