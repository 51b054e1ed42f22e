// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/PlatformSeam.h"
#include "gameconfig/Registry.h"
#include "platform/HostFiles.h"
#include "support/TestPrefix.h"
#include "wine/SteamLibraries.h"
#include "wine/WinePrefix.h"
#include "wine/WinePrefixesRegistry.h"
#include "wine/WineRegFileCache.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string CodKey = "Software\\Activision\\Call of Duty";
const std::string UoKey = "Software\\Activision\\Call of Duty United Offensive";
const std::string CodCfgPath = "\\Main\\config_mp.cfg";
const std::string UoCfgPath = "\\UO\\uoconfig_mp.cfg";

struct GameInstall {
    std::string regKey;
    std::string windowsFolder; // e.g. "C:\Games\Call of Duty"; "" for a key left behind
    std::string cfgPath;       // below the folder, e.g. "\Main\config_mp.cfg"
};

// A Wine prefix at `dir` laid out as Wine and Proton lay it out, with `games` registered where
// their 32-bit installers put them and a config file for each on drive C.
void MakePrefix(const fs::path& dir, const std::vector<GameInstall>& games) {
    fs::create_directories(dir / "drive_c");
    LinkWineDrives(dir);
    std::string reg =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    for (const GameInstall& game : games) {
        const std::string key = "Software\\Wow6432Node" + game.regKey.substr(8);
        reg += "\n[" + RegEscape(key) + "] 1733500000\n";
        // What an uninstaller may leave behind: the key with the CD key, without InstallPath.
        reg += "\"codkey\"=\"ABCD1234EFGH5678\"\n";
        if (game.windowsFolder.empty())
            continue;
        reg += "\"InstallPath\"=\"" + RegEscape(game.windowsFolder) + "\"\n";
        std::string onDrive = game.windowsFolder.substr(2) + game.cfgPath;
        std::replace(onDrive.begin(), onDrive.end(), '\\', '/');
        WriteBytes(dir / "drive_c" / onDrive.substr(1), "seta name \"" + dir.string() + "\"\n");
    }
    WriteBytes(dir / "system.reg", reg);
}

std::string NewerVdf(const std::vector<fs::path>& libraries) {
    std::string text = "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < libraries.size(); ++i)
        text += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + libraries[i].string() +
                "\"\n\t\t\"apps\"\n\t\t{\n\t\t}\n\t}\n";
    return text + "}\n";
}

std::string OlderVdf(const std::vector<fs::path>& libraries) {
    std::string text = "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1611111111\"\n";
    for (std::size_t i = 0; i < libraries.size(); ++i)
        text += "\t\"" + std::to_string(i + 1) + "\"\t\t\"" + libraries[i].string() + "\"\n";
    return text + "}\n";
}

// A home folder of its own in a temporary folder, with $HOME naming it and $WINEPREFIX unset.
class FakeHome : public testing::Test {
protected:
    fs::path home() const { return fs::canonical(m_home.path()); }
    fs::path nativeRoot() const { return home() / ".local/share/Steam"; }
    fs::path flatpakRoot() const {
        return home() / ".var/app/com.valvesoftware.Steam/.local/share/Steam";
    }
    fs::path snapRoot() const { return home() / "snap/steam/common/.local/share/Steam"; }
    fs::path wine() const { return home() / ".wine"; }
    // A folder outside the home, as an extra library on another disk would be.
    fs::path elsewhere(const std::string& name) const {
        return fs::canonical(m_other.path()) / name;
    }

    static fs::path prefixOf(const fs::path& library, int app) {
        return library / "steamapps" / "compatdata" / std::to_string(app) / "pfx";
    }
    // A Steam installation, as Steam makes it: with ~/.steam/steam linking to the native one.
    void makeRoot(const fs::path& root) const {
        fs::create_directories(root / "steamapps");
        if (root == nativeRoot()) {
            fs::create_directories(home() / ".steam");
            fs::create_directory_symlink(root, home() / ".steam" / "steam");
        }
    }
    static void writeLibraryFolders(const fs::path& root, const std::string& text) {
        WriteBytes(root / "steamapps" / "libraryfolders.vdf", text);
    }

