#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/text_encodings.h"
#include "cli/bet_options.h"
#include "cli/output_format.h"
#include "cli/progress_bar.h"
#include "core/game.h"
#include "predict/prediction_options.h"

namespace tolvane::cli {

struct BacktestArguments {
  std::string history;
  std::vector<FilterKind> filters = {FilterKind::LowPass};
  std::vector<FrameMode> frames = {FrameMode::Head};
  std::optional<std::uint32_t> last;  // nullopt: every draw from the 16th on
  OutputFormat format = OutputFormat::Text;
  unsigned threads = 0;  // 0: one per hardware thread
  TextEncoding encoding = TextEncoding::kCp932;
  Game game = Game::kNumbers3;
  BetArguments bet;
};

// Adds `backtest` to the parser; the options are written into `args` as they are parsed.
CLI::App* AddBacktestCommand(CLI::App& app, BacktestArguments& args);

// Replays the history for every filter and frame asked for and prints how often each ranking
// would have hit, against chance. Progress goes to the terminal's bar and to `observer`, the
// replay of the tickets filling the second half. Returns the exit status.
int RunBacktest(const BacktestArguments& args, const ProgressObserver& observer = {});

}  // namespace tolvane::cli
