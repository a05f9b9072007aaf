#include "history/history_import.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <optional>

#include "core/cp932.h"
#include "core/locked_update.h"
#include "core/quoted_text.h"
#include "core/utf.h"
#include "history/history_line_reader.h"
#include "history/import_fields.h"
#include "history/load_report.h"
#include "history/payouts.h"
#include "history/plain_history_line.h"
#include "history/utf8_hint.h"

namespace tolvane {
namespace {

constexpr char16_t kByteOrderMark = u'\uFEFF';
constexpr const char* kWeekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
constexpr const char* kHistoryHeader = "回別,抽せん日,曜日,当せん番号";
constexpr std::size_t kHistoryFields = 4;  // before the payout columns
// Round, date and winning number as a history holds them.
constexpr ImportColumns kHistoryColumnsRead{0, 1, 3};

std::string Counted(std::uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string WeekdayText(const std::chrono::year_month_day& date) {
  const unsigned weekday = std::chrono::weekday(std::chrono::sys_days(date)).iso_encoding();
  return kWeekdays[weekday - 1];
}

std::string HistoryDateText(const std::chrono::year_month_day& date) {
  const int year = static_cast<int>(date.year());
  std::string text = std::to_string(year);
  // The history format wants four digits of year.
  text.insert(0, text.size() < 4 ? 4 - text.size() : 0, '0');
  return text + "/" + std::to_string(static_cast<unsigned>(date.month())) + "/" +
         std::to_string(static_cast<unsigned>(date.day()));
}

std::string WinningNumberText(const std::array<std::uint8_t, 4>& digits, Game game) {
  std::string text;
  for (int place = 0; place < PlaceCount(game); ++place) {
    text += static_cast<char>('0' + digits[static_cast<std::size_t>(place)]);
  }
  return text;
}

namespace {

// Counts the steps up and down between the rounds in the order they were read.
class OrderTracker {
 public:
  void Note(std::int32_t round) {
    if (seen_) {
      up_ |= round > previous_;
      down_ |= round < previous_;
    }
    seen_ = true;
    previous_ = round;
  }
  SourceOrder Order() const {
    return up_ && down_ ? SourceOrder::kMixed
           : down_      ? SourceOrder::kNewestFirst
                        : SourceOrder::kOldestFirst;
  }

 private:
  bool seen_ = false;
  bool up_ = false;
  bool down_ = false;
  std::int32_t previous_ = 0;
};

ImportColumns ColumnsOf(const std::vector<std::u16string>& header, const ImportOptions& options,
                        ImportResult& result) {
  if (options.columns) {
    return *options.columns;
  }
  std::string reason;
  const std::optional<ImportColumns> found = FindImportColumns(header, reason);
  if (!found) {
    result.columnsNotFound = true;
    throw LoadError("columns not found", 1, reason);
  }
  return *found;
}

// No draw line is shorter than "1,2019/1/1,1" and its line end: reserving for this many never
// reserves too little, and what is reserved but not used is never touched.
constexpr std::uint64_t kShortestDrawLine = 13;

ImportedDraw ReadDraw(const ImportLine& split, const ImportColumns& columns,
                      const PayoutColumns& payouts, std::uint64_t line, Game game,
                      bool firstThreeOfLonger) {
  if (split.count < columns.FieldsNeeded()) {
    throw LoadError("not enough fields", line,
                    Counted(split.count, "field", "fields") + "; a draw line needs at least " +
                        std::to_string(columns.FieldsNeeded()));
  }
  if (line > std::numeric_limits<std::uint32_t>::max()) {
    throw LoadError("too many lines", line, "more lines than 4294967295");
  }
  ImportedDraw draw;
  try {
    draw.round = ReadImportRound(split.fields[columns.round]);
    draw.date = ReadImportDate(split.fields[columns.date]);
    std::u16string_view number = split.fields[columns.number];
    if (firstThreeOfLonger && game == Game::kNumbers3 && number.size() > 3) {
      number = number.substr(0, 3);
    }
    draw.digits = ReadImportNumber(number, PlaceCount(game));
  } catch (const LoadError& e) {
    throw LoadError(e.what(), line, e.reason());
  }
  draw.line = static_cast<std::uint32_t>(line);
  for (std::size_t kind = 0; kind < PayoutColumnCount(game); ++kind) {
    if (payouts[kind] && *payouts[kind] < split.fields.size()) {
      const std::u16string& field = split.fields[*payouts[kind]];
      const std::optional<std::uint32_t> yen = ReadPayout(field);
      if (!yen) {
        throw LoadError("bad payout", line, PayoutReason(field, static_cast<PayoutKind>(kind)));
      }
      draw.payouts[kind] = *yen;
    }
  }
  return draw;
}

// What differs between two lines of one round, in words ("2018/6/12 123 there, 2018/6/12 124
// here"); empty when they agree. Payouts differ only where both lines know them.
std::string Difference(const ImportedDraw& there, const ImportedDraw& here, Game game) {
  if (here.date != there.date || here.digits != there.digits) {
    return "another draw (" + HistoryDateText(there.date) + " " +
           WinningNumberText(there.digits, game) + " there, " + HistoryDateText(here.date) + " " +
           WinningNumberText(here.digits, game) + " here)";
  }
  const std::string payouts = PayoutDifference(there.payouts, here.payouts);
  return payouts.empty() ? payouts : "another payout (" + payouts + ")";
}

// Draws sorted by round, then line. A round's later line conflicts when it differs from the
// round's first line; throws for the conflicting line that comes first in the file, if it comes
// before `before`.
void ThrowFirstConflict(const std::vector<ImportedDraw>& draws, std::uint64_t before, Game game) {
  const ImportedDraw* first = nullptr;
  const ImportedDraw* earlier = nullptr;
  const ImportedDraw* conflicting = nullptr;
  for (const ImportedDraw& draw : draws) {
    if (first == nullptr || first->round != draw.round) {
      first = &draw;
    } else if (draw.line < before && (conflicting == nullptr || draw.line < conflicting->line) &&
               !Difference(*first, draw, game).empty()) {
      earlier = first;
      conflicting = &draw;
    }
  }
  if (conflicting == nullptr) {
    return;
  }
  throw LoadError("conflicting round", conflicting->line,
                  "round " + std::to_string(conflicting->round) + " is also on line " +
                      std::to_string(earlier->line) + " with " +
                      Difference(*earlier, *conflicting, game));
}

// The order of the rounds as their lines come in the file: draws each once, sorted by round.
SourceOrder OrderInTheFile(std::vector<ImportedDraw>& draws) {
  std::sort(draws.begin(), draws.end(),
            [](const ImportedDraw& a, const ImportedDraw& b) { return a.line < b.line; });
  OrderTracker order;
  for (const ImportedDraw& draw : draws) {
    order.Note(draw.round);
  }
  std::sort(draws.begin(), draws.end(),
            [](const ImportedDraw& a, const ImportedDraw& b) { return a.round < b.round; });
  return order.Order();
}

// UTF-8 when a regular file starts with its byte-order mark or is valid UTF-8 with non-ASCII
// bytes; else code page 932. Anything else cannot be read twice.
TextEncoding FoundEncoding(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return TextEncoding::kCp932;
  }
  std::ifstream file(path, std::ios::binary);
  char mark[3] = {};
  const bool marked = file.read(mark, sizeof mark) && std::string_view(mark, 3) == "\xEF\xBB\xBF";
  return marked || LooksLikeUtf8(path) ? TextEncoding::kUtf8 : TextEncoding::kCp932;
}

// The draw lines, checked, in ascending rounds; throws LoadError on the first failing line.
// `bytes`, when given, are the file's, already read, and converted instead of the file.
void Convert(const std::string& path, const std::optional<std::string_view>& bytes,
             const ImportOptions& options, ImportResult& result) {
  result.encodingFound = !options.encoding;
  result.encoding = options.encoding ? *options.encoding
                    : bytes          ? TextEncoding::kCp932
                                     : FoundEncoding(path);
  const bool utf8 = result.encoding == TextEncoding::kUtf8;
  std::unique_ptr<TextDecoder> decoder =
      utf8 ? std::make_unique<Utf8Decoder>() : std::unique_ptr<TextDecoder>(Cp932Decoder::Open());
  if (!decoder) {
    throw LoadError("no converter", 0, "this system has no code page 932 converter");
  }
  const char* encodingName = utf8 ? "UTF-8" : "code page 932";
  HistoryLineReader reader = bytes ? HistoryLineReader(*bytes, *decoder, encodingName)
                                   : HistoryLineReader(path, *decoder, encodingName);
  if (!reader.IsOpen()) {
    const int error = reader.OpenError();
    throw LoadError(
        "cannot open", 0,
        error == EISDIR ? "is a directory" : std::string("cannot open: ") + std::strerror(error));
  }
  std::u16string_view line;
  if (!reader.Next(line)) {
    throw LoadError("empty", 0, "is empty (no header line)");
  }
  if (!line.empty() && line.front() == kByteOrderMark) {
    line.remove_prefix(1);
  }
  result.header = SplitImportLine(line, kMaxImportColumns).fields;
  const ImportColumns columns = ColumnsOf(result.header, options, result);
  result.columns = columns;
  PayoutColumns payouts = FindPayoutColumns(result.header);
  result.unreadPayoutNames = UnreadPayoutNames(result.header, 0, payouts);
  std::size_t fieldsKept = columns.FieldsNeeded();
  for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
    if (kind >= PayoutColumnCount(options.game)) {
      result.miniColumn = result.miniColumn || payouts[kind].has_value();
      payouts[kind].reset();
    }
    if (payouts[kind]) {
      result.payoutColumns = true;
      fieldsKept = std::max(fieldsKept, *payouts[kind] + 1);
    }
  }
  result.payoutFields = payouts;

  // Every draw line is kept until the whole source has been read, in 36 bytes with its line and
  // payouts; repeats and conflicts are found afterwards by sorting, which needs no more memory.
  // Reading stops at the first line that fails on its own; a conflict on an earlier line is
  // still the one reported, as it comes first in the file.
  std::vector<ImportedDraw>& draws = result.draws;
  if (!options.lastDrawOnly) {
    draws.reserve(static_cast<std::size_t>(reader.SizeHint() / kShortestDrawLine));
  }
  std::optional<LoadError> failed;
  std::uint64_t failedAt = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t drawLines = 0;
  std::uint64_t threeDigitNumbers = 0;
  // An append needs only the last draw: the plain lines before it are judged from their bytes,
  // which proves them as the general way would, without decoding and splitting each.
  std::optional<PlainHistoryLines> plain;
  if (options.lastDrawOnly && columns == kHistoryColumnsRead &&
      std::all_of(payouts.at.begin(), payouts.at.end(), [](const std::optional<std::size_t>& at) {
        return !at || *at >= kHistoryFields;
      })) {
    plain.emplace(*decoder, result.encoding, options.game);
  }
  // The last draw line's bytes, when it was judged from them.
  std::array<char, PlainHistoryLines::kMostBytes> lastPlainLine{};
  std::size_t lastPlainLineSize = 0;
  std::uint64_t lastPlainLineNumber = 0;
  std::uint64_t lastPlainThreeDigits = 0;
  try {
    ImportLine split;  // its room reused line after line
    const auto readDraw = [&](std::u16string_view text, std::uint64_t lineNumber) {
      SplitImportLine(text, fieldsKept, split);
      if (split.blank) {
        return;
      }
      if (options.game == Game::kNumbers4 && split.fields.size() > columns.number &&
          split.fields[columns.number].size() == 3) {
        ++threeDigitNumbers;
      }
      ImportedDraw draw =
          ReadDraw(split, columns, payouts, lineNumber, options.game, options.firstThreeOfLonger);
      ++drawLines;
      if (options.lastDrawOnly && !draws.empty()) {
        draws.back() = draw;
      } else {
        draws.push_back(draw);
      }
    };
    std::string_view bytes;
    while (reader.NextBytes(bytes)) {
      if (plain && reader.LineNumber() <= std::numeric_limits<std::uint32_t>::max()) {
        if (const std::size_t digits = plain->Accepts(bytes); digits != 0) {
          lastPlainThreeDigits = options.game == Game::kNumbers4 && digits == 3 ? 1 : 0;
          ++drawLines;
          threeDigitNumbers += lastPlainThreeDigits;
          lastPlainLineSize = bytes.size();
          std::memcpy(lastPlainLine.data(), bytes.data(), bytes.size());
          lastPlainLineNumber = reader.LineNumber();
          continue;
        }
      }
      const std::uint64_t before = drawLines;
      readDraw(reader.Decode(bytes), reader.LineNumber());
      lastPlainLineNumber = drawLines != before ? 0 : lastPlainLineNumber;
    }
    if (lastPlainLineNumber != 0) {
      // Counted once already, and read again now for its draw.
      --drawLines;
      threeDigitNumbers -= lastPlainThreeDigits;
      readDraw(reader.Decode(std::string_view(lastPlainLine.data(), lastPlainLineSize)),
               lastPlainLineNumber);
    }
  } catch (const LoadError& e) {
    failed = e;
    // A failure of the file as a whole (a line too long) is on the line after the last read.
    failedAt = e.line() != 0 ? e.line() : reader.LineNumber() + 1;
  }
  result.allThreeDigitNumbers = drawLines != 0 && threeDigitNumbers == drawLines;
  std::sort(draws.begin(), draws.end(), [](const ImportedDraw& a, const ImportedDraw& b) {
    return a.round != b.round ? a.round < b.round : a.line < b.line;
  });
  ThrowFirstConflict(draws, failedAt, options.game);
  if (failed) {
    throw *failed;
  }
  if (draws.empty()) {
    throw LoadError("no draws", 0, "has no draw lines after the header");
  }
  // Each round once, as its first line gives it; the order is that of those lines.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < draws.size(); ++i) {
    if (kept != 0 && draws[kept - 1].round == draws[i].round) {
      ++result.repeatedLines;
      for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
        std::uint32_t& known = draws[kept - 1].payouts[kind];
        known = known != 0 ? known : draws[i].payouts[kind];
      }
    } else {
      draws[kept++] = draws[i];
    }
  }
  draws.resize(kept);
  result.order = OrderInTheFile(draws);
}

}  // namespace

