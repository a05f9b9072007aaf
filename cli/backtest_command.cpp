#include "cli/backtest_command.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <optional>

#include "cli/backtest_report.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "cli/game_option.h"
#include "cli/history_argument.h"
#include "cli/last_option.h"
#include "cli/progress_bar.h"
#include "cli/word_list_option.h"
#include "cli/word_option.h"
#include "evaluate/evaluation.h"
#include "evaluate/money_replay.h"

namespace tolvane::cli {

CLI::App* AddBacktestCommand(CLI::App& app, BacktestArguments& args) {
  CLI::App* backtest = app.add_subcommand(
      "backtest",
      "Rank every past draw from the draws before it and count how often the digit drawn was "
      "ranked near the top, against chance");
  AddHistoryArgument(*backtest, args.history);
  AddEncodingOption(*backtest, args.encoding);
  AddGameOption(*backtest, args.game);
  AddWordListOption(*backtest, "--filter", args.filters, kFilterKinds, "Filters to replay");
  AddWordListOption(*backtest, "--frame", args.frames, kFrameModes,
                    "Frames to replay with each filter but none");
  AddLastOption(*backtest, args.last,
                "Replay only the last N draws (default: every draw from the 16th on)");
  AddFormatOption(*backtest, args.format,
                  "text: a table to read; json: every count and p-value; csv: every draw's ranks");
  backtest
      ->add_option("--threads", args.threads,
                   "Worker threads; 0: one per processor (the results never depend on it)")
      ->type_name("N")
      ->check(CLI::Range(0U, kMaxEvaluationThreads))
      ->capture_default_str();
  AddBetOptions(*backtest, args.bet);
  backtest->final_callback([&args] {
    if (const std::optional<std::string> problem = ChooseBets(args.bet, args.game)) {
      throw CLI::ValidationError("--bet", *problem);
    }
  });
  return backtest;
}

int RunBacktest(const BacktestArguments& args, const ProgressObserver& observer) {
  OwnedHistory history;
  LoadReport report;
  const bool money = !args.bet.bets.empty();
  HistoryPayouts payouts;
  if (!LoadHistoryArgument(args.history, history, report, args.encoding, args.game, true,
                           money ? &payouts : nullptr)) {
    return kExitFailed;
  }

  EvaluationRequest request;
  request.runs = RunsFor(args.filters, args.frames);
  request.last = args.last;
  request.threads = args.threads;
  request.keepTargets = args.format == OutputFormat::Csv && !money;
  request.keepRankings = money;
  // The bar is for a person watching; a log file or a pipe gets nothing of it.
  std::optional<ProgressBar> bar;
  if (::isatty(STDERR_FILENO) == 1) {
    bar.emplace(std::cerr);
  }
  const auto start = std::chrono::steady_clock::now();
  const auto show = [&bar, &observer, start](std::uint64_t done, std::uint64_t total) {
    if (bar) {
      const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      bar->Update(done, total, elapsed.count());
    }
    if (observer) {
      observer(done, total);
    }
  };
  const bool watched = bar.has_value() || static_cast<bool>(observer);
  // Replaying the tickets takes about as long as the evaluation: each fills half the bar, as in
  // the window.
  const std::uint64_t halves = money ? 2 : 1;
  if (watched) {
    request.progress = [&show, halves](std::uint64_t done, std::uint64_t total) {
      show(done, halves * total);
    };
  }
  const Evaluation evaluation = Evaluate(history.get(), request);
  if (evaluation.status != EvaluationStatus::Ok) {
    if (bar) {
      bar->Clear();
    }
    Complain(StatusText(evaluation));
    return kExitFailed;
  }

  MoneyRequest moneyRequest;
  moneyRequest.bets = args.bet.bets;
  moneyRequest.tickets = args.bet.tickets;
  moneyRequest.keepDraws = args.format == OutputFormat::Csv;
  MoneyProgress replayed;
  if (watched) {
    replayed = [&show](std::uint64_t done, std::uint64_t total) { show(total + done, 2 * total); };
  }
  const std::vector<std::vector<MoneyOutcome>> outcomes =
      money ? ReplayMoney(history.get(), evaluation, payouts.draws, moneyRequest, replayed)
            : std::vector<std::vector<MoneyOutcome>>();
  if (bar) {
    bar->Clear();
  }
  WriteReport(std::cout, args.format, args.history, evaluation, outcomes);
  std::cout.flush();
  if (!std::cout) {
    Complain("cannot write the result to standard output");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace tolvane::cli
