// SPDX-License-Identifier: GPL-3.0-or-later
// The host file layer on POSIX systems: links, pipes, permission bits and owners.

#include "HostFilesTestSupport.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <grp.h>
#include <memory>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// The "nobody" user and group of Debian and most other systems.
constexpr uid_t Nobody = 65534;

// The "games" group of Debian. The system checks group numbers only, so it need not exist here.
constexpr gid_t Games = 60;

// What RunUnprivileged answers when the child could not give its privileges up.
constexpr const char* StillPrivileged = "could not become unprivileged";

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

// Runs `action` in a child process once `become` has given something up, and gives the action's
// answer, or what `become` answered when it could not.
std::string RunInChild(const std::function<std::string()>& become,
                       const std::function<std::string()>& action) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string answer = become();
        if (answer.empty())
            answer = action();
        (void)!write(pipeEnds[1], answer.data(), answer.size());
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return answer;
}

// Runs `action` as an ordinary user: root writes whatever the permissions say, so as root the
// action runs in a child process that has given its privileges up, as "nobody" and a member of
// `groups` besides. Gives the action's answer.
std::string RunUnprivileged(const std::function<std::string()>& action,
                            const std::vector<gid_t>& groups = {}) {
    const auto giveUp = [&] {
        const bool given = setgroups(groups.size(), groups.data()) == 0 && setgid(Nobody) == 0 &&
                           setuid(Nobody) == 0;
        return std::string(given ? "" : StillPrivileged);
    };
    return geteuid() != 0 ? action() : RunInChild(giveUp, action);
}

// What EnterUserNamespace and HideOwnFiles answer when the system does not let them.
constexpr const char* NotAllowedHere = "no namespace of our own here (/proc needs root)";

// Enters a user namespace, as a sandbox does, that knows only the caller's own user and group.
std::string EnterUserNamespace() {
    const auto put = [](const char* file, const std::string& text) {
        return static_cast<bool>(std::ofstream(file) << text << std::flush);
    };
    const std::string user = std::to_string(geteuid()), group = std::to_string(getegid());
    return unshare(CLONE_NEWUSER) == 0 && put("/proc/self/uid_map", "0 " + user + " 1") &&
                   put("/proc/self/setgroups", "deny") &&
                   put("/proc/self/gid_map", "0 " + group + " 1")
               ? ""
               : NotAllowedHere;
}

// Hides /proc in a mount namespace of this process's own: an open file then cannot be reached by
// name, so a new file needs a name from the start.
std::string HideOwnFiles() {
    return geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
                   mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                   mount("none", "/proc", "tmpfs", 0, nullptr) == 0
               ? ""
               : NotAllowedHere;
}

// What a command of the attr or acl tools wrote, or nothing when it failed.
std::optional<std::string> Tool(const std::string& command, const fs::path& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        popen((command + " '" + path.string() + "' 2>/dev/null").c_str(), "r"), pclose);
    std::string output(1 << 16, '\0');
    output.resize(pipe ? fread(output.data(), 1, output.size(), pipe.get()) : 0);
    return pipe && pclose(pipe.release()) == 0 ? std::optional(output) : std::nullopt;
}

using HostFilesPosixTest = HostFilesTest;

// ---------------------------------------------------------------------------------------------
// IsOrdinaryFile

TEST_F(HostFilesPosixTest, LinksToFilesCountPipesDoNot) {
    WriteBytes(at("file.cfg"), "x");
    fs::create_directory(at("folder.cfg"));
    fs::create_symlink("file.cfg", at("link.cfg"));
    fs::create_symlink("link.cfg", at("link-to-link.cfg"));
    fs::create_symlink("folder.cfg", at("link-to-folder.cfg"));
    fs::create_symlink("missing.cfg", at("dangling.cfg"));
    ASSERT_EQ(mkfifo(at("pipe.cfg").c_str(), 0600), 0);

    const struct {
        const char* name;
        bool found;
    } cases[] = {
        {"link.cfg", true},      {"link-to-link.cfg", true}, {"link-to-folder.cfg", false},
        {"dangling.cfg", false}, {"pipe.cfg", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsOrdinaryFile(at(c.name).string()), c.found) << c.name;
}

// ---------------------------------------------------------------------------------------------
// ReadWholeFile

TEST_F(HostFilesPosixTest, ReadsThroughALink) {
    WriteBytes(at("target.cfg"), "seta name \"x\"\r\n");
    fs::create_symlink("target.cfg", at("link.cfg"));
    Outcome<std::string> read = ReadWholeFile(at("link.cfg").string());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), "seta name \"x\"\r\n");
}

TEST_F(HostFilesPosixTest, PipeIsRefusedWithoutWaitingForAWriter) {
    ASSERT_EQ(mkfifo(at("pipe.cfg").c_str(), 0600), 0);
    Outcome<std::string> read = ReadWholeFile(at("pipe.cfg").string());
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.failure().message, "Not an ordinary file");
}

