#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/replace_file.h"
#include "core/text_decoder.h"
#include "history/history_import.h"
#include "history/load_report.h"

namespace tolvane {

// Keeping a history current: a draw added at its end, or the new draws of a results file merged
// in, every byte already in the file kept as it is.

// A history file as it is, for adding to it.
struct HistoryContents {
  std::string bytes;                // the whole file
  std::vector<ImportedDraw> draws;  // in file order, each with its line
  LoadOptions options;              // its encoding and game
  bool crlf = false;                // its first line ends in CR LF, so new lines do too
  PayoutColumns payoutColumns;      // those its header names, where new lines hold the payouts
  bool paddedDates = false;         // its dates read 2019/01/07, so new lines' do too
  bool lastLineOpen = false;        // its last line has no line end, so a new line gives it one
};

// The whole file at `path`, read once into one buffer of its size (no doubling as it grows).
// False with the errno value in `error` when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes, int& error);

// Reads a history that has loaded as a prediction loads it and whose rounds go up line by line
// (the caller checks both first). False with `failure` set (line and reason, as an import
// reports them) when a draw line has no real date or no plain round: those cannot be added to.
bool ReadHistoryContents(const std::string& path, const LoadOptions& options,
                         HistoryContents& contents, ImportResult& failure);
// The same for the file's bytes already read (into `contents.bytes`, or held elsewhere, as a file
// mapped into memory): those very bytes are checked, so they are the ones to write. With
// `lastDrawOnly` (a plain append needs no more), `draws` holds only the last draw line's draw, and
// a long history is checked in little memory.
bool ReadHistoryContents(std::string_view bytes, const LoadOptions& options,
                         HistoryContents& contents, ImportResult& failure,
                         bool lastDrawOnly = false);

// The next draw day after `date`: the next Monday to Friday, passing over 31 December to
// 3 January (draws take place on public holidays too).
std::chrono::year_month_day NextDrawDay(std::chrono::year_month_day date);

// A date as a user types one for a new draw: YYYY/M/D or YYYY-M-D, a real day of the calendar.
std::optional<std::chrono::year_month_day> ReadDrawDate(std::string_view text);

// The file's bytes with `draw`'s line added at the end, in the file's encoding and line ending;
// a last line without a line end gets one first. nullopt when the line has no form in the file's
// encoding.
std::optional<std::string> WithDrawAppended(const HistoryContents& history,
                                            const ImportedDraw& draw);
// What WithDrawAppended adds after the file's bytes (a line end first where the last line has
// none), so a large file need not be copied in memory to be written.
std::optional<std::string> AppendedBytes(const HistoryContents& history, const ImportedDraw& draw);

// What merging a converted results file into a history does.
struct MergePlan {
  std::vector<ImportedDraw> added;  // the rounds only the source has, ascending
  std::uint64_t alreadyThere = 0;   // source rounds the history holds with the same draw
  std::uint64_t missingRounds = 0;  // rounds between the merged first and last that none gives
  // A round both hold with another date or number: its line in each; both 0 when there is none.
  std::uint64_t sourceLine = 0;
  std::uint64_t historyLine = 0;
  std::string conflict;  // "round 6501 is 2019/12/17 124 there, 2019/12/17 123 here"
  // Rounds both hold alike but with another amount for a payout both know (the history's are
  // kept): how many, and the first one's lines in each and what differs.
  std::uint64_t otherPayouts = 0;
  std::uint64_t payoutSourceLine = 0;
  std::uint64_t payoutHistoryLine = 0;
  // "round 6501 with other payouts (ボックス 36928 there, 36929 here)"
  std::string payoutConflict;
};
MergePlan PlanMerge(const HistoryContents& history, const std::vector<ImportedDraw>& source);

// The merged file, handed to `sink` a piece at a time: the history's lines byte for byte, with
// the added draws' lines among them in round order, in the file's encoding and line ending.
// False when a line has no form in the encoding (with `error` set) or the sink refused.
bool WriteMergedHistory(const HistoryContents& history, const MergePlan& plan, const ByteSink& sink,
                        std::string& error);

}  // namespace tolvane