    // What the lookup gives for `key`, and the host path of the game's config file through it.
    struct Found {
        std::string folder, origin, hostPath;
    };
    Found lookUp(const std::string& key, const std::string& cfgPath) const {
        const RegLookup found = LookUpRegValue(RootKeyLocalMachine, key, "InstallPath");
        const std::string folder = RegValueText(found.value);
        return {folder, found.origin,
                folder.empty() ? "" : HostPathFor(found.origin, folder + cfgPath)};
    }

    TempDir m_home;
    TempDir m_other;
    ScopedEnv m_homeEnv{"HOME", fs::canonical(m_home.path()).string()};
    ScopedEnv m_prefixEnv{"WINEPREFIX", std::nullopt};
};

TEST_F(FakeHome, SteamRootsAreTheInstallationsThatExistEachOnce) {
    EXPECT_TRUE(SteamRoots(home()).empty());

    makeRoot(nativeRoot());
    EXPECT_EQ(SteamRoots(home()), std::vector{nativeRoot()}) << "~/.steam/steam links to it";

    makeRoot(snapRoot());
    makeRoot(flatpakRoot());
    EXPECT_EQ(SteamRoots(home()), (std::vector{nativeRoot(), flatpakRoot(), snapRoot()}));

    // Old installations kept Steam itself in ~/.steam/steam.
    fs::remove(home() / ".steam" / "steam");
    makeRoot(home() / ".steam" / "steam");
    EXPECT_EQ(SteamRoots(home()),
              (std::vector{home() / ".steam/steam", nativeRoot(), flatpakRoot(), snapRoot()}));
}

TEST_F(FakeHome, LibrariesAreTheRootsAndWhatTheirFilesList) {
    const fs::path games = elsewhere("Games/SteamLibrary");
    const fs::path disk = elsewhere("Big Disk/Steam");
    fs::create_directories(games);
    fs::create_directories(disk);
    fs::create_directory_symlink(games, elsewhere("games-link"));
    makeRoot(nativeRoot());
    makeRoot(flatpakRoot());

    const struct {
        const char* label;
        std::string nativeFile;
        std::string flatpakFile;
        std::vector<fs::path> expected;
    } cases[] = {
        {"no files", "", "", {nativeRoot(), flatpakRoot()}},
        {"newer format, listing its own root too",
         NewerVdf({nativeRoot(), games, elsewhere("unplugged"), "relative/lib"}),
         "",
         {nativeRoot(), games, flatpakRoot()}},
        {"older format", OlderVdf({disk, games}), "", {nativeRoot(), disk, games, flatpakRoot()}},
        {"broken file means no extra library",
         NewerVdf({games}).substr(0, 40),
         OlderVdf({disk}),
         {nativeRoot(), flatpakRoot(), disk}},
        {"the same library by two roots and a link",
         NewerVdf({games}),
         OlderVdf({elsewhere("games-link"), nativeRoot() / "."}),
         {nativeRoot(), games, flatpakRoot()}},
    };
    for (const auto& c : cases) {
        writeLibraryFolders(nativeRoot(), c.nativeFile);
        writeLibraryFolders(flatpakRoot(), c.flatpakFile);
        EXPECT_EQ(SteamLibraries(home()), c.expected) << c.label;
    }
}

TEST_F(FakeHome, EachGamesOwnPrefixesComeFirst) {
    const fs::path games = elsewhere("SteamLibrary");
    makeRoot(nativeRoot());
    fs::create_directories(games);
    writeLibraryFolders(nativeRoot(), NewerVdf({nativeRoot(), games}));
    const std::pair<fs::path, int> made[] = {{games, SteamAppCallOfDuty},
                                             {nativeRoot(), SteamAppUnitedOffensive},
                                             {nativeRoot(), SteamAppCallOfDuty}};
    for (const auto& [library, app] : made)
        fs::create_directories(prefixOf(library, app));
    // An app whose prefix Proton has not made yet, and another game's prefix.
    fs::create_directories(games / "steamapps/compatdata/2640");
    fs::create_directories(prefixOf(games, 228980));

    EXPECT_EQ(SteamPlayPrefixes(home()),
              (std::vector{prefixOf(nativeRoot(), SteamAppCallOfDuty),
                           prefixOf(games, SteamAppCallOfDuty),
                           prefixOf(nativeRoot(), SteamAppUnitedOffensive)}));
}

