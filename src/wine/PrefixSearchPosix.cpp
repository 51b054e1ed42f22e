// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostEnvironment.h"
#include "wine/FolderEntries.h"
#include "wine/LauncherPrefixes.h"
#include "wine/PrefixSearch.h"
#include "wine/SteamLibraries.h"
#include "wine/WinePrefix.h"

#include <filesystem>

namespace fs = std::filesystem;

std::vector<std::string> WinePrefixesToSearch() {
    if (std::string chosen = EnvOrEmpty("WINEPREFIX"); !chosen.empty())
        return {chosen};
    // Without a home folder there is nowhere else to look (and no relative path is taken for one).
    const std::string home = HomeFolder();
    if (home.empty())
        return {CurrentWinePrefix()};
    FoundFolders prefixes;
    prefixes.add(CurrentWinePrefix());
    const UserFolders user =
        UserFoldersFrom(home, EnvOrEmpty("XDG_CONFIG_HOME"), EnvOrEmpty("XDG_DATA_HOME"));
    for (const auto& found : {SteamPlayPrefixes(home), SteamShortcutPrefixes(home),
                              LutrisPrefixes(user), HeroicPrefixes(user), BottlesPrefixes(user),
                              PlayOnLinuxPrefixes(home), CrossOverPrefixes(home)})
        for (const fs::path& prefix : found)
            prefixes.add(prefix);
    std::vector<std::string> asked;
    for (const fs::path& prefix : prefixes.paths())
        asked.push_back(prefix.string());
    return asked;
}
