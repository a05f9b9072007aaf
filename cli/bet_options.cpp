#include "cli/bet_options.h"

#include <algorithm>

#include "cli/word_list_option.h"
#include "predict/tickets.h"

namespace tolvane::cli {

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
  command
      .add_option("--tickets", args.tickets,
                  "Tickets of each kind a draw, 1 up to as many as the game sells (straight "
                  "1,000 or 10,000; box and set 210 or 705; mini 100)")
      ->type_name("N")
      ->needs(bet)
      ->check(CLI::PositiveNumber);
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