TEST_F(HostFilesPosixTest, UnreadableFileGivesTheReason) {
    WriteBytes(at("secret.cfg"), "x");
    fs::permissions(at("secret.cfg"), fs::perms::none);
    const std::string answer = RunUnprivileged([&] {
        Outcome<std::string> read = ReadWholeFile(at("secret.cfg").string());
        return read ? "read" : read.failure().message;
    });
    EXPECT_EQ(answer, "Permission denied");
}

// A file that another program cuts short or lengthens after its stamp was taken: what is there
// when it is read comes back, and growth past the limit is refused as too large.
TEST_F(HostFilesPosixTest, FileChangedWhileReadGivesWhatWasThere) {
    const struct {
        std::size_t sizeWhenRead;
        std::size_t maxBytes;
        bool read;
    } cases[] = {
        {5000, 4 << 20, true}, {(4 << 20) - 1, 4 << 20, true}, {(4 << 20) + 1, 4 << 20, false}};
    for (const auto& c : cases) {
        WriteBytes(at("system.reg"), std::string(3 << 20, 'x'));
        const auto read =
            ReadWholeFileIf(at("system.reg").string(), c.maxBytes, [&](const FileStamp&) {
                fs::resize_file(at("system.reg"), c.sizeWhenRead);
                return true;
            });
        ASSERT_EQ(read.ok(), c.read) << c.sizeWhenRead;
        if (read)
            EXPECT_EQ(read.value()->size(), c.sizeWhenRead);
        else
            EXPECT_EQ(read.failure().message, "File too large");
    }
}

// ---------------------------------------------------------------------------------------------
// ReplaceWholeFile

TEST_F(HostFilesPosixTest, LinkStaysAndItsTargetChanges) {
    const fs::path elsewhere = at("elsewhere");
    WriteBytes(elsewhere / "real.cfg", "old");
    fs::create_symlink("elsewhere/real.cfg", at("relative.cfg"));
    fs::create_symlink(at("relative.cfg"), at("absolute-to-link.cfg"));

    for (const char* link : {"relative.cfg", "absolute-to-link.cfg"}) {
        const std::string content = "new through "s + link;
        EXPECT_EQ(Replace(at(link), content), "") << link;
        EXPECT_TRUE(fs::is_symlink(at(link))) << link;
        EXPECT_EQ(ReadBytes(elsewhere / "real.cfg"), content) << link;
    }
    EXPECT_EQ(fs::read_symlink(at("relative.cfg")), "elsewhere/real.cfg");
    EXPECT_EQ(Listing(elsewhere), std::set<std::string>{"real.cfg"});
    EXPECT_EQ(Listing(m_dir.path()),
              (std::set<std::string>{"elsewhere", "relative.cfg", "absolute-to-link.cfg"}));
}

TEST_F(HostFilesPosixTest, LinkLoopFails) {
    fs::create_symlink("b.cfg", at("a.cfg"));
    fs::create_symlink("a.cfg", at("b.cfg"));
    EXPECT_EQ(Replace(at("a.cfg"), "x"), "Too many levels of symbolic links");
    EXPECT_TRUE(fs::is_symlink(at("a.cfg")));
}

TEST_F(HostFilesPosixTest, PipeIsNotReplaced) {
    ASSERT_EQ(mkfifo(at("pipe.cfg").c_str(), 0600), 0);
    EXPECT_EQ(Replace(at("pipe.cfg"), "new"), "Not an ordinary file");
    EXPECT_TRUE(fs::is_fifo(at("pipe.cfg")));
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"pipe.cfg"});
}

TEST_F(HostFilesPosixTest, PermissionBitsAreKept) {
    for (const mode_t mode : {0600, 0640, 0604, 0666, 0751, 02644}) {
        WriteBytes(at("file.cfg"), "old");
        ASSERT_EQ(chmod(at("file.cfg").c_str(), mode), 0);
        EXPECT_EQ(Replace(at("file.cfg"), "new"), "");
        EXPECT_EQ(ModeOf(at("file.cfg")), mode) << std::oct << mode;
        fs::remove(at("file.cfg"));
    }
}

TEST_F(HostFilesPosixTest, OwnerIsKeptWherePermitted) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another owner";
    WriteBytes(at("file.cfg"), "old");
    ASSERT_EQ(chown(at("file.cfg").c_str(), Nobody, Nobody), 0);
    EXPECT_EQ(Replace(at("file.cfg"), "new"), "");
    struct stat info {};
    ASSERT_EQ(stat(at("file.cfg").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, Nobody);
    EXPECT_EQ(info.st_gid, Nobody);
}

