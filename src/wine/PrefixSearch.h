// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The Wine prefixes the games are looked up in where there is no registry of its own, in the
// order they are asked: only $WINEPREFIX when it is set and not empty (the user chose it); else
// ~/.wine, the Steam Play prefixes of the two games and of the user's non-Steam games
// (SteamLibraries.h), then the prefixes of Lutris, Heroic, Bottles, PlayOnLinux and CrossOver
// (LauncherPrefixes.h). Each prefix once, where it first comes
// up (links that lead to the same folder count once). Built where the program reads Wine prefixes:
// not on Windows.
std::vector<std::string> WinePrefixesToSearch();
