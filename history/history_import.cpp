#include "history/history_import.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

#include "core/cp932.h"
#include "core/utf.h"
#include "history/history_line_reader.h"
#include "history/import_fields.h"
#include "history/load_report.h"

namespace tolvane {
namespace {

constexpr char16_t kByteOrderMark = u'\uFEFF';
constexpr const char* kWeekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
constexpr const char* kHistoryHeader = "回別,抽せん日,曜日,当せん番号";

std::string Counted(std::uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string DateText(const std::chrono::year_month_day& date) {
  const int year = static_cast<int>(date.year());
  std::string text = std::to_string(year);
  // The history format wants four digits of year.
  text.insert(0, text.size() < 4 ? 4 - text.size() : 0, '0');
  return text + "/" + std::to_string(static_cast<unsigned>(date.month())) + "/" +
         std::to_string(static_cast<unsigned>(date.day()));
}

std::string NumberText(const std::array<std::uint8_t, 3>& digits) {
  return {static_cast<char>('0' + digits[0]), static_cast<char>('0' + digits[1]),
          static_cast<char>('0' + digits[2])};
}

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

bool AllEmpty(const std::vector<std::u16string>& fields) {
  return std::all_of(fields.begin(), fields.end(),
                     [](const std::u16string& field) { return field.empty(); });
}

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

// The draw lines, checked, in ascending rounds; throws LoadError on the first failing line.
void Convert(const std::string& path, const ImportOptions& options, ImportResult& result) {
  const bool utf8 = options.encoding == TextEncoding::kUtf8;
  std::unique_ptr<TextDecoder> decoder =
      utf8 ? std::make_unique<Utf8Decoder>() : std::unique_ptr<TextDecoder>(Cp932Decoder::Open());
  if (!decoder) {
    throw LoadError("no converter", 0, "this system has no code page 932 converter");
  }
  HistoryLineReader reader(path, *decoder, utf8 ? "UTF-8" : "code page 932");
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
  result.header = SplitImportFields(line);
  const ImportColumns columns = ColumnsOf(result.header, options, result);
  result.columns = columns;

  struct Seen {
    std::size_t index;
    std::uint64_t line;
  };
  std::unordered_map<std::int32_t, Seen> seen;
  OrderTracker order;
  while (reader.Next(line)) {
    const std::vector<std::u16string> fields = SplitImportFields(line);
    if (AllEmpty(fields)) {
      continue;
    }
    const std::uint64_t number = reader.LineNumber();
    if (fields.size() < columns.FieldsNeeded()) {
      throw LoadError("not enough fields", number,
                      Counted(fields.size(), "field", "fields") + "; a draw line needs at least " +
                          std::to_string(columns.FieldsNeeded()));
    }
    ImportedDraw draw;
    try {
      draw.round = ReadImportRound(fields[columns.round]);
      draw.date = ReadImportDate(fields[columns.date]);
      draw.digits = ReadImportNumber(fields[columns.number]);
    } catch (const LoadError& e) {
      throw LoadError(e.what(), number, e.reason());
    }
    const auto [at, first] = seen.try_emplace(draw.round, Seen{result.draws.size(), number});
    if (!first) {
      const ImportedDraw& earlier = result.draws[at->second.index];
      if (earlier.date == draw.date && earlier.digits == draw.digits) {
        ++result.repeatedLines;
        continue;
      }
      throw LoadError("conflicting round", number,
                      "round " + std::to_string(draw.round) + " is also on line " +
                          std::to_string(at->second.line) + " with another draw (" +
                          DateText(earlier.date) + " " + NumberText(earlier.digits) + " there, " +
                          DateText(draw.date) + " " + NumberText(draw.digits) + " here)");
    }
    order.Note(draw.round);
    result.draws.push_back(draw);
  }
  if (result.draws.empty()) {
    throw LoadError("no draws", 0, "has no draw lines after the header");
  }
  result.order = order.Order();
  std::sort(result.draws.begin(), result.draws.end(),
            [](const ImportedDraw& a, const ImportedDraw& b) { return a.round < b.round; });
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

bool ConvertHistorySource(const std::string& path, const ImportOptions& options,
                          ImportResult& result) {
  result = ImportResult{};
  try {
    Convert(path, options, result);
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

std::string HistoryLine(const ImportedDraw& draw) {
  const unsigned weekday = std::chrono::weekday(std::chrono::sys_days(draw.date)).iso_encoding();
  return "第" + std::to_string(draw.round) + "回," + DateText(draw.date) + "," +
         kWeekdays[weekday - 1] + "," + NumberText(draw.digits);
}

std::optional<std::string> HistoryFileBytes(const std::vector<ImportedDraw>& draws) {
  std::string text = std::string(kHistoryHeader) + "\n";
  for (const ImportedDraw& draw : draws) {
    text += HistoryLine(draw);
    text += '\n';
  }
  return Utf8ToCp932(text);
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
  const std::optional<std::string> bytes = HistoryFileBytes(result.draws);
  if (!bytes) {
    error = "this system has no code page 932 converter";
    return false;
  }
  return ReplaceFileContents(dest, *bytes, error, write);
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
         Counted(result.repeatedLines, "repeated line", "repeated lines") + ", source " + order;
}

std::string ImportFailureDetail(const std::string& path, const ImportResult& result) {
  return result.line == 0 ? path + ": " + result.reason
                          : path + ":" + std::to_string(result.line) + ": " + result.reason;
}

}  // namespace tolvane