TEST_F(FakeHome, WineprefixAloneCountsWhenSet) {
    makeRoot(nativeRoot());
    fs::create_directories(prefixOf(nativeRoot(), SteamAppUnitedOffensive));
    const std::string steamPrefix = prefixOf(nativeRoot(), SteamAppUnitedOffensive).string();

    EXPECT_EQ(WinePrefixesToSearch(), (std::vector{wine().string(), steamPrefix}));
    m_prefixEnv.set("");
    EXPECT_EQ(WinePrefixesToSearch(), (std::vector{wine().string(), steamPrefix}))
        << "an empty $WINEPREFIX is no choice";
    m_prefixEnv.set("/opt/prefix");
    EXPECT_EQ(WinePrefixesToSearch(), std::vector{"/opt/prefix"s});
}

// Where each game is installed, and where the lookup must find each one.
struct Scenario {
    const char* label;
    std::vector<GameInstall> inWine, inCodPrefix, inUoPrefix;
    const char* winePrefix; // the prefix $WINEPREFIX names, or nullptr to leave it unset
    const char* codFrom;    // the prefix that answers, or nullptr for none
    const char* uoFrom;
};

const GameInstall CodInGames{CodKey, "C:\\Games\\Call of Duty", CodCfgPath};
const GameInstall UoInGames{UoKey, "C:\\Games\\Call of Duty", UoCfgPath};
const GameInstall CodOnSteam{
    CodKey, "C:\\Program Files (x86)\\Steam\\steamapps\\common\\Call of Duty", CodCfgPath};
const GameInstall CodLeftBehind{CodKey, "", CodCfgPath};
const GameInstall UoLeftBehind{UoKey, "", UoCfgPath};
const GameInstall UoOnSteam{
    UoKey, "C:\\Program Files (x86)\\Steam\\steamapps\\common\\Call of Duty United Offensive",
    UoCfgPath};

class WhichPrefixAnswers : public FakeHome, public testing::WithParamInterface<Scenario> {
protected:
    fs::path prefixNamed(const char* name) const {
        const std::string which = name;
        if (which == "wine")
            return wine();
        return prefixOf(m_library, which == "cod" ? SteamAppCallOfDuty : SteamAppUnitedOffensive);
    }

    // The Steam prefixes live in an extra library, so the libraries' list is followed too.
    fs::path m_library = elsewhere("SteamLibrary");
};

void PrintTo(const Scenario& s, std::ostream* out) {
    *out << s.label;
}

