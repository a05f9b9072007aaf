#include "cli/add_command.h"

#include <algorithm>
#include <limits>

#include "app/history_update_checks.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "cli/game_option.h"
#include "cli/history_argument.h"
#include "cli/history_source.h"
#include "cli/history_to_update.h"
#include "core/locked_update.h"
#include "core/quoted_text.h"
#include "core/utf.h"
#include "history/history_update.h"
#include "history/payouts.h"

namespace tolvane::cli {
namespace {

// A value from the command line in a message, its control characters escaped.
std::string Quoted(const std::string& text) { return QuotedText(Utf8ToUtf16(text)); }

// A round of plain digits, 1 to 2147483647.
std::optional<std::int32_t> RoundOf(const std::string& text) {
  const std::optional<std::string> digits = AsciiDigits(text);
  if (!digits || digits->empty() || digits->size() > 10) {
    return std::nullopt;
  }
  const long long value = std::stoll(*digits);
  if (value < 1 || value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// "S,B,SS,SB[,M]": yen (ASCII or full-width digits), empty or "-" for not known; four amounts, or
// five with Numbers 3's mini. nullopt when the list is not that, with `why` said when given.
std::optional<Payouts> PayoutsOf(const std::string& list, Game game, std::string* why = nullptr) {
  std::vector<std::string> amounts = {""};
  for (const char c : list) {
    if (c == ',') {
      amounts.emplace_back();
    } else {
      amounts.back() += c;
    }
  }
  const std::size_t most = PayoutColumnCount(game);
  if (amounts.size() < 4 || amounts.size() > most) {
    if (why != nullptr) {
      *why = Quoted(list) + " is not " + (most == 4 ? "four" : "four or five") + " amounts of yen";
    }
    return std::nullopt;
  }
  Payouts payouts{};
  for (std::size_t kind = 0; kind < amounts.size(); ++kind) {
    const std::u16string amount = Utf8ToUtf16(amounts[kind]);
    const std::optional<std::uint32_t> yen = ReadPayout(amount);
    if (!yen) {
      if (why != nullptr) {
        *why =
            "the " + std::string(kPayoutKindWords[kind]) + " payout " + PayoutFieldReason(amount);
      }
      return std::nullopt;
    }
    payouts[kind] = *yen;
  }
  return payouts;
}

}  // namespace

CLI::App* AddAddCommand(CLI::App& app, AddArguments& args) {
  CLI::App* add = app.add_subcommand(
      "add",
      "Add one draw at the end of an oldest-first history, keeping every byte already there");
  add->add_option("HISTORY", args.history, "History file (CSV) to add the draw to")->required();
  add->add_option("NUMBER", args.number,
                  "The winning number: three digits (four with --game numbers4), ASCII or "
                  "full-width")
      ->required();
  add->add_option_function<std::string>(
         "--round", [&args](const std::string& text) { args.round = text; },
         "Round of the draw; default: the one after the highest in the history")
      ->type_name("N")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return RoundOf(text) ? std::string() : Quoted(text) + " is not a round from 1 up";
          },
          "", "round"));
  add->add_option_function<std::string>(
         "--date", [&args](const std::string& text) { args.date = text; },
         "Date of the draw, YYYY/M/D or YYYY-M-D; default (for the next round only): the next "
         "draw day after the newest draw's, Monday to Friday but 31 December to 3 January")
      ->type_name("DATE")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return ReadDrawDate(text)
                       ? std::string()
                       : Quoted(text) + " is not YYYY/M/D or YYYY-M-D, a day of the calendar";
          },
          "", "date"));
  add->add_option_function<std::string>(
         "--payouts", [&args](const std::string& text) { args.payouts = text; },
         "Yen paid for one winning ticket of the draw: straight, box, set (straight), set (box) "
         "and, for Numbers 3, mini; empty or - where not known. Only for a history whose header "
         "names payout columns")
      ->type_name("S,B,SS,SB[,M]");
  AddEncodingOption(*add, args.encoding);
  AddGameOption(*add, args.game);
  add->final_callback([&args] {
    if (HistorySource::IsStandardInput(args.history)) {
      throw CLI::ValidationError("HISTORY", "add rewrites a file; standard input cannot be one");
    }
    const std::optional<std::string> digits = AsciiDigits(args.number);
    const auto places = static_cast<std::size_t>(PlaceCount(args.game));
    if (!digits || digits->size() != places) {
      throw CLI::ValidationError("NUMBER", Quoted(args.number) + " is not " +
                                               (places == 4 ? "four" : "three") + " digits");
    }
    std::string why;
    if (args.payouts && !PayoutsOf(*args.payouts, args.game, &why)) {
      throw CLI::ValidationError("--payouts", why);
    }
  });
  return add;
}