std::uint64_t ImportResult::MissingRounds() const {
  if (draws.empty()) {
    return 0;
  }
  const std::int64_t span =
      std::int64_t{draws.back().round} - std::int64_t{draws.front().round} + 1;
  return static_cast<std::uint64_t>(span) - draws.size();
}

namespace {

bool ConvertSource(const std::string& path, const std::optional<std::string_view>& bytes,
                   const ImportOptions& options, ImportResult& result) {
  result = ImportResult{};
  result.game = options.game;
  try {
    Convert(path, bytes, options, result);
    return true;
  } catch (const LoadError& e) {
    result.line = e.line();
    result.reason = e.reason();
  } catch (const std::bad_alloc&) {
    result.line = 0;
    result.reason = "too large to convert in memory";
  } catch (const std::exception& e) {
    result.line = 0;
    result.reason = e.what();
  }
  result.draws.clear();
  return false;
}

}  // namespace

bool ConvertHistorySource(const std::string& path, const ImportOptions& options,
                          ImportResult& result) {
  return ConvertSource(path, std::nullopt, options, result);
}

bool ConvertHistoryBytes(std::string_view bytes, const ImportOptions& options,
                         ImportResult& result) {
  return ConvertSource("", bytes, options, result);
}

std::string HistoryLine(const ImportedDraw& draw, Game game, bool payouts) {
  PayoutColumns columns;
  for (std::size_t kind = 0; payouts && kind < PayoutColumnCount(game); ++kind) {
    columns[kind] = kHistoryFields + kind;
  }
  return HistoryLine(draw, game, columns);
}