TEST_P(WhichPrefixAnswers, EachGameIsFoundAndMappedThroughItsOwnPrefix) {
    const Scenario& s = GetParam();
    makeRoot(nativeRoot());
    fs::create_directories(m_library);
    writeLibraryFolders(nativeRoot(), NewerVdf({nativeRoot(), m_library}));
    MakePrefix(wine(), s.inWine);
    MakePrefix(prefixNamed("cod"), s.inCodPrefix);
    MakePrefix(prefixNamed("uo"), s.inUoPrefix);
    if (s.winePrefix)
        m_prefixEnv.set(prefixNamed(s.winePrefix).string());

    // The order of Main: United Offensive first, then the chosen game right before its path.
    const std::tuple<std::string, std::string, const char*> steps[] = {
        {UoKey, UoCfgPath, s.uoFrom},
        {CodKey, CodCfgPath, s.codFrom},
        {UoKey, UoCfgPath, s.uoFrom}};
    for (const auto& [key, cfgPath, from] : steps) {
        const auto [folder, origin, hostPath] = lookUp(key, cfgPath);
        if (!from) {
            EXPECT_EQ(folder, "") << key;
            continue;
        }
        ASSERT_FALSE(folder.empty()) << key;
        EXPECT_EQ(origin, prefixNamed(from).string()) << key;
        EXPECT_TRUE(IsOrdinaryFile(hostPath)) << hostPath;
        EXPECT_EQ(hostPath.rfind(prefixNamed(from).string() + "/drive_c/", 0), 0u)
            << key << " mapped to " << hostPath;
        EXPECT_EQ(ReadBytes(hostPath), "seta name \"" + prefixNamed(from).string() + "\"\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WhichPrefixAnswers,
    testing::Values(
        Scenario{"CodInWineUoOnSteam", {CodInGames}, {}, {UoOnSteam}, nullptr, "wine", "uo"},
        Scenario{"BothOnSteam", {}, {CodOnSteam}, {UoOnSteam}, nullptr, "cod", "uo"},
        Scenario{"BothInWine", {CodInGames, UoInGames}, {}, {}, nullptr, "wine", "wine"},
        Scenario{
            "WineAskedBeforeSteam", {CodInGames}, {CodOnSteam}, {UoOnSteam}, nullptr, "wine", "uo"},
        Scenario{"OwnPrefixBeforeTheOtherGames",
                 {},
                 {CodOnSteam},
                 {CodOnSteam, UoOnSteam},
                 nullptr,
                 "cod",
                 "uo"},
        Scenario{"OnlyUoOnSteam", {}, {}, {UoOnSteam}, nullptr, nullptr, "uo"},
        Scenario{"KeysLeftInWineHideNothing",
                 {CodLeftBehind, UoLeftBehind},
                 {CodOnSteam},
                 {UoOnSteam},
                 nullptr,
                 "cod",
                 "uo"},
        Scenario{
            "KeyLeftInWineIsNoInstall", {CodLeftBehind}, {}, {UoOnSteam}, nullptr, nullptr, "uo"},
        Scenario{"NothingAnywhere", {}, {}, {}, nullptr, nullptr, nullptr},
        Scenario{"WineprefixHidesSteam",
                 {CodInGames},
                 {CodOnSteam},
                 {UoOnSteam},
                 "wine",
                 "wine",
                 nullptr},
        Scenario{"WineprefixNamesASteamPrefix",
                 {CodInGames},
                 {CodOnSteam},
                 {UoOnSteam},
                 "uo",
                 nullptr,
                 "uo"}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.label; });

TEST_F(FakeHome, BrokenLibraryFileLeavesWineAndTheRootsAlone) {
    makeRoot(nativeRoot());
    writeLibraryFolders(nativeRoot(), "\"libraryfolders\" { \"0\" { \"path\" \"");
    MakePrefix(wine(), {CodInGames});
    MakePrefix(prefixOf(nativeRoot(), SteamAppUnitedOffensive), {UoOnSteam});
    EXPECT_EQ(lookUp(CodKey, CodCfgPath).folder, CodInGames.windowsFolder);
    EXPECT_EQ(lookUp(UoKey, UoCfgPath).folder, UoOnSteam.windowsFolder);
    EXPECT_TRUE(IsOrdinaryFile(lookUp(UoKey, UoCfgPath).hostPath));
}

TEST_F(FakeHome, PathsFollowWineprefixOnceTheAnsweringPrefixNoLongerCounts) {
    makeRoot(nativeRoot());
    MakePrefix(prefixOf(nativeRoot(), SteamAppUnitedOffensive), {UoOnSteam});
    const fs::path chosen = home() / "chosen";
    MakePrefix(chosen, {UoInGames});
    ASSERT_FALSE(lookUp(UoKey, UoCfgPath).folder.empty());

    m_prefixEnv.set(chosen.string());
    const std::string mapped = lookUp(UoKey, UoCfgPath).hostPath;
    EXPECT_EQ(mapped.rfind(chosen.string() + "/", 0), 0u) << mapped;
}

TEST(WinePrefixesRegistry, KeysStayWithThePrefixThatAnsweredThem) {
    TempDir first, second;
    MakePrefix(first.path(), {CodInGames});
    MakePrefix(second.path(), {CodOnSteam, UoOnSteam});
    std::vector<std::string> prefixes{first.path().string(), second.path().string()};
    WinePrefixesRegistry registry([&] { return prefixes; });

    const RegLookup uo = LookUpRegValue(registry, RootKeyLocalMachine, UoKey, "InstallPath");
    EXPECT_EQ(uo.value, RegValue(UoOnSteam.windowsFolder));
    EXPECT_EQ(uo.origin, second.path().string());

    RegHandle cod = 0;
    ASSERT_EQ(registry.OpenKey(RootKeyLocalMachine, CodKey, cod), RegSuccess);
    prefixes = {second.path().string()};
    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(registry.QueryValueInfo(cod, "InstallPath", type, size), RegSuccess);
    EXPECT_EQ(size, CodInGames.windowsFolder.size() + 1) << "opened in the first prefix";
    EXPECT_EQ(registry.ValueOrigin(cod, "InstallPath"), first.path().string());
    EXPECT_EQ(registry.CloseKey(cod), RegSuccess);
    EXPECT_EQ(registry.CloseKey(cod), RegInvalidHandle);
    EXPECT_EQ(registry.QueryValueInfo(cod, "InstallPath", type, size), RegInvalidHandle);

    // A failed lookup has no origin; nor has a value no prefix holds.
    prefixes = {first.path().string(), second.path().string()};
    const RegLookup none =
        LookUpRegValue(registry, RootKeyLocalMachine, "Software\\Nothing", "InstallPath");
    EXPECT_EQ(none.value, RegValue(""s));
    EXPECT_EQ(none.origin, "");
    RegHandle key = 0;
    ASSERT_EQ(registry.OpenKey(RootKeyLocalMachine, CodKey, key), RegSuccess);
    std::uint32_t sizeOnly = 0;
    EXPECT_EQ(registry.ReadValueData(key, "InstallPath", nullptr, sizeOnly), RegSuccess);
    EXPECT_EQ(registry.ValueOrigin(key, "NoSuchValue"), "");
    EXPECT_EQ(registry.CloseKey(key), RegSuccess);
}

// A cycle looks up United Offensive, then Call of Duty: each registry file is read once for both
// and not again while it stays as it was.
TEST(WinePrefixesRegistry, ReadsEachRegistryOnceWhileItStaysAsItWas) {
    TempDir first, second, third;
    MakePrefix(first.path(), {CodInGames});
    MakePrefix(second.path(), {});
    MakePrefix(third.path(), {UoOnSteam});
    std::map<fs::path, int> reads;
    auto cache = std::make_shared<WineRegFileCache>(
        [&reads](const std::string& path, std::size_t maxBytes, const StampTaker& stamped,
                 const WholeTaker& look) {
            return LookAtWholeFile(path, maxBytes, stamped, [&](std::string_view bytes) {
                ++reads[fs::path(path).parent_path()];
                look(bytes);
            });
        });
    WinePrefixesRegistry registry(
        [&] {
            return std::vector{first.path().string(), second.path().string(),
                               third.path().string()};
        },
        cache);
    const auto cycle = [&registry] {
        return RegValueText(QueryRegValue(registry, RootKeyLocalMachine, UoKey, "InstallPath")) +
               "|" +
               RegValueText(QueryRegValue(registry, RootKeyLocalMachine, CodKey, "InstallPath"));
    };
    const std::string expected = UoOnSteam.windowsFolder + "|" + CodInGames.windowsFolder;

    EXPECT_EQ(cycle(), expected);
    std::map<fs::path, int> once{{first.path(), 1}, {second.path(), 1}, {third.path(), 1}};
    EXPECT_EQ(reads, once);
    EXPECT_EQ(cycle(), expected);
    EXPECT_EQ(reads, once);
    WriteBytes(second.path() / "system.reg", ReadBytes(third.path() / "system.reg"));
    EXPECT_EQ(cycle(), expected);
    ++once[second.path()];
    EXPECT_EQ(reads, once) << "a changed file is read again, and it alone";
}

TEST(WinePrefixesRegistry, NoPrefixHoldsTheKey) {
    TempDir empty;
    WinePrefixesRegistry none([] { return std::vector<std::string>(); });
    WinePrefixesRegistry missing([&] { return std::vector{(empty.path() / "none").string()}; });
    for (WinePrefixesRegistry* registry : {&none, &missing}) {
        RegHandle key = 0;
        EXPECT_EQ(registry->OpenKey(RootKeyLocalMachine, CodKey, key), RegFileNotFound);
        EXPECT_EQ(key, 0u);
    }
    EXPECT_EQ(LookUpRegValue(none, RootKeyLocalMachine, CodKey, "InstallPath").origin, "");
}

} // namespace
