// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/CfgLocation.h"

#include "gameconfig/Game.h"
#include "gameconfig/PlatformSeam.h"
#include "gameconfig/Registry.h"
#include "platform/HostFiles.h"

#include <optional>

CfgLocation FindCfgFile(const std::string& gameRegKey, const std::string& fileBelowFolder) {
    std::optional<CfgLocation> first;
    std::optional<CfgLocation> found;
    AskEachInstallRegistry([&](RegistryApi& registry) {
        const RegLookup install =
            LookUpRegValue(registry, RootKeyLocalMachine, gameRegKey, InstallPathValue);
        const std::string folder = RegValueText(install.value);
        if (folder.empty())
            return false;
        // The sub-folder is appended unchanged: a folder ending in "\" gives "\\Main\".
        CfgLocation location{folder, HostPathFor(install.origin, folder + fileBelowFolder)};
        if (IsOrdinaryFile(location.path))
            found = std::move(location);
        else if (!first)
            first = std::move(location);
        return found.has_value();
    });
    return found ? *found : first.value_or(CfgLocation{});
}
