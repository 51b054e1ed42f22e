// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/WinePrefix.h"

#include "platform/HostFiles.h"
#include "support/TestPrefix.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string WindowsPathOf(const fs::path& hostPath) {
    std::string path = hostPath.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A prefix with a few games' folders in mixed case on drive C, and a drive D linking nowhere.
class MapIntoPrefixTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* file :
             {"Games/Call of Duty/Main/config_mp.cfg", "Games/Call of Duty/uo/UOconfig_MP.cfg",
              "Spiele/\xc3\x84rger/config_mp.cfg", "Both/Main/x.cfg", "Both/MAIN/x.cfg",
              "Both/main2/x.cfg"})
            WriteBytes(m_prefix.driveC() / file, "seta name \"x\"\n");
        fs::create_directory_symlink("/nonexistent-tintwell-drive",
                                     m_prefix.dir() / "dosdevices" / "d:");
    }

    std::string map(const std::string& windowsPath) const {
        return MapIntoPrefix(m_prefix.dir().string(), windowsPath);
    }
    std::string driveLink(char letter) const {
        return (m_prefix.dir() / "dosdevices" / (std::string(1, letter) + ":")).string();
    }
    std::string driveC() const { return m_prefix.driveC().string(); }

    TestPrefix m_prefix;
};

struct MapCase {
    const char* label;
    std::string windowsPath;
    std::string onDriveC; // the expected host path below drive_c
    bool isFile;
};

void PrintTo(const MapCase& c, std::ostream* out) {
    *out << c.label;
}

class MapOntoDriveC : public MapIntoPrefixTest, public testing::WithParamInterface<MapCase> {};

TEST_P(MapOntoDriveC, FollowsTheDriveLinkAndMatchesCase) {
    const MapCase& c = GetParam();
    const std::string mapped = map(c.windowsPath);
    EXPECT_EQ(mapped, driveC() + c.onDriveC);
    EXPECT_EQ(IsOrdinaryFile(mapped), c.isFile);
}

const std::string CodCfg = "/Games/Call of Duty/Main/config_mp.cfg";

INSTANTIATE_TEST_SUITE_P(
    Table, MapOntoDriveC,
    testing::Values(
        MapCase{"Exact", "C:\\Games\\Call of Duty\\Main\\config_mp.cfg", CodCfg, true},
        MapCase{"OtherCase", "c:\\GAMES\\call OF duty\\main\\CONFIG_MP.CFG", CodCfg, true},
        MapCase{"DoubledSeparator", "C:\\Games\\Call of Duty\\\\Main\\config_mp.cfg", CodCfg, true},
        MapCase{"ForwardSlashes", "C:/Games/Call of Duty/Main/config_mp.cfg", CodCfg, true},
        MapCase{"DotComponents", "C:\\.\\Games\\Call of Duty\\.\\Main\\.\\config_mp.cfg", CodCfg,
                true},
        MapCase{"UpAndDownAgain", "C:\\Games\\Call of Duty\\UO\\..\\Main\\config_mp.cfg", CodCfg,
                true},
        MapCase{"UpNeverLeavesTheDrive", "C:\\..\\..\\Games\\Call of Duty\\Main\\config_mp.cfg",
                CodCfg, true},
        MapCase{"UpAcrossSlashes", "C:\\Games/../../../Games\\Call of Duty\\Main\\config_mp.cfg",
                CodCfg, true},
        MapCase{"UpOutOfTheDriveStaysInIt", "C:\\Games\\..\\..\\..\\etc\\passwd", "/etc/passwd",
                false},
        MapCase{"MixedCaseOnDisk", "C:\\Games\\Call of Duty\\UO\\uoconfig_mp.cfg",
                "/Games/Call of Duty/uo/UOconfig_MP.cfg", true},
        MapCase{"MissingKeptAsWritten", "C:\\games\\NOWHERE\\main\\config_mp.cfg",
                "/Games/NOWHERE/main/config_mp.cfg", false},
        MapCase{"FolderIsNoFile", "C:\\Games\\Call of Duty\\Main\\", "/Games/Call of Duty/Main",
                false},
        MapCase{"ExactMatchWins", "C:\\Both\\Main\\x.cfg", "/Both/Main/x.cfg", true},
        MapCase{"FirstOfSeveralInByteOrder", "C:\\both\\main\\x.cfg", "/Both/MAIN/x.cfg", true},
        MapCase{"NonAsciiMatchesExactly", "C:\\spiele\\\xc3\x84rger\\config_mp.cfg",
                "/Spiele/\xc3\x84rger/config_mp.cfg", true},
        MapCase{"NonAsciiIsNotFolded", "C:\\Spiele\\\xc3\xa4rger\\config_mp.cfg",
                "/Spiele/\xc3\xa4rger/config_mp.cfg", false},
        MapCase{"VeryLongName", "C:\\Games\\" + std::string(5000, 'n') + "\\x.cfg",
                "/Games/" + std::string(5000, 'n') + "/x.cfg", false},
        MapCase{"Root", "C:\\", "", false}, MapCase{"DriveOnly", "C:", "", false}),
    [](const testing::TestParamInfo<MapCase>& info) { return info.param.label; });

