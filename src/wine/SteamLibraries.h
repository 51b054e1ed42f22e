// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Steam Play runs each Windows game in a Wine prefix of its own, made by Proton:
// <library>/steamapps/compatdata/<app id>/pfx. A library is a Steam installation's own folder or
// any further folder it keeps games in. A game the user added to Steam from elsewhere (a "non-Steam
// game", such as a copy from the game's disc) gets an app id of its own too, made by Steam.

inline constexpr int SteamAppCallOfDuty = 2620;
inline constexpr int SteamAppUnitedOffensive = 2640;

// The library folders a steamapps/libraryfolders.vdf names, as written: newer files give a
// "path" inside numbered blocks, older ones give the path as the value of a numbered key. A
// broken file names none.
std::vector<std::string> LibraryFoldersIn(std::string_view vdfText);

// The Steam installations under `home` (native, Flatpak, Snap) that exist, each once however
// many links lead to it, as canonical paths.
std::vector<std::filesystem::path> SteamRoots(const std::filesystem::path& home);

// Every library of those installations that exists: each root, then the libraries its
// libraryfolders.vdf lists; each once, as canonical paths.
std::vector<std::filesystem::path> SteamLibraries(const std::filesystem::path& home);

// The Steam Play prefixes of the two games that exist in those libraries: Call of Duty's in
// every library first, then United Offensive's, so that each game's own prefix is asked before
// the other game's.
std::vector<std::filesystem::path> SteamPlayPrefixes(const std::filesystem::path& home);

// The app ids of the non-Steam games a user's shortcuts.vdf (Steam's binary VDF) lists, as
// decimal digits, in the file's order. A broken file lists none.
std::vector<std::string> ShortcutAppIdsIn(std::string_view vdfBytes);

// The Steam Play prefixes of the non-Steam games of every Steam user of those installations
// (<installation>/userdata/<user id>/config/shortcuts.vdf), in every library where they exist;
// each once. No other prefix of a library is looked at.
std::vector<std::filesystem::path> SteamShortcutPrefixes(const std::filesystem::path& home);
