#include "app/history_update_checks.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>

#include "core/bets.h"
#include "core/utf.h"
#include "history/history_import.h"
#include "history/import_columns.h"

namespace tolvane {
namespace {

// The rounds from first to last, said once: "round 6502" or "rounds 6502 to 6504".
std::string RoundsText(std::int64_t first, std::int64_t last) {
  return first == last ? "round " + std::to_string(first)
                       : "rounds " + std::to_string(first) + " to " + std::to_string(last);
}

// The line of the draw of `round`, or 0.
std::uint64_t LineOf(const HistoryContents& history, std::int64_t round) {
  const auto found =
      std::find_if(history.draws.begin(), history.draws.end(),
                   [round](const ImportedDraw& draw) { return draw.round == round; });
  return found == history.draws.end() ? 0 : found->line;
}

}  // namespace

std::optional<std::string> AsciiDigits(const std::string& text) {
  std::string digits;
  for (const char16_t c : Utf8ToUtf16(text)) {
    if (c >= u'0' && c <= u'9') {
      digits += static_cast<char>(c);
    } else if (c >= u'\uFF10' && c <= u'\uFF19') {
      digits += static_cast<char>('0' + (c - u'\uFF10'));
    } else {
      return std::nullopt;
    }
  }
  return digits;
}

std::string RoundName(std::int64_t round) { return "第" + std::to_string(round) + "回"; }

std::string UpdateTargetKindProblem(const std::string& path, const std::string& command) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return path + ": is not a regular file; " + command + " rewrites a file";
  }
  return {};
}

std::string UpdateTargetProblem(const std::string& path, const LoadReport& report,
                                const std::string& command) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return path + ": is not a regular file; " + command + " rewrites a file";
  }
  // New lines of one game after the other's would make a history no game reads.
  if (report.draws != 0 && report.fourDigitNumbers == report.draws) {
    return path + ":" + std::to_string(report.firstLongNumberLine) +
           ": every winning number has four digits, so this is a Numbers 4 history; " + command +
           " writes one with --game numbers4";
  }
  if (report.draws != 0 && report.threeDigitNumbers == report.draws) {
    return path + ":" + std::to_string(report.firstThreeDigitLine) +
           ": every winning number has three digits, so this is a Numbers 3 history; " + command +
           " writes one with --game numbers3";
  }
  if (report.firstOutOfOrderLine != 0) {
    return path + ":" + std::to_string(report.firstOutOfOrderLine) +
           ": the rounds stop going up at this line; " + command +
           " keeps an oldest-first history only (import converts the others)";
  }
  return {};
}

DrawAddition PlanDrawAddition(const std::string& path, const HistoryContents& history,
                              std::optional<std::int64_t> round,
                              std::optional<std::chrono::year_month_day> date) {
  DrawAddition addition;
  const bool empty = history.draws.empty();
  const std::int64_t highest = empty ? 0 : history.draws.back().round;
  const std::int64_t wanted = round.value_or(highest + 1);
  if (wanted > std::numeric_limits<std::int32_t>::max()) {
    addition.failure = path + ": no round follows " + RoundName(highest);
    return addition;
  }
  addition.draw.round = static_cast<std::int32_t>(wanted);
  if (wanted <= highest) {
    const std::uint64_t held = LineOf(history, wanted);
    addition.failure =
        held != 0
            ? path + ":" + std::to_string(held) + ": " + RoundName(wanted) + " is already there"
            : path + ":" + std::to_string(history.draws.back().line) + ": " + RoundName(wanted) +
                  " is not above the highest round, " + RoundName(highest);
    return addition;
  }
  const bool gap = !empty && wanted > highest + 1;
  if (gap) {
    addition.warning = path + ": " + RoundsText(highest + 1, wanted - 1) +
                       (wanted - 1 == highest + 1 ? " is" : " are") + " missing before " +
                       RoundName(wanted);
  }
  if (!date && (gap || empty)) {
    addition.dateNeeded = true;
    return addition;
  }
  addition.draw.date = date ? *date : NextDrawDay(history.draws.back().date);
  // A history's dates have four-digit years: a later one would make a line no load reads.
  if (addition.draw.date.year() > std::chrono::year(9999)) {
    addition.failure = path + ":" + std::to_string(history.draws.back().line) +
                       ": no draw day follows " + HistoryDateText(history.draws.back().date) +
                       " within the year 9999, the last a history holds";
    return addition;
  }
  if (!empty && std::chrono::sys_days(addition.draw.date) <=
                    std::chrono::sys_days(history.draws.back().date)) {
    addition.failure = path + ":" + std::to_string(history.draws.back().line) + ": the date " +
                       HistoryDateText(addition.draw.date) +
                       " is not later than the newest draw's, " +
                       HistoryDateText(history.draws.back().date);
  }
  return addition;
}

std::string MergeConflictDetail(const std::string& source, const std::string& history,
                                const MergePlan& plan) {
  if (plan.sourceLine == 0) {
    return {};
  }
  return source + ":" + std::to_string(plan.sourceLine) + ": " + history + ":" +
         std::to_string(plan.historyLine) + " holds the same round with another draw (" +
         plan.conflict + ")";
}

std::vector<std::string> SourceWarnings(const std::string& source, const ImportResult& result) {
  std::vector<std::string> warnings;
  if (result.allThreeDigitNumbers) {
    warnings.push_back(source +
                       ": every winning number has three digits; this looks like a Numbers 3 "
                       "source: try --game numbers3");
  } else if (result.miniColumn) {
    warnings.push_back(source +
                       ": the header names a mini column, which only Numbers 3 has; this looks "
                       "like a Numbers 3 source: try --game numbers3");
  }
  if (!result.unreadPayoutNames.empty()) {
    warnings.push_back(source + ": " + UnreadPayoutsText(result.unreadPayoutNames));
  }
  return warnings;
}

std::vector<std::string> MergeWarnings(const std::string& source, const std::string& path,
                                       const ImportResult& result, const HistoryContents& history,
                                       const MergePlan& plan) {
  std::vector<std::string> warnings;
  if (plan.otherPayouts != 0) {
    const std::uint64_t more = plan.otherPayouts - 1;
    warnings.push_back(
        source + ":" + std::to_string(plan.payoutSourceLine) + ": " + path + ":" +
        std::to_string(plan.payoutHistoryLine) + " holds " + plan.payoutConflict +
        (more > 0 ? " (and " + std::to_string(more) + (more == 1 ? " more round)" : " more rounds)")
                  : "") +
        "; the history's are kept");
  }
  std::string dropped;
  for (std::size_t kind = 0; kind < kPayoutKinds && !plan.added.empty(); ++kind) {
    if (result.payoutFields[kind] && !history.payoutColumns[kind]) {
      dropped += (dropped.empty() ? "" : ", ") + std::string(kPayoutColumnNames[kind]);
    }
  }
  if (!dropped.empty()) {
    warnings.push_back(path + ": its header has no column for the source's payouts (" + dropped +
                       "), so the added draws are written without them");
  }
  return warnings;
}

}  // namespace tolvane
