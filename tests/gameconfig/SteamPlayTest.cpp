// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/CfgLocation.h"
#include "gameconfig/PlatformSeam.h"
#include "gameconfig/Registry.h"
#include "platform/HostFiles.h"
#include "support/FileSystemUser.h"
#include "support/TestPrefix.h"
#include "wine/LauncherPrefixes.h"
#include "wine/PrefixSearch.h"
#include "wine/SteamLibraries.h"
#include "wine/WinePrefix.h"
#include "wine/WinePrefixesRegistry.h"
#include "wine/WineRegFileCache.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
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
    std::string cfgPath;       // below the folder, e.g. "\Main\config_mp.cfg"; "" for none
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
        if (game.cfgPath.empty())
            continue;
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

// A user's shortcuts.vdf listing non-Steam games with these app ids, as Steam writes it.
std::string ShortcutsVdf(const std::vector<std::uint32_t>& appIds) {
    std::string bytes = "\0shortcuts\0"s;
    for (std::size_t i = 0; i < appIds.size(); ++i) {
        bytes += "\0"s + std::to_string(i) +
                 "\0\x02"
                 "appid\0"s;
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>(appIds[i] >> shift & 0xFF);
        bytes += "\x01"
                 "AppName\0CoDMP\0\x00tags\0\x08\x08"s;
    }
    return bytes + "\x08\x08";
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

    static fs::path prefixOf(const fs::path& library, std::uint32_t app) {
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

    // The install folder the lookup gives for `key`, and the host path of the config file.
    struct Found {
        std::string folder, hostPath;
    };
    Found lookUp(const std::string& key, const std::string& cfgPath) const {
        const CfgLocation found = FindCfgFile(key, cfgPath);
        return {found.installFolder, found.path};
    }

    TempDir m_home;
    TempDir m_other;
    ScopedEnv m_homeEnv{"HOME", fs::canonical(m_home.path()).string()};
    ScopedEnv m_prefixEnv{"WINEPREFIX", std::nullopt};
    ScopedEnv m_configEnv{"XDG_CONFIG_HOME", std::nullopt};
    ScopedEnv m_dataEnv{"XDG_DATA_HOME", std::nullopt};
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
    // Each launcher's prefix after Steam's, once: the Lutris config names a bottle.
    const fs::path bottle = home() / ".local/share/bottles/bottles/B";
    const fs::path pol = home() / ".PlayOnLinux/wineprefix/P";
    MakePrefix(bottle, {});
    MakePrefix(pol, {});
    WriteBytes(home() / ".config/lutris/games/b.yml", "game:\n  prefix: " + bottle.string());
    const std::vector all{wine().string(), steamPrefix, bottle.string(), pol.string()};

    EXPECT_EQ(WinePrefixesToSearch(), all);
    m_prefixEnv.set("");
    EXPECT_EQ(WinePrefixesToSearch(), all) << "an empty $WINEPREFIX is no choice";
    m_prefixEnv.set("/opt/prefix");
    EXPECT_EQ(WinePrefixesToSearch(), std::vector{"/opt/prefix"s});
}

TEST_F(FakeHome, LutrisConfigsNameTheirPrefixesAndGamesHoldsMore) {
    const fs::path named = elsewhere("sc"), tilde = home() / "wine/cod", scriptOnly = home() / "s",
                   inGames = home() / "Games/uo", below = home() / "Games/quake/prefix";
    for (const fs::path& prefix : {named, tilde, scriptOnly, inGames, below})
        MakePrefix(prefix, {});
    fs::create_directories(home() / "Games/not-a-prefix/drive_c");
    const fs::path config = home() / ".config/lutris/games",
                   data = home() / ".local/share/lutris/games";
    const fs::path flatpak = home() / ".var/app/net.lutris.Lutris";
    const std::pair<fs::path, std::string> files[] = {
        {config / "sc-1.yml", "game:\n  exe: /sc.exe\n  prefix: " + named.string() + "\n"},
        {data / "cod-2.yml",
         "game:\n  prefix: ~/wine/cod\nscript:\n  game:\n    prefix: $GAMEDIR\n"},
        {data / "script-3.yml", "script:\n  game:\n    prefix: " + scriptOnly.string() + "\n"},
        {data / "relative-4.yml", "game:\n  prefix: Games/uo\n"},
        {data / "variable-5.yml", "game:\n  prefix: $HOME/Games/uo\n"},
        {data / "notes.txt", "game:\n  prefix: " + scriptOnly.string() + "\n"},
        {flatpak / "config/lutris/games/broken-6.yml", "game: {prefix: [" + scriptOnly.string()},
        {flatpak / "data/lutris/games/quake-7.yml", "game:\n  prefix: " + below.string() + "\n"},
    };
    for (const auto& [file, text] : files)
        WriteBytes(file, text);
    EXPECT_EQ(LutrisPrefixes(UserFoldersFrom(home(), "", "")),
              (std::vector{named, tilde, below, inGames}));
    EXPECT_EQ(LutrisPrefixes(UserFoldersFrom(home(), "/nowhere", "relative")),
              (std::vector{tilde, below, inGames}));
}

TEST_F(FakeHome, BottlesAreFoundWhereverDataAndPlaceholdersPutThem) {
    const fs::path bottles = home() / ".local/share/bottles/bottles";
    const fs::path flatpak = home() / ".var/app/com.usebottles.bottles/data/bottles/bottles/UO";
    const fs::path custom = elsewhere("custom/CoD");
    for (const fs::path& prefix : {bottles / "Games", flatpak, custom})
        MakePrefix(prefix, {});
    fs::create_directories(bottles / "Empty");
    WriteBytes(bottles / "CoD/placeholder.yml", "Path: " + (custom / "bottle.yml").string() + "\n");
    const UserFolders user = UserFoldersFrom(home(), "", "");
    EXPECT_EQ(BottlesPrefixes(user), (std::vector{custom, bottles / "Games", flatpak}));

    MakePrefix(elsewhere("moved/One"), {});
    WriteBytes(bottles.parent_path() / "data.yml",
               "custom_bottles_path: " + elsewhere("moved").string() + "\n");
    EXPECT_EQ(BottlesPrefixes(user), (std::vector{elsewhere("moved/One"), flatpak}));
}

TEST_F(FakeHome, HeroicSettingsNameEachGamesPrefix) {
    const std::string wine = R"("wineVersion": {"type": "wine", "bin": "/usr/bin/wine"})";
    const std::string proton = R"("wineVersion": {"type": "proton"})";
    const struct {
        std::string json;
        std::vector<fs::path> expected;
    } cases[] = {
        {R"({"cod": {"winePrefix": "/p/cod", )" + wine + R"(}, "version": "v0", "explicit": true})",
         {"/p/cod"}},
        {R"({"cod": {"winePrefix": "~/Games/Heroic/Prefixes/default/CoD", )" + proton + "}}",
         {home() / "Games/Heroic/Prefixes/default/CoD/pfx"}},
        {R"({"a": {"winePrefix": "/p/a"}, "b": {"winePrefix": "/p/b", "wineVersion": 7}})",
         {"/p/a", "/p/b"}},
        {R"({"a": {"winePrefix": 42}, "b": {"winePrefix": "relative"}, "c": ["/p/c"]})", {}},
        {R"({"a": {"winePrefix": "/p/a", "wineVersion": {"type": ["proton"]}}})", {"/p/a"}},
        {R"(["/p/a"])", {}},
        {R"({"a": {"winePrefix": "/p/a")", {}},
        {std::string(100000, '[') + std::string(100000, ']'), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HeroicGamePrefixes(c.json, home()), c.expected) << c.json;
}

// Loops, pipes, files too large, unreadable or nested beyond reason, links out of the home: each
// is passed over, and nothing blocks.
TEST_F(FakeHome, HostileLauncherFilesArePassedOver) {
    const fs::path games = home() / ".local/share/lutris/games",
                   pol = home() / ".PlayOnLinux/wineprefix";
    const fs::path outside = elsewhere("out"), hidden = elsewhere("hidden");
    MakePrefix(outside, {});
    MakePrefix(hidden, {});
    fs::create_directories(games);
    fs::create_directories(pol);
    const std::string namesHidden = "game:\n  prefix: " + hidden.string() + "\n";
    WriteBytes(games / "ok.yml", "game:\n  prefix: " + outside.string() + "\n");
    fs::create_symlink("loop.yml", games / "loop.yml");
    ASSERT_EQ(::mkfifo((games / "pipe.yml").c_str(), 0600), 0);
    WriteBytes(games / "huge.yml", namesHidden + "#" + std::string(2 << 20, 'x') + "\n");
    WriteBytes(games / "deep.yml", namesHidden + "x: " + std::string(100000, '[') + "\n");
    WriteBytes(games / "secret.yml", namesHidden);
    fs::permissions(games / "secret.yml", fs::perms::none);
    fs::create_directory_symlink(pol / "loop", pol / "loop");
    fs::create_directory_symlink(outside, pol / "link-out");

    const fs::path heroic = home() / ".config/heroic/GamesConfig", bottles = home() / ".cxoffice";
    const std::string heroicNamesHidden = R"({"a": {"winePrefix": ")" + hidden.string() + "\"}}";
    WriteBytes(heroic / "ok.json", R"({"a": {"winePrefix": ")" + outside.string() + "\"}}");
    WriteBytes(heroic / "huge.json", heroicNamesHidden + std::string(2 << 20, ' '));
    WriteBytes(heroic / "secret.json", heroicNamesHidden);
    fs::permissions(heroic / "secret.json", fs::perms::none);
    fs::create_symlink("loop.json", heroic / "loop.json");
    WriteBytes(outside / "cxbottle.conf", "");
    fs::create_directories(bottles);
    fs::create_directory_symlink(outside, bottles / "link-out");
    fs::create_directory_symlink(bottles / "loop", bottles / "loop");

    // Non-Steam games whose files are broken: each names the one prefix there is.
    const std::uint32_t appId = 0x80000001;
    makeRoot(nativeRoot());
    MakePrefix(nativeRoot() / "steamapps/compatdata" / std::to_string(appId) / "pfx", {});
    const fs::path users = nativeRoot() / "userdata";
    WriteBytes(users / "1/config/shortcuts.vdf", ShortcutsVdf({appId}).substr(0, 30));
    WriteBytes(users / "2/config/shortcuts.vdf", ShortcutsVdf({appId}) + "\x08");
    fs::create_directories(users / "3/config");
    fs::create_symlink("shortcuts.vdf", users / "3/config/shortcuts.vdf");
    WriteBytes(users / "4/config/shortcuts.vdf", ShortcutsVdf({appId}));
    fs::permissions(users / "4/config/shortcuts.vdf", fs::perms::none);

    FileSystemUser user; // so that permissions count for root too
    ASSERT_EQ(user.whyNot(), "");
    const UserFolders folders = UserFoldersFrom(home(), "", "");
    EXPECT_EQ(LutrisPrefixes(folders), std::vector{outside});
    EXPECT_EQ(PlayOnLinuxPrefixes(home()), std::vector{pol / "link-out"});
    EXPECT_EQ(HeroicPrefixes(folders), std::vector{outside});
    EXPECT_EQ(CrossOverPrefixes(home()), std::vector{bottles / "link-out"});
    EXPECT_TRUE(SteamShortcutPrefixes(home()).empty());
}