// A user who may not give the new file the old owner still keeps the old group when they belong
// to it: a file shared through a group stays writable for the others after the save.
TEST_F(HostFilesPosixTest, GroupIsKeptByAMemberWhoMayNotKeepTheOwner) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may make a file that belongs to another user and group";
    fs::permissions(m_dir.path(), fs::perms::all);
    for (const mode_t mode : {0664, 0660, 02664}) {
        WriteBytes(at("file.cfg"), "old");
        if (chown(at("file.cfg").c_str(), 0, Games) != 0)
            GTEST_SKIP() << "the file could not be given to group " << Games << ": "
                         << std::strerror(errno);
        ASSERT_EQ(chmod(at("file.cfg").c_str(), mode), 0);

        const std::string answer =
            RunUnprivileged([&] { return Replace(at("file.cfg"), "new"); }, {Games});
        if (answer == StillPrivileged)
            GTEST_SKIP() << "no process here may take the groups of another user";
        EXPECT_EQ(answer, "") << std::oct << mode;
        struct stat info {};
        ASSERT_EQ(stat(at("file.cfg").c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, Nobody) << std::oct << mode;
        EXPECT_EQ(info.st_gid, Games) << std::oct << mode;
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(ReadBytes(at("file.cfg")), "new") << std::oct << mode;
        fs::remove(at("file.cfg"));
    }
}

// In a set-group-ID folder a new file takes the folder's group, not the user's: the save gives it
// the old file's group back, the user's own.
TEST_F(HostFilesPosixTest, GroupIsKeptInAFolderThatGivesItsOwn) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may make a folder and a file of other groups";
    const fs::path shared = at("shared"), file = shared / "file.cfg";
    fs::create_directory(shared);
    WriteBytes(file, "old");
    ASSERT_EQ(chown(shared.c_str(), 0, Games), 0);
    ASSERT_EQ(chmod(shared.c_str(), 02777), 0);
    ASSERT_EQ(chown(file.c_str(), Nobody, Nobody), 0);

    const std::string answer = RunUnprivileged([&] { return Replace(file, "new"); }, {Games});
    if (answer == StillPrivileged)
        GTEST_SKIP() << "no process here may take the groups of another user";
    EXPECT_EQ(answer, "");
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_gid, Nobody);
    EXPECT_EQ(ReadBytes(file), "new");
}

// A user outside the old file's group cannot keep it: the group's rights were given to that group,
// not to the user's own, so they go.
TEST_F(HostFilesPosixTest, GroupRightsGoWithAGroupThatCannotBeKept) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may make a file that belongs to another user and group";
    fs::permissions(m_dir.path(), fs::perms::all);
    const struct {
        mode_t before, after;
    } cases[] = {{0666, 0606}, {0676, 0606}, {02666, 0606}, {0606, 0606}}; // others may write
    for (const auto& c : cases) {
        WriteBytes(at("file.cfg"), "old");
        if (chown(at("file.cfg").c_str(), 0, Games) != 0)
            GTEST_SKIP() << "the file could not be given to group " << Games << ": "
                         << std::strerror(errno);
        ASSERT_EQ(chmod(at("file.cfg").c_str(), c.before), 0);

        const std::string answer = RunUnprivileged([&] { return Replace(at("file.cfg"), "new"); });
        if (answer == StillPrivileged)
            GTEST_SKIP() << "no process here may give up root's rights";
        EXPECT_EQ(answer, "") << std::oct << c.before;
        struct stat info {};
        ASSERT_EQ(stat(at("file.cfg").c_str(), &info), 0);
        EXPECT_NE(info.st_gid, Games) << std::oct << c.before;
        EXPECT_EQ(info.st_mode & 07777, c.after) << std::oct << c.before;
        EXPECT_EQ(ReadBytes(at("file.cfg")), "new") << std::oct << c.before;
        fs::remove(at("file.cfg"));
    }
}

// The access control list and the other extended attributes stay, and the group's bits (the
// list's mask) gain nothing; a list from the folder's default does not come with the new file.
// A sandbox (a user namespace) cannot name a user it does not know, so it cannot carry the list
// over, and then does not replace the file.
TEST_F(HostFilesPosixTest, ExtendedAttributesAndAccessListAreKept) {
    const std::string dump = "getfattr --absolute-names -d -m - -e hex";
    for (const char* folder : {"default", "both", "list"}) {
        const fs::path file = at(folder) / "file.cfg";
        WriteBytes(file, "old");
        if (!Tool("setfattr -n user.note -v kept", file) ||
            (folder != "list"s && !Tool("setfacl -d -m u:65534:rw", at(folder))) ||
            (folder != "default"s && !Tool("setfacl -m u:65534:rw", file)))
            GTEST_SKIP() << "the file system here keeps no extended attributes or lists";
        const std::optional<std::string> before = Tool(dump, file);
        const mode_t mode = ModeOf(file);
        EXPECT_EQ(Replace(file, "new"), "") << folder;
        EXPECT_EQ(Tool(dump, file), before) << folder;
        EXPECT_EQ(ModeOf(file), mode) << folder;
    }
    const std::string answer =
        RunInChild(EnterUserNamespace, [&] { return Replace(at("list") / "file.cfg", "newer"); });
    if (answer == NotAllowedHere)
        GTEST_SKIP() << answer;
    EXPECT_EQ(answer, "Invalid argument");
    EXPECT_EQ(ReadBytes(at("list") / "file.cfg"), "new");
    EXPECT_EQ(Listing(at("list")), std::set<std::string>{"file.cfg"});
}

