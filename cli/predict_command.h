#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "cli/bet_options.h"
#include "cli/output_format.h"
#include "core/game.h"
#include "core/text_decoder.h"
#include "predict/prediction_options.h"

namespace tolvane::cli {

struct PredictArguments {
  std::string history;               // "-": standard input
  std::optional<std::string> round;  // none: the one after the highest round in the history
  FilterKind filter = FilterKind::LowPass;
  FrameMode frame = FrameMode::Head;
  TextEncoding encoding = TextEncoding::kCp932;
  Game game = Game::kNumbers3;
  OutputFormat format = OutputFormat::Text;
  BetArguments bet;
  std::string logPath;
};

// Adds `predict` to the parser; the options are written into `args` as they are parsed.
CLI::App* AddPredictCommand(CLI::App& app, PredictArguments& args);

// Runs the window's prediction command and prints its result, or says why there is none.
// Returns the exit status.
int RunPredict(const PredictArguments& args);

}  // namespace tolvane::cli
