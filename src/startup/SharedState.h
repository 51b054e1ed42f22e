// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "namecode/NameCode.h"

#include <cstdint>
#include <string>

// Everything the run shares: one record, created empty at start and living for the whole run.
// Texts that come from the game's file (CfgContent, RawName, TagText) are its bytes, one byte per
// character; WindowTitle and CfgPath are in the host's 8-bit encoding (UTF-8 on Linux, the ANSI
// code page on Windows).
// Its fields are PascalCase, unlike other records': they are the names the windows' code is written
// against. CycleFailed and SavedLeftBeyondRange, added beside them, follow suit.
struct SharedState {
    bool QuitRequested = false; // a window was closed and the cycle must end
    bool CycleFailed = false;   // a cycle ended with an error message: the exit status says so
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

    // Where the last window stood, in twips. SavedLeft stops at the ends of its 16 bits; the
    // Left beyond them is in SavedLeftBeyondRange (see ui/WindowPosition.h).
    float SavedTop = 0;
    std::int16_t SavedLeft = 0;
    float SavedLeftBeyondRange = 0;
};

SharedState& Shared();
