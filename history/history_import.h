#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/replace_file.h"
#include "core/text_decoder.h"
#include "history/import_columns.h"

namespace tolvane {

// Converts the results files people download or keep (other columns, other orders, other date
// forms, full-width digits) into the history format the loader reads. The loader itself stays
// strict; a file it refuses is converted once and then loads as any history does.

struct ImportOptions {
  // UTF-8 may start with a byte-order mark. Nullopt: UTF-8 when the file starts with that mark or
  // is valid UTF-8 with non-ASCII bytes, else code page 932 (a file that is not a regular file is
  // not looked at first: code page 932).
  std::optional<TextEncoding> encoding = TextEncoding::kCp932;
  std::optional<ImportColumns> columns;  // nullopt: found by the header's names
  Game game = Game::kNumbers3;           // how many digits a winning number has
  // Numbers 3: a longer winning number is read by its first three digits, as a load reads a
  // history (which warns about it), instead of failing the line.
  bool firstThreeOfLonger = false;
  // Keeps only the last draw line's draw in `draws`, for a source whose rounds are known to go
  // up line by line (so none repeats): every line is still checked, in little memory.
  bool lastDrawOnly = false;
};

struct ImportedDraw {
  std::int32_t round = 0;
  std::chrono::year_month_day date{};
  std::array<std::uint8_t, 4> digits{};  // the game's places, highest first
  std::uint32_t line = 0;                // the source's line that gave it (the header is 1)
  Payouts payouts{};                     // from the source's payout columns; 0: not known
};

// The order of the rounds in the source, line after line.
enum class SourceOrder { kOldestFirst, kNewestFirst, kMixed };

struct ImportResult {
  // A failure as a load reports one: the 1-based line (the header being line 1; 0: the file)
  // and a reason in words a user can act on.
  std::uint64_t line = 0;
  std::string reason;
  bool columnsNotFound = false;  // the header did not name all three columns

  Game game = Game::kNumbers3;
  TextEncoding encoding = TextEncoding::kCp932;  // the source was read in
  bool encodingFound = false;                    // not given: found from the source's bytes
  bool payoutColumns = false;  // the source names payout columns: the history keeps them
  PayoutColumns payoutFields;  // the payout columns read, of the kinds the game sells
  std::vector<std::u16string> unreadPayoutNames;  // header names that look like payouts, not read
  std::vector<std::u16string> header;             // the header's fields, once read
  std::optional<ImportColumns> columns;           // the columns read, once known
  std::vector<ImportedDraw> draws;  // ascending rounds, each once; empty after a failure
  std::uint64_t repeatedLines = 0;  // lines that repeat an earlier line's draw exactly
  // Numbers 4: every draw line's winning number has three characters (a Numbers 3 source).
  bool allThreeDigitNumbers = false;
  // Numbers 4: the header names a mini column, which only Numbers 3 has (a Numbers 3 source).
  bool miniColumn = false;
  SourceOrder order = SourceOrder::kOldestFirst;

  // Rounds between the first and the last that no line gives.
  std::uint64_t MissingRounds() const;
};

// Reads the whole source (line 1 a header) and converts every draw line, all or nothing. A line
// with only empty fields is passed over. The same round twice with the same date and number is
// kept once (a payout one line does not know taken from the other); with another date or number,
// or another amount for a payout both know, the later line fails, naming the earlier one. Returns
// false with `result.line` and `result.reason` set on any failure.
bool ConvertHistorySource(const std::string& path, const ImportOptions& options,
                          ImportResult& result);

// The same for a file's bytes already read (`options.encoding` nullopt: code page 932).
bool ConvertHistoryBytes(std::string_view bytes, const ImportOptions& options,
                         ImportResult& result);

// The day of the week in one character, 月 to 日 (UTF-8), as a history's field 2 holds it.
std::string WeekdayText(const std::chrono::year_month_day& date);
// A date as the history format writes it: "2019/12/17" (no leading zeros but in the year).
std::string HistoryDateText(const std::chrono::year_month_day& date);
// The winning number's digits as text: "072", or "0072" with Numbers 4.
std::string WinningNumberText(const std::array<std::uint8_t, 4>& digits, Game game);

// One line of the history format, UTF-8: "第5000回,2018/6/12,火,072" (the weekday from the date;
// four digits with Numbers 4).
// With `payouts`, the payout fields follow, empty where not known (core/bets.h).
std::string HistoryLine(const ImportedDraw& draw, Game game = Game::kNumbers3,
                        bool payouts = false);
// The same with the payouts in the columns a history's header gives them (fields 5 on): each
// field up to the last of those columns, the payout of the kind named there or empty.
std::string HistoryLine(const ImportedDraw& draw, Game game, const PayoutColumns& payouts);
// The header and every draw's line, each ended by a line feed, in code page 932, handed to the
// sink a piece at a time. False when the sink refuses a piece, or with `error` set when the
// system cannot write code page 932.
// With `payouts`, the header names the payout columns and every line holds them.
// `encoding` UTF-8 writes the same text in UTF-8 instead.
bool WriteHistoryFile(const std::vector<ImportedDraw>& draws, Game game, bool payouts,
                      const ByteSink& sink, std::string& error,
                      TextEncoding encoding = TextEncoding::kCp932);
// The same bytes whole; nullopt when the system cannot write code page 932.
std::optional<std::string> HistoryFileBytes(const std::vector<ImportedDraw>& draws,
                                            Game game = Game::kNumbers3, bool payouts = false);

// Writes a converted source to `dest` through ReplaceFileContents: all or nothing, and never
// over the source itself (the same file by device and inode, whatever the spelling). False with
// `error` (about `dest`) on failure. `write` as for ReplaceFileContents.
bool WriteImportedHistory(const std::string& source, const std::string& dest,
                          const ImportResult& result, std::string& error,
                          WriteCall write = nullptr);

// "60 draws written, rounds 1 to 62, 2 rounds missing, 0 repeated lines, source newest first;
// columns: round=No, date=抽選日, number=当選数字, straight=金額[STR], ..." (", read as UTF-8"
// after the order when that encoding was found by itself).
std::string ImportSummary(const ImportResult& result);

// "columns: round=No, date=抽選日, number=当選数字, straight=金額[STR], ...": the header's names of
// the columns read (a field's position, "#5", where the header has no name for it).
std::string ImportColumnsText(const ImportResult& result);

// Where and why a conversion failed: "PATH:LINE: REASON", or "PATH: REASON" for the file.
std::string ImportFailureDetail(const std::string& path, const ImportResult& result);

}  // namespace tolvane