// Where each game is installed, and where the lookup must find each one.
struct Scenario {
    const char* label;
    std::vector<GameInstall> inWine = {}, inCodPrefix = {}, inUoPrefix = {};
    const char* winePrefix = nullptr; // the prefix $WINEPREFIX names, or nullptr to leave it unset
    const char* codFrom = nullptr;    // the prefix that answers, or nullptr for none
    const char* uoFrom = nullptr;
    std::vector<GameInstall> inLutris = {}, inBottle = {}, inPlayOnLinux = {};
    std::vector<GameInstall> inShortcut = {}, inHeroic = {}, inCrossOver = {};
};

const GameInstall CodInGames{CodKey, "C:\\Games\\Call of Duty", CodCfgPath};
const GameInstall UoInGames{UoKey, "C:\\Games\\Call of Duty", UoCfgPath};
const GameInstall CodOnSteam{
    CodKey, "C:\\Program Files (x86)\\Steam\\steamapps\\common\\Call of Duty", CodCfgPath};
const GameInstall CodLeftBehind{CodKey, "", CodCfgPath};
const GameInstall CodWithoutCfg{CodKey, "C:\\Games\\Call of Duty", ""};
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
        if (which == "lutris") // named by its game config only
            return elsewhere("lutris-prefix");
        if (which == "bottle")
            return home() / ".local/share/bottles/bottles/Games";
        if (which == "pol")
            return home() / ".PlayOnLinux/wineprefix/CoD";
        if (which == "shortcut") // a disc copy added to Steam, in its installation's own library
            return prefixOf(nativeRoot(), ShortcutAppId);
        if (which == "heroic") // run with Proton, which keeps the prefix in pfx
            return elsewhere("heroic-prefix/pfx");
        if (which == "crossover")
            return home() / ".cxoffice/CoD";
        return prefixOf(m_library, which == "cod" ? SteamAppCallOfDuty : SteamAppUnitedOffensive);
    }

    static constexpr std::uint32_t ShortcutAppId = 0x80000000u | 1234567u;
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
    MakePrefix(prefixNamed("lutris"), s.inLutris);
    MakePrefix(prefixNamed("bottle"), s.inBottle);
    MakePrefix(prefixNamed("pol"), s.inPlayOnLinux);
    MakePrefix(prefixNamed("shortcut"), s.inShortcut);
    MakePrefix(prefixNamed("heroic"), s.inHeroic);
    MakePrefix(prefixNamed("crossover"), s.inCrossOver);
    WriteBytes(prefixNamed("crossover") / "cxbottle.conf", "[Bottle]\n");
    WriteBytes(home() / ".local/share/lutris/games/cod-1.yml",
               "game:\n  prefix: " + prefixNamed("lutris").string() + "\n");
    WriteBytes(nativeRoot() / "userdata/12345/config/shortcuts.vdf", ShortcutsVdf({ShortcutAppId}));
    WriteBytes(home() / ".config/heroic/GamesConfig/CoD.json",
               R"({"CoD": {"winePrefix": ")" + elsewhere("heroic-prefix").string() +
                   R"(", "wineVersion": {"type": "proton"}}, "version": "v0"})");
    if (s.winePrefix)
        m_prefixEnv.set(prefixNamed(s.winePrefix).string());

    // The order of Main: United Offensive first, then the chosen game right before its path.
    const std::tuple<std::string, std::string, const char*> steps[] = {
        {UoKey, UoCfgPath, s.uoFrom},
        {CodKey, CodCfgPath, s.codFrom},
        {UoKey, UoCfgPath, s.uoFrom}};
    for (const auto& [key, cfgPath, from] : steps) {
        const auto [folder, hostPath] = lookUp(key, cfgPath);
        if (!from) {
            EXPECT_EQ(folder, "") << key;
            continue;
        }
        ASSERT_FALSE(folder.empty()) << key;
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
        Scenario{.label = "LaunchersAfterSteam",
                 .inCodPrefix = {CodOnSteam},
                 .codFrom = "cod",
                 .uoFrom = "lutris",
                 .inLutris = {CodInGames, UoInGames}},
        Scenario{.label = "LutrisBeforeBottles",
                 .codFrom = "lutris",
                 .uoFrom = "bottle",
                 .inLutris = {CodInGames},
                 .inBottle = {CodInGames, UoInGames}},
        Scenario{.label = "BottlesBeforePlayOnLinux",
                 .codFrom = "pol",
                 .uoFrom = "bottle",
                 .inBottle = {UoInGames},
                 .inPlayOnLinux = {CodInGames, UoInGames}},
        Scenario{.label = "WineprefixNamesABottle",
                 .winePrefix = "bottle",
                 .codFrom = "bottle",
                 .inLutris = {CodInGames, UoInGames},
                 .inBottle = {CodInGames}},
        Scenario{.label = "ShortcutsAfterTheSteamRelease",
                 .inUoPrefix = {UoOnSteam},
                 .codFrom = "shortcut",
                 .uoFrom = "uo",
                 .inLutris = {CodInGames},
                 .inShortcut = {CodInGames, UoInGames}},
        Scenario{.label = "LutrisBeforeHeroicBeforeBottles",
                 .codFrom = "lutris",
                 .uoFrom = "heroic",
                 .inLutris = {CodInGames},
                 .inBottle = {UoInGames},
                 .inHeroic = {CodInGames, UoInGames}},
        Scenario{.label = "CrossOverLast",
                 .codFrom = "pol",
                 .uoFrom = "crossover",
                 .inPlayOnLinux = {CodInGames},
                 .inCrossOver = {CodInGames, UoInGames}},
        Scenario{.label = "StaleEntriesHideNothing",
                 .inWine = {CodWithoutCfg},
                 .codFrom = "crossover",
                 .inLutris = {CodWithoutCfg},
                 .inCrossOver = {CodInGames}},
        Scenario{"WineprefixNamesASteamPrefix",
                 {CodInGames},
                 {CodOnSteam},
                 {UoOnSteam},
                 "uo",
                 nullptr,
                 "uo"}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.label; });

