// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Wine prefixes that Linux game launchers make, one per game or per "bottle", in none of the
// places Wine or Steam use. Each list holds every prefix once (a folder reached through links
// too counts once), in name order within a folder. A folder counts as a prefix when it holds
// system.reg and drive_c. A config that cannot be read or parsed, or names no prefix, a prefix that
// does not exist or is no prefix, a folder that cannot be listed or vanishes meanwhile: each is
// passed over without a word.

// The user's folders as launchers find them: $XDG_CONFIG_HOME and $XDG_DATA_HOME when they name
// an absolute path (a relative one is no folder, as the XDG rules say), else ~/.config and
// ~/.local/share.
struct UserFolders {
    std::filesystem::path home, config, data;
};
UserFolders UserFoldersFrom(const std::filesystem::path& home, const std::string& xdgConfigHome,
                            const std::string& xdgDataHome);

bool IsWinePrefix(const std::filesystem::path& folder);

// The prefix a Lutris game config names: the top-level game: prefix:, with a leading "~" taken
// for the home folder, as Lutris takes it. Nothing for a config that does not parse, names none,
// names one with a variable in it (what an installer script left unexpanded) or a relative one.
std::optional<std::filesystem::path> LutrisGamePrefix(std::string_view configText,
                                                      const std::filesystem::path& home);

// Lutris: the prefixes its game configs name (lutris/games/*.yml in the config and the data
// folder, then in the Flatpak's), then every prefix directly in ~/Games, where it installs games
// by default, found there also when its config names none.
std::vector<std::filesystem::path> LutrisPrefixes(const UserFolders& user);

// Bottles: every bottle in <data>/bottles/bottles, then in the Flatpak's, or in the folder its
// data.yml names as custom_bottles_path. A bottle made elsewhere is found through the
// placeholder.yml it leaves there.
std::vector<std::filesystem::path> BottlesPrefixes(const UserFolders& user);

// The prefixes a Heroic game settings file (GamesConfig/<app>.json) names: each game's
// winePrefix, with a leading "~" taken for the home folder as Heroic takes it; for a game Heroic
// runs with Proton (wineVersion.type "proton") the prefix is the pfx folder inside, where Proton
// keeps it. Nothing for a text that is no JSON object, nor for a winePrefix that is no text or no
// absolute path.
std::vector<std::filesystem::path> HeroicGamePrefixes(std::string_view jsonText,
                                                      const std::filesystem::path& home);

// Heroic: the prefixes its games' settings name (heroic/GamesConfig/*.json in the config folder,
// then in the Flatpak's), then every prefix in ~/Games/Heroic/Prefixes/default, where it makes one
// per game unless told otherwise (the pfx folder inside one made for Proton).
std::vector<std::filesystem::path> HeroicPrefixes(const UserFolders& user);

// PlayOnLinux: every prefix in ~/.PlayOnLinux/wineprefix.
std::vector<std::filesystem::path> PlayOnLinuxPrefixes(const std::filesystem::path& home);

// CrossOver: every bottle in ~/.cxoffice, a prefix with CrossOver's cxbottle.conf beside its
// registry.
std::vector<std::filesystem::path> CrossOverPrefixes(const std::filesystem::path& home);
