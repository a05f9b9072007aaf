#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "predict/prediction_options.h"

namespace tolvane::cli {

struct PredictArguments {
  std::string history;
  std::string round = "1";
  FilterKind filter = FilterKind::LowPass;
  FrameMode frame = FrameMode::Head;
  std::string logPath;
};

// Adds `predict` to the parser; the options are written into `args` as they are parsed.
CLI::App* AddPredictCommand(CLI::App& app, PredictArguments& args);

// Runs the window's prediction command and prints its result, or says why there is none.
// Returns the exit status.
int RunPredict(const PredictArguments& args);

}  // namespace tolvane::cli
