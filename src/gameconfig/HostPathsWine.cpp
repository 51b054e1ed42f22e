// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/HostPaths.h"
#include "wine/WinePrefix.h"
#include "wine/WinePrefixesRegistry.h"

// The game's files are in the prefix whose registry told where the game is installed.
std::string HostPathFor(const std::string& windowsPath) {
    return MapIntoPrefix(WinePlatformRegistry().prefixForPaths(), windowsPath);
}
