// SPDX-License-Identifier: GPL-3.0-or-later
// The host file layer's promises that hold on every platform.

#include "HostFilesTestSupport.h"
#include "support/SystemReasons.h"

#include <algorithm>
#include <cerrno>
#include <optional>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

TEST_F(HostFilesTest, OrdinaryFilesAreFoundAndNothingElse) {
    WriteBytes(at("file.cfg"), "x");
    WriteBytes(at("empty.cfg"), "");
    fs::create_directory(at("folder.cfg"));

    const struct {
        std::string path;
        bool found;
    } cases[] = {
        {at("file.cfg").string(), true},
        {at("empty.cfg").string(), true},
        {at("folder.cfg").string(), false},
        {at("missing.cfg").string(), false},
        {at("missing/file.cfg").string(), false},
        {at("file.cfg").string() + "\0.txt"s, false},
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
        WriteBytes(at("file.cfg"), bytes);
        Outcome<std::string> read = ReadWholeFile(at("file.cfg").string());
        ASSERT_TRUE(read.ok()) << size;
        EXPECT_TRUE(read.value() == bytes) << size; // no dump of 64 MiB on failure
    }
}

// Line ends, a Ctrl-Z (the end of a file in text mode) and NULs come back as they are.
TEST_F(HostFilesTest, ReadsBytesUntranslated) {
    const std::string bytes = "seta name \"x\"\r\n\n\r\x1a\0tail\x1a"s;
    WriteBytes(at("file.cfg"), bytes);
    Outcome<std::string> read = ReadWholeFile(at("file.cfg").string());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), bytes);
}

TEST_F(HostFilesTest, ReadFailuresGiveTheReason) {
    fs::create_directory(at("folder.cfg"));
    WriteBytes(at("big.cfg"), "12345");

    const struct {
        std::string path;
        std::size_t maxBytes;
        std::string reason;
    } cases[] = {
        {at("missing.cfg").string(), SIZE_MAX, reason::FileNotFound()},
        {at("missing/file.cfg").string(), SIZE_MAX, reason::FolderNotFound()},
        {at("folder.cfg").string(), SIZE_MAX, reason::IsAFolder()},
        {at("big.cfg").string(), 4, reason::FileTooLarge()},
        {at("big.cfg").string() + "\0"s, SIZE_MAX, reason::FileNotFound()},
    };
    for (const auto& c : cases) {
        Outcome<std::string> read = ReadWholeFile(c.path, c.maxBytes);
        ASSERT_FALSE(read.ok()) << c.path;
        EXPECT_EQ(read.failure().message, c.reason) << c.path;
    }
    EXPECT_TRUE(ReadWholeFile(at("big.cfg").string(), 5).ok()) << "the limit itself is allowed";
}

// ---------------------------------------------------------------------------------------------
// ReadWholeFileIf

// The stamp comes first, with the file's size, and only a wanted file is read; the refusals are
// ReadWholeFile's.
TEST_F(HostFilesTest, ReadWholeFileIfReadsOnlyAWantedFile) {
    fs::create_directory(at("folder.cfg"));
    const std::string bytes = RandomBytes(65537, 7);
    WriteBytes(at("file.cfg"), bytes);
    for (const bool wanted : {true, false}) {
        std::uintmax_t stampSize = 0;
        const auto read =
            ReadWholeFileIf(at("file.cfg").string(), 65537, [&](const FileStamp& stamp) {
                stampSize = stamp.size;
                return wanted;
            });
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.value(), wanted ? std::optional(bytes) : std::nullopt);
        EXPECT_EQ(stampSize, bytes.size());
    }
    const auto wantAll = [](const FileStamp&) { return true; };
    EXPECT_EQ(ReadWholeFileIf(at("folder.cfg").string(), 1 << 20, wantAll).failure().message,
              reason::IsAFolder());
    EXPECT_EQ(ReadWholeFileIf(at("file.cfg").string(), 65536, wantAll).failure().message,
              reason::FileTooLarge());
}

// ---------------------------------------------------------------------------------------------
// CompareFileWith

TEST_F(HostFilesTest, CompareFileWithComparesEveryByte) {
    const std::string bytes = RandomBytes(200000, 3); // several chunks
    const auto flipped = [&](std::size_t at) {
        std::string other = bytes;
        other[at] ^= 1;
        return other;
    };
    const struct {
        const char* label;
        std::string onDisk;
        bool same;
    } cases[] = {
        {"the same", bytes, true},
        {"first byte differs", flipped(0), false},
        {"first byte of the second chunk differs", flipped(65536), false},
        {"last byte differs", flipped(bytes.size() - 1), false},
        {"one byte longer", bytes + "x", false},
        {"one byte shorter", bytes.substr(0, bytes.size() - 1), false},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        WriteBytes(at("file.cfg"), c.onDisk);
        EXPECT_EQ(CompareFileWith(at("file.cfg").string(), bytes).value()->same, c.same) << c.label;
    }
    WriteBytes(at("empty.cfg"), "");
    EXPECT_TRUE(CompareFileWith(at("empty.cfg").string(), "").value()->same);
}