std::string HistoryLine(const ImportedDraw& draw, Game game, const PayoutColumns& payouts) {
  std::string line = "第" + std::to_string(draw.round) + "回," + HistoryDateText(draw.date) + "," +
                     WeekdayText(draw.date) + "," + WinningNumberText(draw.digits, game);
  std::size_t fields = kHistoryFields;
  for (const std::optional<std::size_t>& at : payouts.at) {
    fields = std::max(fields, at.value_or(0) + 1);
  }
  for (std::size_t field = kHistoryFields; field < fields; ++field) {
    line += ",";
    for (std::size_t kind = 0; kind < PayoutColumnCount(game); ++kind) {
      if (payouts[kind] == field && draw.payouts[kind] != 0) {
        line += std::to_string(draw.payouts[kind]);
      }
    }
  }
  return line;
}

bool WriteHistoryFile(const std::vector<ImportedDraw>& draws, Game game, bool payouts,
                      const ByteSink& sink, std::string& error, TextEncoding encoding) {
  // Converted and handed on a piece at a time, so a million draws never sit in memory as text.
  constexpr std::size_t kPiece = std::size_t{64} * 1024;
  std::string text = (payouts ? PayoutHistoryHeader(game) : std::string(kHistoryHeader)) + "\n";
  for (std::size_t i = 0; i <= draws.size(); ++i) {
    if (i < draws.size()) {
      text += HistoryLine(draws[i], game, payouts);
      text += '\n';
    }
    if (text.size() >= kPiece || i == draws.size()) {
      const std::optional<std::string> bytes =
          encoding == TextEncoding::kUtf8 ? std::optional(text) : Utf8ToCp932(text);
      if (!bytes) {
        error = "this system has no code page 932 converter";
        return false;
      }
      if (!sink(*bytes)) {
        return false;
      }
      text.clear();
    }
  }
  return true;
}

