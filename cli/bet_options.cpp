#include "cli/bet_options.h"

#include <algorithm>

#include "cli/word_list_option.h"
#include "predict/tickets.h"

namespace tolvane::cli {
namespace {

// The digits' value, held at a million: past what any game sells, which ChooseBets says.
int SaturatedTickets(const std::string& digits) {
  constexpr int kMost = 1'000'000;
  int value = 0;
  for (const char digit : digits) {
    value = std::min(value * 10 + (digit - '0'), kMost);
  }
  return value;
}

}  // namespace

void AddBetOptions(CLI::App& command, BetArguments& args) {
  std::string choices;
  for (const OptionEntry<BetType>& entry : kBetTypes) {
    choices += std::string(entry.word) + ", ";
  }
  CLI::Option* bet =
      command
          .add_option("--bet", args.list,
                      "Kinds of ticket to buy with the ranking: " + choices +
                          "a comma-separated list of them, or all (what the game sells)")
          ->type_name("LIST")
          ->check(CLI::Validator(
              [](const std::string& list) {
                for (const std::string& word : SplitList(list)) {
                  if (word != "all" && !KindIn<BetType>(kBetTypes, word)) {
                    return "\"" + word + "\" is not a kind of bet";
                  }
                }
                return std::string();
              },
              "", "bet list"));
  // Decimal only, as every count: "010" is ten, never eight.
  command
      .add_option_function<std::string>(
          "--tickets", [&args](const std::string& text) { args.tickets = SaturatedTickets(text); },
          "Tickets of each kind a draw, 1 up to as many as the game sells (straight "
          "1,000 or 10,000; box and set 210 or 705; mini 100)")
      ->type_name("N")
      ->needs(bet)
      ->check(CLI::Validator(
          [](const std::string& text) {
            const bool digits =
                !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
            return digits && SaturatedTickets(text) >= 1
                       ? std::string()
                       : "\"" + text +
                             "\" is not a whole number from 1 to the number of distinct tickets";
          },
          "POSITIVE", "1 up"));
}

std::optional<std::string> ChooseBets(BetArguments& args, Game game) {
  args.bets.clear();
  const auto add = [&args](BetType type) {
    if (std::find(args.bets.begin(), args.bets.end(), type) == args.bets.end()) {
      args.bets.push_back(type);
    }
  };
  for (const std::string& word :
       args.list.empty() ? std::vector<std::string>{} : SplitList(args.list)) {
    if (word == "all") {
      for (const OptionEntry<BetType>& entry : kBetTypes) {
        if (Sells(game, entry.kind)) {
          add(entry.kind);
        }
      }
    } else if (const std::optional<BetType> type = KindIn<BetType>(kBetTypes, word)) {
      if (!Sells(game, *type)) {
        return word + " is not sold in " + std::string(Word(game));
      }
      add(*type);
    }
  }
  for (const BetType type : args.bets) {
    if (args.tickets > DistinctTickets(game, type)) {
      return std::to_string(args.tickets) + " tickets of " + std::string(Word(type)) +
             " a draw: " + std::string(Word(game)) + " sells " +
             std::to_string(DistinctTickets(game, type));
    }
  }
  return std::nullopt;
}

}  // namespace tolvane::cli
