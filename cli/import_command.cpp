#include "cli/import_command.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <iostream>

#include "app/history_update_checks.h"
#include "cli/exit_status.h"
#include "cli/game_option.h"
#include "cli/history_source.h"
#include "cli/history_to_update.h"
#include "cli/log_option.h"
#include "cli/word_option.h"
#include "core/locked_update.h"
#include "history/history_import.h"
#include "history/history_update.h"
#include "history/utf8_hint.h"

namespace tolvane::cli {
namespace {

constexpr std::size_t kMaxColumn = kMaxImportColumns - 1;

// "R,D,N": three different 0-based positions.
std::optional<ImportColumns> ParseColumns(const std::string& text) {
  std::array<std::size_t, 3> positions{};
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  for (std::size_t i = 0; i < positions.size(); ++i) {
    if (i > 0) {
      if (at == end || *at != ',') {
        return std::nullopt;
      }
      ++at;
    }
    const auto [next, error] = std::from_chars(at, end, positions[i]);
    if (error != std::errc() || next == at || positions[i] > kMaxColumn) {
      return std::nullopt;
    }
    at = next;
  }
  if (at != end || positions[0] == positions[1] || positions[0] == positions[2] ||
      positions[1] == positions[2]) {
    return std::nullopt;
  }
  return ImportColumns{positions[0], positions[1], positions[2]};
}

// The --columns check: empty when `text` is three positions, else what is wrong.
std::string ColumnsProblem(const std::string& text) {
  return ParseColumns(text) ? "" : "needs three different positions, such as 0,1,2";
}

// "5 draws added to PATH, rounds 6501 to 6505; 60 already there; 0 rounds missing".
std::string MergeSummary(const std::string& path, const MergePlan& plan) {
  const std::size_t added = plan.added.size();
  std::string text =
      std::to_string(added) + (added == 1 ? " draw" : " draws") + " added to " + path;
  if (added != 0) {
    text += ", rounds " + std::to_string(plan.added.front().round) + " to " +
            std::to_string(plan.added.back().round);
  }
  return text + "; " + std::to_string(plan.alreadyThere) + " already there; " +
         std::to_string(plan.missingRounds) +
         (plan.missingRounds == 1 ? " round missing" : " rounds missing");
}

// The source's new rounds into an existing history: every line of the history kept, a round both
// hold alike once, a round they hold differently refused with both lines named.
// What merging into the history as it is now writes; false after saying why.
bool PlanMergeInto(const HistorySource& source, const ImportResult& result,
                   const ImportArguments& args, HistoryContents& history, MergePlan& plan) {
  LoadReport report;
  if (!LoadHistoryToUpdate(args.into, {args.historyEncoding, args.game}, "import --into", history,
                           report, "--history-encoding")) {
    return false;
  }
  plan = PlanMerge(history, result.draws);
  if (plan.sourceLine != 0) {
    Complain(MergeConflictDetail(source.Name(), args.into, plan));
    return false;
  }
  for (const std::string& warning :
       MergeWarnings(source.Name(), args.into, result, history, plan)) {
    Complain("warning: " + warning);
  }
  return true;
}

// The source's new rounds into an existing history: every line of the history kept, a round both
// hold alike once, a round they hold differently refused with both lines named. A history not
// there yet is written whole; whether it is there is decided under the lock, so one another
// importer has just written is merged into, never overwritten.
int MergeInto(const HistorySource& source, const ImportResult& result,
              const ImportArguments& args) {
  HistoryContents history;
  MergePlan plan;
  std::string error;
  bool created = false;
  const UpdateOutcome outcome = UpdateFileLocked(
      args.into,
      [&](ByteProducer& produce) {
        created = ::access(args.into.c_str(), F_OK) != 0 && errno == ENOENT;
        if (created) {
          // In the encoding the history is then read in.
          produce = [&result, &args](const ByteSink& sink, std::string& why) {
            return WriteHistoryFile(result.draws, result.game, result.payoutColumns, sink, why,
                                    args.historyEncoding);
          };
          return true;
        }
        if (!PlanMergeInto(source, result, args, history, plan)) {
          return false;
        }
        if (!plan.added.empty()) {
          produce = [&history, &plan](const ByteSink& sink, std::string& why) {
            return WriteMergedHistory(history, plan, sink, why);
          };
        }
        return true;
      },
      error, Complain);
  if (outcome == UpdateOutcome::kRefusedByAttempt) {
    return kExitFailed;
  }
  if (outcome == UpdateOutcome::kFailed) {
    Complain(args.into + ": " + error);
    return kExitFailed;
  }
  Complain(created ? ImportSummary(result)
                   : MergeSummary(args.into, plan) + "; " + ImportColumnsText(result));
  return kExitOk;
}

}  // namespace

CLI::App* AddImportCommand(CLI::App& app, ImportArguments& args) {
  CLI::App* command =
      app.add_subcommand("import", "Convert a results file of another layout into a history");
  command
      ->add_option("SOURCE", args.source, "Results file, line 1 a header; - reads standard input")
      ->required();
  CLI::Option* output =
      command->add_option("-o,--output", args.dest, "History file to write; - for standard output")
          ->type_name("DEST");
  command
      ->add_option("--into", args.into,
                   "History to merge the source into (created when missing): rounds only the "
                   "source holds are added, every line of the history kept")
      ->type_name("HISTORY")
      ->excludes(output);
  CLI::Option* encoding = AddWordOption(
      *command, "--encoding", args.encoding, kTextEncodings,
      "Encoding of SOURCE: cp932 (Shift_JIS) or utf-8 (decoded strictly); default: utf-8 when it "
      "has a byte-order mark or is valid UTF-8 with non-ASCII bytes, else cp932");
  encoding->default_str("");
  AddWordOption(*command, "--history-encoding", args.historyEncoding, kTextEncodings,
                "Encoding of the --into history: cp932 (Shift_JIS, the default) or utf-8 (decoded "
                "strictly); --encoding is the source's")
      ->needs("--into");
  AddGameOption(*command, args.game);
  const auto setColumns = [&args](const std::string& text) { args.columns = ParseColumns(text); };
  command
      ->add_option_function<std::string>(
          "--columns", setColumns,
          "0-based fields of round, date and winning number (default: found by the header's "
          "names)")
      ->type_name("R,D,N")
      ->check(CLI::Validator(ColumnsProblem, "", "R,D,N"));
  // Replacing the source would destroy the only copy of what is being converted.
  command->final_callback([&args, encoding] {
    args.encodingGiven = encoding->count() != 0;
    if (args.dest.empty() == args.into.empty()) {
      throw CLI::ValidationError("--output", "give -o DEST or --into HISTORY");
    }
    const std::string& target = args.into.empty() ? args.dest : args.into;
    // Standard input redirected from the destination is the source too.
    const std::string source =
        HistorySource::IsStandardInput(args.source) ? std::string("/dev/stdin") : args.source;
    if (target != "-" && SameFile(source, target)) {
      throw CLI::ValidationError(args.into.empty() ? "--output" : "--into",
                                 "names the source file itself");
    }
    if (HistorySource::IsStandardInput(args.into)) {
      throw CLI::ValidationError("--into", "needs a file to merge into");
    }
  });
  return command;
}

int RunImport(const ImportArguments& args) {
  HistorySource source(args.source);
  if (!source.Open()) {
    return kExitFailed;
  }
  ImportOptions options;
  options.encoding = args.encodingGiven ? std::optional<TextEncoding>(args.encoding) : std::nullopt;
  options.columns = args.columns;
  options.game = args.game;
  ImportResult result;
  if (!ConvertHistorySource(source.Path(), options, result)) {
    // A code page 932 failure on a file saved as UTF-8 says what to try, as a load does.
    const bool utf8 = result.encoding == TextEncoding::kCp932 && result.line != 0 &&
                      result.reason.starts_with("bytes that are not") &&
                      LooksLikeUtf8(source.Path());
    if (result.columnsNotFound) {
      Complain("the header names known: " + KnownColumnNames());
    }
    Complain(ImportFailureDetail(source.Name(), result) +
             (result.columnsNotFound ? "; give their positions with --columns R,D,N" : "") +
             (utf8 ? kUtf8HintText : ""));
    return kExitFailed;
  }
  for (const std::string& warning : SourceWarnings(source.Name(), result)) {
    Complain("warning: " + warning);
  }
  if (!args.into.empty()) {
    return MergeInto(source, result, args);
  }
  const std::string& dest = args.dest;
  if (dest == "-") {
    std::string error;
    const bool written = WriteHistoryFile(
        result.draws, result.game, result.payoutColumns,
        [](std::string_view piece) {
          return static_cast<bool>(
              std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size())));
        },
        error);
    if (written) {
      std::cout.flush();
    }
    if (!written && !error.empty()) {
      Complain(error);
      return kExitFailed;
    }
    if (!written || !std::cout) {
      Complain(std::string("cannot write the history to standard output: ") + std::strerror(errno));
      return kExitFailed;
    }
  } else {
    std::string error;
    if (!WriteImportedHistory(source.Path(), dest, result, error)) {
      Complain(dest + ": " + error);
      return kExitFailed;
    }
  }
  Complain(ImportSummary(result));
  return kExitOk;
}

}  // namespace tolvane::cli
