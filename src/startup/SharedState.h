#pragma once

#include "namecode/NameCode.h"

#include <cstdint>
#include <string>

// Everything the run shares: one record, created empty at start and living for the whole run.
// Texts that come from the game's file (CfgContent, RawName, TagText) are its bytes, one byte per
// character; WindowTitle and CfgPath are UTF-8.
struct SharedState {
    bool QuitRequested = false; // a window was closed and the cycle must end
    std::string WindowTitle;

    // The chosen game.
    std::string CfgFileName;
    std::string GameRegKey;
    std::string GameSubDir;

    std::string CfgPath; // the install folder, then the full path of the config file
    std::string CfgContent;

    // The name entry in CfgContent (1-based positions, 0 when not found) and its value.
    std::int32_t NamePos = 0;
    std::int32_t NameEnd = 0;
    std::string RawName;

    NameColorTable NameColors{};
    int NameLength = 0;
    std::string TagText;

    // Where the last window stood, in twips.
    float SavedTop = 0;
    std::int16_t SavedLeft = 0;
};

SharedState& Shared();
