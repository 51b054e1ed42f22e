// SPDX-License-Identifier: GPL-3.0-or-later
// The host file layer on Windows: file attributes, sharing, and replacing by renaming.

#include "HostFilesTestSupport.h"
#include "support/SystemReasons.h"

#include <utility>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

// A Windows file handle, closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// The file's identity on its volume: a new file has a new one.
ULONGLONG FileIndex(const fs::path& path) {
    Handle file(CreateFileA(path.string().c_str(), 0,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(GetFileInformationByHandle(file.get(), &info)) << path;
    return (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

// When the file was made, as 100-nanosecond units since 1601 (0 when the system cannot say).
ULONGLONG CreationTimeOf(const fs::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.string().c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG{data.ftCreationTime.dwHighDateTime} << 32) |
           data.ftCreationTime.dwLowDateTime;
}

// Gives the file `attributes` while it lives, and ordinary ones again afterwards, so that the
// temporary folder can go.
class ScopedAttributes {
public:
    ScopedAttributes(fs::path path, DWORD attributes) : m_path(std::move(path)) {
        EXPECT_TRUE(SetFileAttributesA(m_path.string().c_str(), attributes)) << m_path;
    }
    ~ScopedAttributes() { SetFileAttributesA(m_path.string().c_str(), FILE_ATTRIBUTE_NORMAL); }
    ScopedAttributes(const ScopedAttributes&) = delete;
    ScopedAttributes& operator=(const ScopedAttributes&) = delete;

private:
    fs::path m_path;
};

using HostFilesWindowsTest = HostFilesTest;

// An existing file is found whatever its attributes say.
TEST_F(HostFilesWindowsTest, HiddenSystemAndReadOnlyFilesAreFound) {
    const struct {
        const char* name;
        DWORD attributes;
    } cases[] = {
        {"plain.cfg", FILE_ATTRIBUTE_NORMAL},
        {"archive.cfg", FILE_ATTRIBUTE_ARCHIVE},
        {"readonly.cfg", FILE_ATTRIBUTE_READONLY},
        {"hidden.cfg", FILE_ATTRIBUTE_HIDDEN},
        {"system.cfg", FILE_ATTRIBUTE_SYSTEM},
        {"all.cfg", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY},
    };
    for (const auto& c : cases) {
        WriteBytes(at(c.name), "x");
        ScopedAttributes attributes(at(c.name), c.attributes);
        EXPECT_TRUE(IsOrdinaryFile(at(c.name).string())) << c.name;
    }
}

// A device name reads as a file name but is none; reading it must not hang or succeed, and
// saving to it must not pretend to have saved.
TEST_F(HostFilesWindowsTest, DevicesAreNotFiles) {
    const std::string nul = at("NUL").string();
    EXPECT_FALSE(IsOrdinaryFile(nul));
    Outcome<std::string> read = ReadWholeFile(nul);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.failure().message, "Not an ordinary file");
    EXPECT_EQ(Replace(nul, "new"), "Not an ordinary file");

    // The console: what the system says depends on whether there is one; it is never a file.
    const std::string console = at("con").string();
    EXPECT_FALSE(IsOrdinaryFile(console));
    EXPECT_FALSE(ReadWholeFile(console).ok());
    EXPECT_NE(Replace(console, "new"), "");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{});
}

// Makes `folder` the current folder while it lives.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const fs::path& folder) : m_old(fs::current_path()) {
        fs::current_path(folder);
    }
    ~ScopedCurrentFolder() { fs::current_path(m_old); }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    fs::path m_old;
};

// A path that is not fully qualified comes from a registry value that names no install folder;
// it must not reach a file in whatever folder or drive the program was started from.
TEST_F(HostFilesWindowsTest, PathsThatAreNotFullyQualifiedNameNoFile) {
    WriteBytes(at("Main/config_mp.cfg"), "seta name \"x\"\n");
    ScopedCurrentFolder inTheTemporaryFolder(m_dir.path());
    const std::string belowRoot = at("Main\\config_mp.cfg").string().substr(2); // "\users\..."
    const std::string driveRelative = at("").string().substr(0, 2) + "Main\\config_mp.cfg";
    for (const std::string& path :
         {std::string("Main\\config_mp.cfg"), std::string("Main/new.cfg"),
          std::string(".\\Main\\config_mp.cfg"), belowRoot, driveRelative}) {
        EXPECT_FALSE(IsOrdinaryFile(path)) << path;
        Outcome<std::string> read = ReadWholeFile(path);
        ASSERT_FALSE(read.ok()) << path;
        EXPECT_EQ(read.failure().message, reason::FileNotFound()) << path;
        EXPECT_EQ(Replace(path, "new"), reason::FileNotFound()) << path;
    }
    EXPECT_EQ(ReadBytes(at("Main/config_mp.cfg")), "seta name \"x\"\n");
    EXPECT_EQ(Listing(at("Main")), std::set<std::string>{"config_mp.cfg"});
    EXPECT_TRUE(IsOrdinaryFile(at("Main\\config_mp.cfg").string())) << "the full path is fine";
}

