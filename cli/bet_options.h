#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/game.h"

namespace tolvane::cli {

// --bet LIST and --tickets N, the same on every command that buys tickets: the kinds of bet (a
// word, a comma-separated list, or all: every kind the game sells), and how many tickets of each
// a draw (1 by default).
struct BetArguments {
  std::string list;  // empty: no tickets asked for
  int tickets = 1;
  std::vector<BetType> bets;  // by ChooseBets, in the order given, each once
};
void AddBetOptions(CLI::App& command, BetArguments& args);

// Fills args.bets for the game; the reason for a usage error when the tickets asked for cannot
// be bought in it (mini in Numbers 4, or more tickets of a kind than the game sells).
std::optional<std::string> ChooseBets(BetArguments& args, Game game);

}  // namespace tolvane::cli
