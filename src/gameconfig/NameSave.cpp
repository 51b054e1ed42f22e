// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/NameSave.h"

#include "gameconfig/Cp1250Text.h"
#include "platform/RunningPrograms.h"

#include <optional>

MaybeFailure SaveNameCode(const Game& game, std::u16string_view code, const std::string& cfgPath,
                          std::string& content, const NameEntry& entry) {
    const std::optional<std::string> tag = Utf16ToCp1250(code);
    if (!tag)
        return Failure{"The code holds characters that the CFG file cannot store."};
    if (RunsProgram(RunningCommandLines(), game.multiplayerProgram))
        return Failure{std::string(game.displayName) +
                       " is running. It writes its config file when it quits and would put the old "
                       "name back: quit the game, then click Save to CFG again."};
    return SaveCfgFile(cfgPath, content, entry, *tag);
}
