// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RegistryApi.h"
#include "wine/WinePrefix.h"
#include "wine/WinePrefixesRegistry.h"

// Without a registry of its own, the program reads the registries of the Wine prefixes where
// Linux users have these games: the one they chose with $WINEPREFIX, else ~/.wine and the
// prefixes Steam Play made for the games.
WinePrefixesRegistry& WinePlatformRegistry() {
    static WinePrefixesRegistry registry(WinePrefixesToSearch);
    return registry;
}

RegistryApi& PlatformRegistry() {
    return WinePlatformRegistry();
}
