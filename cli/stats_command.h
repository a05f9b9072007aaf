#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

#include "app/text_encodings.h"
#include "cli/output_format.h"
#include "core/game.h"

namespace tolvane::cli {

struct StatsArguments {
  std::string history;
  std::optional<std::uint32_t> last;  // nullopt: every draw
  OutputFormat format = OutputFormat::Text;
  TextEncoding encoding = TextEncoding::kCp932;
  Game game = Game::kNumbers3;
};

// Adds `stats` to the parser; the options are written into `args` as they are parsed.
CLI::App* AddStatsCommand(CLI::App& app, StatsArguments& args);

// Loads the history, computes the digit statistics and prints them, or says why there are none.
// Returns the exit status.
int RunStats(const StatsArguments& args);

}  // namespace tolvane::cli