// The new content arrives as a new file renamed into place: the old file is never truncated
// and rewritten, so there is no moment at which it is half written.
TEST_F(HostFilesWindowsTest, ReplacesByRenamingANewFileIntoPlace) {
    WriteBytes(at("file.cfg"), "old");
    const ULONGLONG before = FileIndex(at("file.cfg"));
    EXPECT_EQ(Replace(at("file.cfg"), "seta name \"new\"\n"), "");
    EXPECT_EQ(ReadBytes(at("file.cfg")), "seta name \"new\"\n") << "no CR before the LF";
    EXPECT_NE(FileIndex(at("file.cfg")), before);
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

// A killed save leaves its new file under its temporary name: the next save of the same file
// removes it once a minute old, and nothing else.
TEST_F(HostFilesWindowsTest, KilledSavesLeftoversGoAtTheNextSave) {
    for (const char* name : {"file.cfg", "file.cfg.tintwell-2", "file.cfg.tintwell-3x",
                             "other.cfg.tintwell-4", ".file.cfg.tintwell-5"}) {
        WriteBytes(at(name), "old");
        MakeOld(at(name));
    }
    WriteBytes(at("file.cfg.tintwell-6"), "a save still running");
    std::set<std::string> kept = Listing(m_dir.path());
    kept.erase("file.cfg.tintwell-2");
    EXPECT_EQ(Replace(at("file.cfg"), "new"), "");
    EXPECT_EQ(Listing(m_dir.path()), kept);
}

// Read-only, and found though hidden and system: refused.
TEST_F(HostFilesWindowsTest, ReadOnlyFileIsRefused) {
    WriteBytes(at("file.cfg"), "old");
    ScopedAttributes readOnly(at("file.cfg"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                  FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Replace(at("file.cfg"), "new"), reason::AccessDenied());
    EXPECT_EQ(ReadBytes(at("file.cfg")), "old");
    EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"});
}

// Attributes that say something about the file stay with it, and so does when it was made (where
// the file system keeps that: Wine's Linux folders do not); the old file's archive bit is not
// asked for, a new file gets it from the system anyway.
TEST_F(HostFilesWindowsTest, AttributesAndCreationTimeAreKept) {
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                                   DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
        WriteBytes(at("file.cfg"), "old");
        const FILETIME madeLongAgoTime{0x12345678, 0x01D00000}; // in 2014
        const ULONGLONG madeLongAgo = 0x01D00000'12345678ULL;
        {
            Handle file(CreateFileA(at("file.cfg").string().c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(SetFileTime(file.get(), &madeLongAgoTime, nullptr, nullptr));
        }
        const bool keepsCreationTime = CreationTimeOf(at("file.cfg")) == madeLongAgo;
        ScopedAttributes marked(at("file.cfg"), attributes);
        EXPECT_EQ(Replace(at("file.cfg"), "new"), "") << attributes;
        EXPECT_EQ(ReadBytes(at("file.cfg")), "new") << attributes;
        const DWORD now = GetFileAttributesA(at("file.cfg").string().c_str());
        EXPECT_EQ(now & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), attributes);
        if (keepsCreationTime) {
            EXPECT_EQ(CreationTimeOf(at("file.cfg")), madeLongAgo) << attributes;
        }
        EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"}) << attributes;
    }
}

// The game running with its config file open: whatever the sharing it allows, a refused save
// leaves the file as it was and no temporary file behind.
TEST_F(HostFilesWindowsTest, FileInUseIsLeftAlone) {
    const struct {
        const char* label;
        DWORD share;
    } cases[] = {
        {"no sharing", 0},
        {"readers only", FILE_SHARE_READ},
        {"readers and writers, no renaming", FILE_SHARE_READ | FILE_SHARE_WRITE},
    };
    for (const auto& c : cases) {
        WriteBytes(at("file.cfg"), "old");
        std::string answer;
        {
            Handle game(CreateFileA(at("file.cfg").string().c_str(), GENERIC_READ, c.share, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
            ASSERT_NE(game.get(), INVALID_HANDLE_VALUE) << c.label;
            answer = Replace(at("file.cfg"), "new");
        }
        EXPECT_NE(answer, "") << c.label << ": an open file that may not be renamed stays";
        EXPECT_EQ(ReadBytes(at("file.cfg")), "old") << c.label;
        EXPECT_EQ(Listing(m_dir.path()), std::set<std::string>{"file.cfg"}) << c.label;
    }
}

} // namespace
