// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Games.h"

#include "startup/SharedState.h"

void ChooseGame(const Game& game) {
    SharedState& state = Shared();
    state.CfgFileName = game.CfgFileName;
    state.GameRegKey = game.GameRegKey;
    state.GameSubDir = game.GameSubDir;
}
