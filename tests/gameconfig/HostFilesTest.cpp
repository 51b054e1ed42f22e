#include "gameconfig/HostFiles.h"

#include "support/TestPrefix.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// The "nobody" user and group of Debian and most other systems.
constexpr uid_t Nobody = 65534;

std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

std::string Replace(const fs::path& path, std::string_view content) {
    MaybeFailure failure = ReplaceWholeFile(path.string(), content);
    return failure ? failure->message : "";
}

// Runs `action` as an ordinary user: root writes whatever the permissions say, so as root the
// action runs in a child process that has given its privileges up. Gives the action's answer.
std::string RunUnprivileged(const std::function<std::string()>& action) {
    if (geteuid() != 0)
        return action();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string answer = "could not become unprivileged";
        if (setgid(Nobody) == 0 && setuid(Nobody) == 0)
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

class HostFilesTest : public testing::Test {
protected:
    fs::path At(const std::string& name) const { return m_dir.path() / name; }

    TempDir m_dir;
};

// ---------------------------------------------------------------------------------------------
// IsOrdinaryFile

TEST_F(HostFilesTest, OnlyOrdinaryFilesAreFound) {
    WriteBytes(At("file.cfg"), "x");
    WriteBytes(At("empty.cfg"), "");
    fs::create_directory(At("folder.cfg"));
    fs::create_symlink("file.cfg", At("link.cfg"));
    fs::create_symlink("link.cfg", At("link-to-link.cfg"));
    fs::create_symlink("folder.cfg", At("link-to-folder.cfg"));
    fs::create_symlink("missing.cfg", At("dangling.cfg"));
    ASSERT_EQ(mkfifo(At("pipe.cfg").c_str(), 0600), 0);

    const struct {
        std::string path;
        bool found;
    } cases[] = {
        {At("file.cfg").string(), true},
        {At("empty.cfg").string(), true},
        {At("link.cfg").string(), true},
        {At("link-to-link.cfg").string(), true},
        {At("folder.cfg").string(), false},
        {At("link-to-folder.cfg").string(), false},
        {At("dangling.cfg").string(), false},
        {At("missing.cfg").string(), false},
        {At("pipe.cfg").string(), false},
        {At("file.cfg").string() + "\0.txt"s, false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsOrdinaryFile(c.path), c.found) << c.path;
}

// ---------------------------------------------------------------------------------------------
// ReadWholeFile

TEST_F(HostFilesTest, ReadsFilesOfAnySize) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65536},
                                   std::size_t{65537}, std::size_t{64} << 20}) {
        const std::string bytes = RandomBytes(size, static_cast<std::uint32_t>(size));
        WriteBytes(At("file.cfg"), bytes);
        Outcome<std::string> read = ReadWholeFile(At("file.cfg").string());
        ASSERT_TRUE(read.ok()) << size;
        EXPECT_TRUE(read.value() == bytes) << size; // no dump of 64 MiB on failure
    }
}

TEST_F(HostFilesTest, ReadsThroughALink) {
    WriteBytes(At("target.cfg"), "seta name \"x\"\r\n");
    fs::create_symlink("target.cfg", At("link.cfg"));
    Outcome<std::string> read = ReadWholeFile(At("link.cfg").string());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), "seta name \"x\"\r\n");
}

TEST_F(HostFilesTest, ReadFailuresGiveTheReason) {
    fs::create_directory(At("folder.cfg"));
    ASSERT_EQ(mkfifo(At("pipe.cfg").c_str(), 0600), 0); // must not wait for a writer
    WriteBytes(At("big.cfg"), "12345");

    const struct {
        std::string path;
        std::size_t maxBytes;
        std::string reason;
    } cases[] = {
        {At("missing.cfg").string(), SIZE_MAX, "No such file or directory"},
        {At("folder.cfg").string(), SIZE_MAX, "Is a directory"},
        {At("pipe.cfg").string(), SIZE_MAX, "Not an ordinary file"},
        {At("big.cfg").string(), 4, "File too large"},
        {At("big.cfg").string() + "\0"s, SIZE_MAX, "No such file or directory"},
    };
    for (const auto& c : cases) {
        Outcome<std::string> read = ReadWholeFile(c.path, c.maxBytes);
        ASSERT_FALSE(read.ok()) << c.path;
        EXPECT_EQ(read.failure().message, c.reason) << c.path;
    }
    EXPECT_TRUE(ReadWholeFile(At("big.cfg").string(), 5).ok()) << "the limit itself is allowed";
}