std::optional<std::string> HistoryFileBytes(const std::vector<ImportedDraw>& draws, Game game,
                                            bool payouts) {
  std::string bytes;
  std::string error;
  const bool written = WriteHistoryFile(
      draws, game, payouts,
      [&bytes](std::string_view piece) {
        bytes += piece;
        return true;
      },
      error);
  return written ? std::optional(std::move(bytes)) : std::nullopt;
}

bool WriteImportedHistory(const std::string& source, const std::string& dest,
                          const ImportResult& result, std::string& error, WriteCall write) {
  struct stat from {};
  struct stat to {};
  if (::stat(source.c_str(), &from) == 0 && ::stat(dest.c_str(), &to) == 0 &&
      from.st_dev == to.st_dev && from.st_ino == to.st_ino) {
    error = "is the source file itself";
    return false;
  }
  // A history being added to elsewhere is not replaced in the middle of that.
  WriteLock lock;
  if (!lock.Acquire(dest, error)) {
    return false;
  }
  return ReplaceFile(
      dest,
      [&result](const ByteSink& sink, std::string& why) {
        return WriteHistoryFile(result.draws, result.game, result.payoutColumns, sink, why);
      },
      error, write);
}

std::string ImportSummary(const ImportResult& result) {
  const char* order = result.order == SourceOrder::kNewestFirst ? "newest first"
                      : result.order == SourceOrder::kMixed     ? "in mixed order"
                                                                : "oldest first";
  std::string rounds = "no rounds";
  if (!result.draws.empty()) {
    rounds = "rounds " + std::to_string(result.draws.front().round) + " to " +
             std::to_string(result.draws.back().round);
  }
  return Counted(result.draws.size(), "draw", "draws") + " written, " + rounds + ", " +
         Counted(result.MissingRounds(), "round", "rounds") + " missing, " +
         Counted(result.repeatedLines, "repeated line", "repeated lines") + ", source " + order +
         (result.encodingFound && result.encoding == TextEncoding::kUtf8 ? ", read as UTF-8" : "") +
         "; " + ImportColumnsText(result);
}

std::string ImportColumnsText(const ImportResult& result) {
  const auto name = [&result](std::size_t field) {
    if (field >= result.header.size() || result.header[field].empty()) {
      return "#" + std::to_string(field);
    }
    const std::u16string& text = result.header[field];
    const bool plain = std::none_of(text.begin(), text.end(), [](char16_t c) {
      return c < 0x20 || c == 0x7F || c == u',' || c == u'"' || (c >= 0x80 && c < 0xA0);
    });
    return plain ? Utf16ToUtf8(text) : QuotedText(text);
  };
  if (!result.columns) {
    return "columns: none";
  }
  std::string text = "columns: round=" + name(result.columns->round) +
                     ", date=" + name(result.columns->date) +
                     ", number=" + name(result.columns->number);
  for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
    if (result.payoutFields[kind]) {
      text += ", " + std::string(kPayoutKindWords[kind]) + "=" + name(*result.payoutFields[kind]);
    }
  }
  return text;
}

std::string ImportFailureDetail(const std::string& path, const ImportResult& result) {
  return result.line == 0 ? path + ": " + result.reason
                          : path + ":" + std::to_string(result.line) + ": " + result.reason;
}

}  // namespace tolvane
