// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two games the program knows.
struct Game {
    const char* CfgFileName;
    const char* GameRegKey;
    const char* GameSubDir; // appended to the install folder unchanged
};

inline constexpr Game CallOfDuty{"config_mp.cfg", "Software\\Activision\\Call of Duty", "\\Main\\"};
inline constexpr Game UnitedOffensive{
    "uoconfig_mp.cfg", "Software\\Activision\\Call of Duty United Offensive", "\\UO\\"};

inline constexpr const char* InstallPathValue = "InstallPath";

// Makes `game` the one the cycle works on.
void ChooseGame(const Game& game);
