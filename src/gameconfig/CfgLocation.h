// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Where a game's config file is, as the registry places it.
struct CfgLocation {
    std::string installFolder; // the game's InstallPath; empty when no place names the game
    std::string path;          // the config file's host path (HostPathFor); empty with it
};

// Asks each place the game may be installed in (AskEachInstallRegistry, in order) for the
// InstallPath under `gameRegKey`, and gives the config file `fileBelowFolder` (such as
// "\Main\config_mp.cfg") below that folder, from the first place where the file exists. A place
// whose registry names the game but holds no such file (a prefix left behind when the player
// moved the game elsewhere) does not hide a later place that holds it; when no place holds it,
// the first place's path stands, for the message to name.
CfgLocation FindCfgFile(const std::string& gameRegKey, const std::string& fileBelowFolder);
