// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/Game.h"

const Game* GameWithRegKey(std::string_view gameRegKey) {
    for (const Game* game : {&CallOfDuty, &UnitedOffensive}) {
        if (gameRegKey == game->GameRegKey)
            return game;
    }
    return nullptr;
}