TEST_F(HostFilesTest, UnreadableFileGivesTheReason) {
    WriteBytes(At("secret.cfg"), "x");
    fs::permissions(At("secret.cfg"), fs::perms::none);
    const std::string answer = RunUnprivileged([&] {
        Outcome<std::string> read = ReadWholeFile(At("secret.cfg").string());
        return read ? "read" : read.failure().message;
    });
    EXPECT_EQ(answer, "Permission denied");
}

// ---------------------------------------------------------------------------------------------
// ReplaceWholeFile

TEST_F(HostFilesTest, ReplacesEveryByteAndLeavesNoTemporaryFile) {
    WriteBytes(At("file.cfg"), "old content that is longer than the new one\n");
    const std::string bytes = RandomBytes(100000, 7) + "\r\n\0"s;
    EXPECT_EQ(Replace(At("file.cfg"), bytes), "");
    EXPECT_TRUE(ReadBytes(At("file.cfg")) == bytes);
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});

    EXPECT_EQ(Replace(At("file.cfg"), ""), "");
    EXPECT_EQ(ReadBytes(At("file.cfg")), "");
}

TEST_F(HostFilesTest, LinkStaysAndItsTargetChanges) {
    const fs::path elsewhere = At("elsewhere");
    WriteBytes(elsewhere / "real.cfg", "old");
    fs::create_symlink("elsewhere/real.cfg", At("relative.cfg"));
    fs::create_symlink(At("relative.cfg"), At("absolute-to-link.cfg"));

    for (const char* link : {"relative.cfg", "absolute-to-link.cfg"}) {
        const std::string content = "new through "s + link;
        EXPECT_EQ(Replace(At(link), content), "") << link;
        EXPECT_TRUE(fs::is_symlink(At(link))) << link;
        EXPECT_EQ(ReadBytes(elsewhere / "real.cfg"), content) << link;
    }
    EXPECT_EQ(fs::read_symlink(At("relative.cfg")), "elsewhere/real.cfg");
    EXPECT_EQ(Listing(elsewhere), std::set<std::string>{"real.cfg"});
    EXPECT_EQ(Listing(m_dir.path()),
              (std::set<std::string>{"elsewhere", "relative.cfg", "absolute-to-link.cfg"}));
}

TEST_F(HostFilesTest, LinkLoopFails) {
    fs::create_symlink("b.cfg", At("a.cfg"));
    fs::create_symlink("a.cfg", At("b.cfg"));
    EXPECT_EQ(Replace(At("a.cfg"), "x"), "Too many levels of symbolic links");
    EXPECT_TRUE(fs::is_symlink(At("a.cfg")));
}

TEST_F(HostFilesTest, PermissionBitsAreKept) {
    for (const mode_t mode : {0600, 0640, 0604, 0666, 0751, 02644}) {
        WriteBytes(At("file.cfg"), "old");
        ASSERT_EQ(chmod(At("file.cfg").c_str(), mode), 0);
        EXPECT_EQ(Replace(At("file.cfg"), "new"), "");
        EXPECT_EQ(ModeOf(At("file.cfg")), mode) << std::oct << mode;
        fs::remove(At("file.cfg"));
    }
}

TEST_F(HostFilesTest, OwnerIsKeptWherePermitted) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another owner";
    WriteBytes(At("file.cfg"), "old");
    ASSERT_EQ(chown(At("file.cfg").c_str(), Nobody, Nobody), 0);
    EXPECT_EQ(Replace(At("file.cfg"), "new"), "");
    struct stat info {};
    ASSERT_EQ(stat(At("file.cfg").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, Nobody);
    EXPECT_EQ(info.st_gid, Nobody);
}