// A save killed halfway leaves nothing where the new file is unnamed until complete. Where it is
// named from the start, the leftover goes at the next save once a minute old; nothing else does.
TEST_F(HostFilesPosixTest, KilledSaveLeavesNothingBehind) {
    fs::create_directory(at(".file.cfg.tintwell-1"));
    for (const char* name : {"file.cfg", ".file.cfg.tintwell-2", ".file.cfg.tintwell-3x",
                             ".other.cfg.tintwell-4", "file.cfg.tintwell-5"})
        WriteBytes(at(name), "old");
    if (chown(at(".file.cfg.tintwell-2").c_str(), Nobody, Nobody) != 0) // another user's
        fs::remove(at(".file.cfg.tintwell-2"));
    std::set<std::string> kept = Listing(m_dir.path());
    for (const bool named : {false, true}) {
        const std::string answer =
            RunInChild([&] { return named ? HideOwnFiles() : ""; },
                       [&] {
                           ScopedWriteHook killed([](std::size_t written, std::size_t wanted) {
                               if (written > 0)
                                   _exit(0);
                               return WriteVerdict{wanted / 2, 0};
                           });
                           return Replace(at("file.cfg"), "new") + " (not killed)";
                       });
        if (answer == NotAllowedHere)
            GTEST_SKIP() << answer;
        EXPECT_EQ(answer, "");
        EXPECT_EQ(ReadBytes(at("file.cfg")), "old");
        EXPECT_EQ(Listing(m_dir.path()).size(), kept.size() + named);
    }
    for (const std::string& name : Listing(m_dir.path()))
        MakeOld(at(name));
    WriteBytes(at(".file.cfg.tintwell-6"), "a save still running");
    kept.insert(".file.cfg.tintwell-6");
    EXPECT_EQ(Replace(at("file.cfg"), "new"), "");
    EXPECT_EQ(Listing(m_dir.path()), kept);
}

TEST_F(HostFilesPosixTest, QuotaExceededLeavesTheOldFile) {
    WriteBytes(at("file.cfg"), "old");
    ScopedWriteHook quota([](std::size_t, std::size_t) { return WriteVerdict{0, EDQUOT}; });
    EXPECT_EQ(Replace(at("file.cfg"), "new"), "Disk quota exceeded");
    EXPECT_EQ(ReadBytes(at("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

TEST_F(HostFilesPosixTest, InterruptedWritesAreCompleted) {
    WriteBytes(at("file.cfg"), "old");
    const std::string bytes = RandomBytes(30000, 3);
    int calls = 0;
    ScopedWriteHook interrupted([&](std::size_t, std::size_t wanted) {
        ++calls;
        if (calls % 5 == 0)
            return WriteVerdict{0, EINTR};
        return WriteVerdict{std::min<std::size_t>(wanted, 7), 0};
    });
    EXPECT_EQ(Replace(at("file.cfg"), bytes), "");
    EXPECT_TRUE(ReadBytes(at("file.cfg")) == bytes);
    EXPECT_GT(calls, 4000);
}

// Replacing needs only the right to write the folder; a read-only file must still be refused,
// as it would be when written in place.
TEST_F(HostFilesPosixTest, ReadOnlyFileIsRefused) {
    fs::permissions(m_dir.path(), fs::perms::all);
    WriteBytes(at("file.cfg"), "old");
    fs::permissions(at("file.cfg"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(RunUnprivileged([&] { return Replace(at("file.cfg"), "new"); }), "Permission denied");
    EXPECT_EQ(ReadBytes(at("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

TEST_F(HostFilesPosixTest, ReadOnlyFolderIsRefused) {
    WriteBytes(at("file.cfg"), "old");
    fs::permissions(at("file.cfg"), fs::perms::all);
    fs::permissions(m_dir.path(),
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);
    if (geteuid() != 0)
        fs::permissions(m_dir.path(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(RunUnprivileged([&] { return Replace(at("file.cfg"), "new"); }), "Permission denied");
    EXPECT_EQ(ReadBytes(at("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

} // namespace
