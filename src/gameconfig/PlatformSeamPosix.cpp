// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/PlatformSeam.h"
#include "wine/PrefixSearch.h"
#include "wine/WinePrefix.h"
#include "wine/WinePrefixesRegistry.h"

namespace {

// What the prefixes' registry files hold, read once while each file stays as it was.
const std::shared_ptr<WineRegFileCache>& RegFileCache() {
    static const auto cache = std::make_shared<WineRegFileCache>();
    return cache;
}

} // namespace

// Without a registry of its own, the program reads the registries of the Wine prefixes where
// Linux users have these games: the one they chose with $WINEPREFIX, else ~/.wine, the prefixes
// Steam Play made for the games and those of the game launchers.
RegistryApi& PlatformRegistry() {
    static WinePrefixesRegistry registry(WinePrefixesToSearch, RegFileCache());
    return registry;
}

void AskEachInstallRegistry(const std::function<bool(RegistryApi& registry)>& ask) {
    for (const std::string& prefix : WinePrefixesToSearch()) {
        WineRegistry registry(prefix, RegFileCache());
        if (ask(registry))
            return;
    }
}

// The game's files are in the prefix whose registry told where the game is installed.
std::string HostPathFor(const std::string& origin, const std::string& windowsPath) {
    return MapIntoPrefix(origin, windowsPath);
}