// Only where there is no file is there nothing to compare; anything else is a failure.
TEST_F(HostFilesTest, CompareFileWithTellsAFileThatIsGoneFromOneItCannotRead) {
    fs::create_directory(at("folder.cfg"));
    for (const std::string& path :
         {at("missing.cfg").string(), at("missing/file.cfg").string(), ""s}) {
        const auto compared = CompareFileWith(path, "");
        EXPECT_TRUE(compared.ok() && !compared.value()) << path;
    }
    EXPECT_FALSE(CompareFileWith(at("folder.cfg").string(), "").ok());
}

// ---------------------------------------------------------------------------------------------
// ReplaceWholeFile

TEST_F(HostFilesTest, ReplacesEveryByteAndLeavesNoTemporaryFile) {
    WriteBytes(at("file.cfg"), "old content that is longer than the new one\n");
    const std::string bytes = RandomBytes(100000, 7) + "\r\n\n\x1a\0"s;
    EXPECT_EQ(Replace(at("file.cfg"), bytes), "");
    EXPECT_TRUE(ReadBytes(at("file.cfg")) == bytes);
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});

    EXPECT_EQ(Replace(at("file.cfg"), ""), "");
    EXPECT_EQ(ReadBytes(at("file.cfg")), "");
}

TEST_F(HostFilesTest, RemovedFileIsCreatedAgain) {
    EXPECT_EQ(Replace(at("file.cfg"), "new"), "");
    EXPECT_EQ(ReadBytes(at("file.cfg")), "new");
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
    };
    for (const auto& c : cases) {
        WriteBytes(at("file.cfg"), old);
        ScopedWriteHook fault([&](std::size_t written, std::size_t wanted) {
            if (written >= c.failAt)
                return WriteVerdict{0, c.error};
            return WriteVerdict{std::min(wanted, c.failAt - written), 0};
        });
        EXPECT_EQ(Replace(at("file.cfg"), RandomBytes(100000, 2)), c.reason) << c.label;
        EXPECT_TRUE(ReadBytes(at("file.cfg")) == old) << c.label;
        EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"}) << c.label;
    }
}

TEST_F(HostFilesTest, ShortWritesAreCompleted) {
    WriteBytes(at("file.cfg"), "old");
    const std::string bytes = RandomBytes(30000, 3);
    int calls = 0;
    ScopedWriteHook shortWrites([&](std::size_t, std::size_t wanted) {
        ++calls;
        return WriteVerdict{std::min<std::size_t>(wanted, 7), 0};
    });
    EXPECT_EQ(Replace(at("file.cfg"), bytes), "");
    EXPECT_TRUE(ReadBytes(at("file.cfg")) == bytes);
    EXPECT_GE(calls, 30000 / 7);
}

TEST_F(HostFilesTest, WriteThatMakesNoProgressFailsInsteadOfSpinning) {
    WriteBytes(at("file.cfg"), "old");
    ScopedWriteHook stuck([](std::size_t, std::size_t) { return WriteVerdict{0, 0}; });
    EXPECT_EQ(Replace(at("file.cfg"), "new"), reason::WriteStalled());
    EXPECT_EQ(ReadBytes(at("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

TEST_F(HostFilesTest, HookEndsWithItsScope) {
    WriteBytes(at("file.cfg"), "old");
    {
        ScopedWriteHook fault([](std::size_t, std::size_t) { return WriteVerdict{0, ENOSPC}; });
        EXPECT_NE(Replace(at("file.cfg"), "new"), "");
    }
    EXPECT_EQ(Replace(at("file.cfg"), "new"), "");
    EXPECT_EQ(ReadBytes(at("file.cfg")), "new");
}

TEST_F(HostFilesTest, ReplaceFailuresGiveTheReason) {
    fs::create_directory(at("folder.cfg"));

    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {at("gone/file.cfg").string(), reason::FolderNotFound()},
        {at("folder.cfg").string(), reason::IsAFolder()},
        {at("file.cfg").string() + "\0"s, reason::FileNotFound()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Replace(c.path, "new"), c.reason) << c.path;
    EXPECT_TRUE(fs::is_directory(at("folder.cfg")));
    EXPECT_TRUE(fs::is_empty(at("folder.cfg")));
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"folder.cfg"});
}

} // namespace
