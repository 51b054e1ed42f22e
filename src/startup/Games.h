// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gameconfig/Game.h"

// Makes `game` the one the cycle works on.
void ChooseGame(const Game& game);