TEST_F(FakeHome, WithTheFileNowhereTheFirstPlaceIsNamed) {
    makeRoot(nativeRoot());
    MakePrefix(wine(), {CodWithoutCfg});
    MakePrefix(prefixOf(nativeRoot(), SteamAppCallOfDuty), {CodWithoutCfg});
    const Found found = lookUp(CodKey, CodCfgPath);
    EXPECT_EQ(found.folder, CodWithoutCfg.windowsFolder);
    EXPECT_EQ(found.hostPath, (wine() / "drive_c/Games/Call of Duty/Main/config_mp.cfg").string());
}

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
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, CodKey, cod), RegSuccess);
    prefixes = {second.path().string()};
    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(registry.queryValueInfo(cod, "InstallPath", type, size), RegSuccess);
    EXPECT_EQ(size, CodInGames.windowsFolder.size() + 1) << "opened in the first prefix";
    EXPECT_EQ(registry.valueOrigin(cod, "InstallPath"), first.path().string());
    EXPECT_EQ(registry.closeKey(cod), RegSuccess);
    EXPECT_EQ(registry.closeKey(cod), RegInvalidHandle);
    EXPECT_EQ(registry.queryValueInfo(cod, "InstallPath", type, size), RegInvalidHandle);

    // A failed lookup has no origin; nor has a value no prefix holds.
    prefixes = {first.path().string(), second.path().string()};
    const RegLookup none =
        LookUpRegValue(registry, RootKeyLocalMachine, "Software\\Nothing", "InstallPath");
    EXPECT_EQ(none.value, RegValue(""s));
    EXPECT_EQ(none.origin, "");
    RegHandle key = 0;
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, CodKey, key), RegSuccess);
    std::uint32_t sizeOnly = 0;
    EXPECT_EQ(registry.readValueData(key, "InstallPath", nullptr, sizeOnly), RegSuccess);
    EXPECT_EQ(registry.valueOrigin(key, "NoSuchValue"), "");
    EXPECT_EQ(registry.closeKey(key), RegSuccess);
}

