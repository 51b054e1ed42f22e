// SPDX-License-Identifier: GPL-3.0-or-later
// Where a game's config file is on Windows: the composed path, or the VirtualStore copy that a
// game without a manifest really uses.

#include "platform/VirtualStore.h"

#include "support/TestPrefix.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string CfgBelowGames = "\\Call of Duty\\Main\\config_mp.cfg";

// A temporary folder on the system drive (C: under Wine) that holds the game's folder and the
// user's LOCALAPPDATA folder.
class VirtualStoreTest : public testing::Test {
protected:
    // The game's config file as the registry would compose it: "C:\...\Games\Call of Duty\...".
    std::string gamePath() const { return (m_dir.path() / "Games").string() + CfgBelowGames; }
    std::string localAppData() const { return (m_dir.path() / "Local").string(); }
    // Where Windows keeps the redirected copy of `windowsPath`.
    fs::path storeCopyOf(const std::string& windowsPath) const {
        return localAppData() + "\\VirtualStore" + windowsPath.substr(2);
    }

    TempDir m_dir;
};

struct StoreCase {
    const char* label;
    bool originalExists;
    enum { NoCopy, FileCopy, FolderCopy } copy;
    std::optional<std::string> localAppDataSuffix; // appended to localAppData(); none: unset
    bool redirected;
};

class VirtualStoreCases : public VirtualStoreTest, public testing::WithParamInterface<StoreCase> {};

TEST_P(VirtualStoreCases, ACopyInTheStoreIsTheFileTheGameUses) {
    const StoreCase& c = GetParam();
    if (c.originalExists)
        WriteBytes(gamePath(), "seta name \"original\"\n");
    if (c.copy == StoreCase::FileCopy)
        WriteBytes(storeCopyOf(gamePath()), "seta name \"copy\"\n");
    if (c.copy == StoreCase::FolderCopy)
        fs::create_directories(storeCopyOf(gamePath()));
    std::optional<std::string> variable;
    if (c.localAppDataSuffix)
        variable = localAppData() + *c.localAppDataSuffix;
    ScopedEnv env("LOCALAPPDATA", variable);

    const std::string expected =
        c.redirected ? localAppData() + "\\VirtualStore" + gamePath().substr(2) : gamePath();
    EXPECT_EQ(ThroughVirtualStore(gamePath()), expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, VirtualStoreCases,
    testing::Values(
        StoreCase{"copy beside the original", true, StoreCase::FileCopy, "", true},
        StoreCase{"only the copy", false, StoreCase::FileCopy, "", true},
        StoreCase{"no copy", true, StoreCase::NoCopy, "", false},
        StoreCase{"a folder where the copy would be", true, StoreCase::FolderCopy, "", false},
        StoreCase{"store named with a trailing backslash", true, StoreCase::FileCopy, "\\", true},
        StoreCase{"no LOCALAPPDATA", true, StoreCase::FileCopy, std::nullopt, false}));

// Only the system drive's folders are virtualized: a game on another drive, or one reached
// without a drive letter, uses its own file even when the store holds a file of that name.
TEST_F(VirtualStoreTest, OtherDrivesAreNeverRedirected) {
    ScopedEnv env("LOCALAPPDATA", localAppData());
    const std::string onSystemDrive = gamePath();
    WriteBytes(storeCopyOf(onSystemDrive), "seta name \"copy\"\n");
    const char systemDrive = onSystemDrive[0];
    const char otherDrive = (systemDrive == 'Q' || systemDrive == 'q') ? 'R' : 'Q';
    for (const std::string& path :
         {otherDrive + onSystemDrive.substr(1), "\\\\server\\share" + onSystemDrive.substr(2),
          onSystemDrive.substr(2), std::string()})
        EXPECT_EQ(ThroughVirtualStore(path), path);
    EXPECT_NE(ThroughVirtualStore(onSystemDrive), onSystemDrive) << "the copy itself is there";
}

// The composed path, doubled separator and all, is used as it stands.
TEST_F(VirtualStoreTest, WithoutACopyThePathStaysAsComposed) {
    ScopedEnv env("LOCALAPPDATA", localAppData());
    const std::string composed = (m_dir.path() / "Games").string() + "\\\\Main\\config_mp.cfg";
    WriteBytes(m_dir.path() / "Games" / "Main" / "config_mp.cfg", "x");
    EXPECT_EQ(ThroughVirtualStore(composed), composed);
}

} // namespace