namespace {

// What goes after the history's `bytes` for `args`; false after saying why.
bool PlanAdd(const AddArguments& args, std::string_view bytes, ImportedDraw& draw,
             std::string& added) {
  const LoadOptions options{args.encoding, args.game};
  HistoryContents history;
  LoadReport report;
  // An append needs only the last draw; every line is checked all the same.
  if (!CheckHistoryToAppend(args.history, bytes, options, "add", history, report)) {
    return false;
  }
  const std::optional<std::int64_t> round =
      args.round ? std::optional<std::int64_t>(*RoundOf(*args.round)) : std::nullopt;
  if (round && !history.draws.empty() && *round <= history.draws.back().round) {
    // Refused below, naming the line that holds the round: all the draws of the same bytes.
    ImportResult failure;
    if (!ReadHistoryContents(bytes, options, history, failure)) {
      Complain(ImportFailureDetail(args.history, failure));
      return false;
    }
  }
  const std::optional<std::chrono::year_month_day> date =
      args.date ? ReadDrawDate(*args.date) : std::nullopt;
  const DrawAddition addition = PlanDrawAddition(args.history, history, round, date);
  if (!addition.warning.empty()) {
    Complain("warning: " + addition.warning);
  }
  if (addition.dateNeeded) {
    Complain(!addition.warning.empty()
                 ? "--date is needed for a round after missing ones"
                 : "--date is needed: the history holds no draw to count from");
    return false;
  }
  if (!addition.failure.empty()) {
    Complain(addition.failure);
    return false;
  }
  draw = addition.draw;
  if (args.payouts) {
    if (!history.payoutColumns) {
      Complain(args.history + ": its header names no payout columns (" +
               PayoutHistoryHeader(args.game) + "), so --payouts has nowhere to go");
      return false;
    }
    draw.payouts = *PayoutsOf(*args.payouts, args.game);
    for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
      if (draw.payouts[kind] != 0 && !history.payoutColumns[kind]) {
        Complain("warning: " + args.history + ": its header has no " +
                 std::string(kPayoutColumnNames[kind]) + " column, so that payout is not written");
      }
    }
  }
  const std::string digits = *AsciiDigits(args.number);
  for (std::size_t place = 0; place < digits.size(); ++place) {
    draw.digits[place] = static_cast<std::uint8_t>(digits[place] - '0');
  }
  std::optional<std::string> appended = AppendedBytes(history, draw);
  if (!appended) {
    Complain(args.history + ": the new line has no form in its encoding");
    return false;
  }
  added = std::move(*appended);
  return true;
}

}  // namespace

int RunAdd(const AddArguments& args) {
  if (const std::string problem = UpdateTargetKindProblem(args.history, "add"); !problem.empty()) {
    Complain(problem);
    return kExitFailed;
  }
  if (!CheckHistoryPath(args.history)) {
    return kExitFailed;
  }
  ImportedDraw draw;
  std::string error;
  // The history is copied into the new file and its copy checked: what is checked is what stays.
  const UpdateOutcome outcome = AppendFileLocked(
      args.history,
      [&](std::string_view bytes, std::string& added) { return PlanAdd(args, bytes, draw, added); },
      error, Complain);
  if (outcome == UpdateOutcome::kRefusedByAttempt) {
    return kExitFailed;
  }
  if (outcome != UpdateOutcome::kWritten) {
    Complain(args.history + ": " + error);
    return kExitFailed;
  }
  Complain("added " + RoundName(draw.round) + " " + HistoryDateText(draw.date) + " (" +
           WeekdayText(draw.date) + ") " + *AsciiDigits(args.number) + " to " + args.history);
  return kExitOk;
}

}  // namespace tolvane::cli
