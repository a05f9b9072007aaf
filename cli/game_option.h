#pragma once

#include <CLI/CLI.hpp>

#include "cli/word_option.h"
#include "core/game.h"

namespace tolvane::cli {

// --game numbers3|numbers4: which game a command's history holds (Numbers 3 by default).
inline CLI::Option* AddGameOption(CLI::App& command, Game& game) {
  return AddWordOption(command, "--game", game, kGames,
                       "Game of the history: numbers3 (three digits, the default) or numbers4 "
                       "(four)");
}

}  // namespace tolvane::cli
