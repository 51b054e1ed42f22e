// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// The two games the program knows. The first three fields fill the shared-state fields of the same
// names.
struct Game {
    const char* CfgFileName;
    const char* GameRegKey;
    const char* GameSubDir;         // appended to the install folder unchanged
    const char* displayName;        // as messages name the game
    const char* multiplayerProgram; // the program that plays online and writes the config file
};

inline constexpr Game CallOfDuty{"config_mp.cfg", "Software\\Activision\\Call of Duty", "\\Main\\",
                                 "Call of Duty", "CoDMP.exe"};
inline constexpr Game UnitedOffensive{"uoconfig_mp.cfg",
                                      "Software\\Activision\\Call of Duty United Offensive",
                                      "\\UO\\", "Call of Duty United Offensive", "CoDUOMP.exe"};

inline constexpr const char* InstallPathValue = "InstallPath";

// The game whose registry key is `gameRegKey`, or null when it is neither.
const Game* GameWithRegKey(std::string_view gameRegKey);
