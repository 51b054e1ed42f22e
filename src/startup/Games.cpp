// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Games.h"

#include "startup/SharedState.h"

void ChooseGame(const Game& game) {
    SharedState& state = Shared();
    state.CfgFileName = game.CfgFileName;
    state.GameRegKey = game.GameRegKey;
    state.GameSubDir = game.GameSubDir;
}

const Game* GameWithRegKey(std::string_view gameRegKey) {
    for (const Game* game : {&CallOfDuty, &UnitedOffensive}) {
        if (gameRegKey == game->GameRegKey)
            return game;
    }
    return nullptr;
}
