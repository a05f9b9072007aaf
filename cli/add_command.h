#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "app/text_encodings.h"
#include "core/game.h"

namespace tolvane::cli {

struct AddArguments {
  std::string history;
  std::string number;  // as typed: ASCII or full-width digits
  std::optional<std::string> round;
  std::optional<std::string> date;
  std::optional<std::string> payouts;  // "S,B,SS,SB[,M]"
  TextEncoding encoding = TextEncoding::kCp932;
  Game game = Game::kNumbers3;
};

// Adds `add` to the parser; the options are written into `args` as they are parsed.
CLI::App* AddAddCommand(CLI::App& app, AddArguments& args);

// Adds one draw at the end of an oldest-first history, every byte already there kept, and ends
// standard error with a line saying what it added; or says why it cannot. Returns the exit
// status.
int RunAdd(const AddArguments& args);

}  // namespace tolvane::cli