// A cycle looks up United Offensive, then Call of Duty: each registry file is read once for both
// (searched for the games' parent key, and read whole only when it names it) and not again while
// it stays as it was.
TEST(WinePrefixesRegistry, ReadsEachRegistryOnceWhileItStaysAsItWas) {
    TempDir first, second, third;
    MakePrefix(first.path(), {CodInGames});
    MakePrefix(second.path(), {});
    MakePrefix(third.path(), {UoOnSteam});
    std::map<fs::path, int> reads;
    auto cache = std::make_shared<WineRegFileCache>(
        [&reads](const std::string& path, std::size_t maxBytes, const StampTaker& stamped,
                 const ChunkTaker& take) {
            return ReadInChunks(
                path, maxBytes,
                [&](const FileStamp& stamp) {
                    const bool wanted = stamped(stamp);
                    reads[fs::path(path).parent_path()] += wanted;
                    return wanted;
                },
                take);
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
    std::map<fs::path, int> once{{first.path(), 2}, {second.path(), 1}, {third.path(), 2}};
    EXPECT_EQ(reads, once);
    EXPECT_EQ(cycle(), expected);
    EXPECT_EQ(reads, once);
    WriteBytes(second.path() / "system.reg", ReadBytes(third.path() / "system.reg"));
    EXPECT_EQ(cycle(), expected);
    once[second.path()] += 2;
    EXPECT_EQ(reads, once) << "a changed file is read again, and it alone";
}

TEST(WinePrefixesRegistry, NoPrefixHoldsTheKey) {
    TempDir empty;
    WinePrefixesRegistry none([] { return std::vector<std::string>(); });
    WinePrefixesRegistry missing([&] { return std::vector{(empty.path() / "none").string()}; });
    for (WinePrefixesRegistry* registry : {&none, &missing}) {
        RegHandle key = 0;
        EXPECT_EQ(registry->openKey(RootKeyLocalMachine, CodKey, key), RegFileNotFound);
        EXPECT_EQ(key, 0u);
    }
    EXPECT_EQ(LookUpRegValue(none, RootKeyLocalMachine, CodKey, "InstallPath").origin, "");
}

} // namespace
