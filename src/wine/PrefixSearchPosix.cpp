// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostEnvironment.h"
#include "wine/LauncherPrefixes.h"
#include "wine/PrefixSearch.h"
#include "wine/SteamLibraries.h"
#include "wine/WinePrefix.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Adds `prefix` unless it is a folder that is there already (~/.wine may link to a launcher's
// prefix, a Lutris config may name a bottle). A prefix that does not exist counts as itself.
void AddOnce(std::vector<std::string>& prefixes, std::vector<FolderIdentity>& folders,
             const fs::path& prefix) {
    if (const std::optional<FolderIdentity> identity = IdentityOf(prefix)) {
        if (std::find(folders.begin(), folders.end(), *identity) != folders.end())
            return;
        folders.push_back(*identity);
    }
    prefixes.push_back(prefix.string());
}

} // namespace

std::vector<std::string> WinePrefixesToSearch() {
    if (std::string chosen = EnvOrEmpty("WINEPREFIX"); !chosen.empty())
        return {chosen};
    std::vector<std::string> prefixes;
    std::vector<FolderIdentity> folders;
    AddOnce(prefixes, folders, CurrentWinePrefix());
    // Without a home folder there is nowhere else to look (and no relative path is taken for one).
    const std::string home = HomeFolder();
    if (home.empty())
        return prefixes;
    const UserFolders user =
        UserFoldersFrom(home, EnvOrEmpty("XDG_CONFIG_HOME"), EnvOrEmpty("XDG_DATA_HOME"));
    for (const auto& found : {SteamPlayPrefixes(home), SteamShortcutPrefixes(home),
                              LutrisPrefixes(user), HeroicPrefixes(user), BottlesPrefixes(user),
                              PlayOnLinuxPrefixes(home), CrossOverPrefixes(home)})
        for (const fs::path& prefix : found)
            AddOnce(prefixes, folders, prefix);
    return prefixes;
}