TEST_F(HostFilesTest, RemovedFileIsCreatedAgain) {
    EXPECT_EQ(Replace(At("file.cfg"), "new"), "");
    EXPECT_EQ(ReadBytes(At("file.cfg")), "new");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

// A write fault partway, as the seam injects it: the old file stays exactly as it was.
TEST_F(HostFilesTest, FailedWriteLeavesTheOldFile) {
    const std::string old = RandomBytes(20000, 1);
    const struct {
        const char* label;
        std::size_t failAt;
        int error;
        std::string reason;
    } cases[] = {
        {"disk full halfway", 50000, ENOSPC, "No space left on device"},
        {"disk full at once", 0, ENOSPC, "No space left on device"},
        {"i/o error at the end", 99999, EIO, "Input/output error"},
        {"quota", 1, EDQUOT, "Disk quota exceeded"},
    };
    for (const auto& c : cases) {
        WriteBytes(At("file.cfg"), old);
        ScopedWriteHook fault([&](std::size_t written, std::size_t wanted) {
            if (written >= c.failAt)
                return WriteVerdict{0, c.error};
            return WriteVerdict{std::min(wanted, c.failAt - written), 0};
        });
        EXPECT_EQ(Replace(At("file.cfg"), RandomBytes(100000, 2)), c.reason) << c.label;
        EXPECT_TRUE(ReadBytes(At("file.cfg")) == old) << c.label;
        EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"}) << c.label;
    }
}

TEST_F(HostFilesTest, ShortAndInterruptedWritesAreCompleted) {
    WriteBytes(At("file.cfg"), "old");
    const std::string bytes = RandomBytes(30000, 3);
    int calls = 0;
    ScopedWriteHook shortWrites([&](std::size_t, std::size_t wanted) {
        ++calls;
        if (calls % 5 == 0)
            return WriteVerdict{0, EINTR};
        return WriteVerdict{std::min<std::size_t>(wanted, 7), 0};
    });
    EXPECT_EQ(Replace(At("file.cfg"), bytes), "");
    EXPECT_TRUE(ReadBytes(At("file.cfg")) == bytes);
    EXPECT_GT(calls, 4000);
}

TEST_F(HostFilesTest, WriteThatMakesNoProgressFailsInsteadOfSpinning) {
    WriteBytes(At("file.cfg"), "old");
    ScopedWriteHook stuck([](std::size_t, std::size_t) { return WriteVerdict{0, 0}; });
    EXPECT_EQ(Replace(At("file.cfg"), "new"), "Input/output error");
    EXPECT_EQ(ReadBytes(At("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

TEST_F(HostFilesTest, HookEndsWithItsScope) {
    WriteBytes(At("file.cfg"), "old");
    {
        ScopedWriteHook fault([](std::size_t, std::size_t) { return WriteVerdict{0, ENOSPC}; });
        EXPECT_NE(Replace(At("file.cfg"), "new"), "");
    }
    EXPECT_EQ(Replace(At("file.cfg"), "new"), "");
    EXPECT_EQ(ReadBytes(At("file.cfg")), "new");
}

TEST_F(HostFilesTest, ReplaceFailuresGiveTheReason) {
    fs::create_directory(At("folder.cfg"));
    WriteBytes(At("gone/file.cfg"), "old");
    fs::remove_all(At("gone"));
    ASSERT_EQ(mkfifo(At("pipe.cfg").c_str(), 0600), 0);

    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {At("gone/file.cfg").string(), "No such file or directory"},
        {At("folder.cfg").string(), "Is a directory"},
        {At("pipe.cfg").string(), "Not an ordinary file"},
        {At("file.cfg").string() + "\0"s, "No such file or directory"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Replace(c.path, "new"), c.reason) << c.path;
    EXPECT_TRUE(fs::is_directory(At("folder.cfg")));
    EXPECT_TRUE(fs::is_fifo(At("pipe.cfg")));
    EXPECT_EQ(Listing(m_dir.path()), (std::set<std::string>{"folder.cfg", "pipe.cfg"}));
}

// Replacing needs only the right to write the folder; a read-only file must still be refused,
// as it would be when written in place.
TEST_F(HostFilesTest, ReadOnlyFileIsRefused) {
    fs::permissions(m_dir.path(), fs::perms::all);
    WriteBytes(At("file.cfg"), "old");
    fs::permissions(At("file.cfg"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(RunUnprivileged([&] { return Replace(At("file.cfg"), "new"); }), "Permission denied");
    EXPECT_EQ(ReadBytes(At("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

TEST_F(HostFilesTest, ReadOnlyFolderIsRefused) {
    WriteBytes(At("file.cfg"), "old");
    fs::permissions(At("file.cfg"), fs::perms::all);
    fs::permissions(m_dir.path(),
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);
    if (geteuid() != 0)
        fs::permissions(m_dir.path(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(RunUnprivileged([&] { return Replace(At("file.cfg"), "new"); }), "Permission denied");
    EXPECT_EQ(ReadBytes(At("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

} // namespace
