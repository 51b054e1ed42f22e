// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gameconfig/CfgFile.h"
#include "gameconfig/Game.h"
#include "platform/Failure.h"

#include <string>
#include <string_view>

// How a coloured name is saved, from the code the user typed to the config file on disk: the code
// (as the code box holds it, UTF-16) goes into the game's file as Windows-1250 text, in place of
// the value of the name entry `entry` of `content`, the file's text as it was read from `cfgPath`.
// Refused with the user's message, and nothing written, when the code holds a character the file
// cannot store, while the game's multiplayer program runs (it writes its config file when it quits
// and would put the old name back), and wherever SaveCfgFile refuses. On success `content` holds
// what was written.
MaybeFailure SaveNameCode(const Game& game, std::u16string_view code, const std::string& cfgPath,
                          std::string& content, const NameEntry& entry);