TEST_F(MapIntoPrefixTest, PathsWithoutAKnownDriveComeBackUnchanged) {
    for (const std::string& path :
         {"Q:\\Games\\Call of Duty\\Main\\config_mp.cfg"s, "\\\\server\\share\\config_mp.cfg"s,
          "\\\\?\\C:\\Games\\config_mp.cfg"s, "Games\\Call of Duty\\Main\\config_mp.cfg"s,
          "\\Games\\Call of Duty\\Main\\config_mp.cfg"s, "1:\\Games"s, ""s, "C"s,
          "C:\\Games\\Call of Duty\\Main\\config_mp.cfg\0.txt"s}) {
        EXPECT_EQ(map(path), path);
        EXPECT_FALSE(IsOrdinaryFile(map(path)));
    }
}

TEST_F(MapIntoPrefixTest, DriveLinkingNowhereKeepsTheLink) {
    const std::string mapped = map("D:\\Games\\config_mp.cfg");
    EXPECT_EQ(mapped, driveLink('d') + "/Games/config_mp.cfg");
    EXPECT_FALSE(IsOrdinaryFile(mapped));
}

TEST(MapIntoPrefix, DriveLinksReadAsTheFoldersTheyLeadTo) {
    TempDir elsewhere;
    WriteBytes(elsewhere.path() / "Games/x.cfg", "x");
    TempDir prefix;
    fs::create_directories(prefix.path() / "dosdevices");
    fs::create_directory_symlink(elsewhere.path(), prefix.path() / "dosdevices" / "e:");
    const std::string mapped = MapIntoPrefix(prefix.path().string(), "E:\\games\\X.cfg");
    EXPECT_EQ(mapped, (elsewhere.path() / "Games/x.cfg").string());
    EXPECT_TRUE(IsOrdinaryFile(mapped));
}

// "../drive_c" from a linked dosdevices folder leads next to the link's target, not into the
// prefix; the drive's link is then the name that is right.
TEST(MapIntoPrefix, RelativeLinkBehindALinkedFolderKeepsTheLink) {
    TempDir real;
    fs::create_directories(real.path() / "devices");
    fs::create_directory_symlink("../drive_c", real.path() / "devices" / "c:");
    WriteBytes(real.path() / "drive_c/Games/x.cfg", "x");
    TempDir prefix;
    fs::create_directory_symlink(real.path() / "devices", prefix.path() / "dosdevices");
    const std::string mapped = MapIntoPrefix(prefix.path().string(), "C:\\Games\\x.cfg");
    EXPECT_EQ(mapped, (prefix.path() / "dosdevices/c:/Games/x.cfg").string());
    EXPECT_TRUE(IsOrdinaryFile(mapped));
}

TEST_F(MapIntoPrefixTest, DriveZReachesTheWholeHost) {
    const fs::path real = fs::canonical(m_prefix.driveC()) / "Games";
    const std::string mapped =
        map("Z:" + WindowsPathOf(real) + "\\CALL OF DUTY\\main\\config_mp.cfg");
    EXPECT_EQ(mapped, real.string() + "/Call of Duty/Main/config_mp.cfg");
    EXPECT_TRUE(IsOrdinaryFile(mapped));
}

TEST_F(MapIntoPrefixTest, PrefixWithTrailingSlash) {
    EXPECT_EQ(MapIntoPrefix(m_prefix.dir().string() + "/", "C:\\Games"), driveC() + "/Games");
}

TEST(CurrentWinePrefix, FromWineprefixElseHome) {
    const struct {
        std::optional<std::string> winePrefix;
        std::string expected;
    } cases[] = {
        {"/opt/games/prefix", "/opt/games/prefix"},
        {"", "/home/player/.wine"},
        {std::nullopt, "/home/player/.wine"},
    };
    ScopedEnv home("HOME", "/home/player");
    for (const auto& c : cases) {
        ScopedEnv prefix("WINEPREFIX", c.winePrefix);
        EXPECT_EQ(CurrentWinePrefix(), c.expected);
    }
}

TEST(CurrentWinePrefix, WithoutHomeUsesTheUsersFolder) {
    const passwd* user = getpwuid(getuid());
    if (!user || !user->pw_dir || !*user->pw_dir)
        GTEST_SKIP() << "the user database has no home folder for this user";
    ScopedEnv home("HOME", std::nullopt);
    ScopedEnv prefix("WINEPREFIX", std::nullopt);
    EXPECT_EQ(CurrentWinePrefix(), std::string(user->pw_dir) + "/.wine");
}

} // namespace
