#include "history/history_update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "core/cp932.h"
#include "history/import_fields.h"
#include "history/payouts.h"

namespace tolvane {
namespace {

using std::chrono::year_month_day;

// A history's draw lines in the import's terms: round, date and winning number in fields 0, 1
// and 3.
constexpr ImportColumns kHistoryColumns{0, 1, 3};

std::optional<std::string> InEncoding(const std::string& utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::kUtf8) {
    return utf8;
  }
  return Utf8ToCp932(utf8);
}

std::string LineEnd(const HistoryContents& history) { return history.crlf ? "\r\n" : "\n"; }

// "2019/12/17 123".
std::string DrawText(const ImportedDraw& draw, Game game) {
  return HistoryDateText(draw.date) + " " + WinningNumberText(draw.digits, game);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, int& error) {
  // Not blocking: a FIFO put in the file's place must not make the open wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return false;
  }
  struct stat info {};
  bytes.clear();
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    error = EISDIR;
    return false;
  }
  if (info.st_size > 0) {
    bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
  }
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  for (;;) {
    const std::size_t had = bytes.size();
    // Into the room reserved for the file's size; a file that grew gets more.
    bytes.resize(had + (bytes.capacity() > had ? bytes.capacity() - had : kChunk));
    const ssize_t n = ::read(fd, bytes.data() + had, bytes.size() - had);
    if (n < 0 && errno == EINTR) {
      bytes.resize(had);
      continue;
    }
    bytes.resize(had + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    if (n <= 0) {
      error = n < 0 ? errno : 0;
      ::close(fd);
      return n == 0;
    }
  }
}

namespace {

// Whether the newest lines' dates write a month or day below 10 with a leading zero: the first
// date (from the end) with such a month or day tells.
bool PaddedDates(std::string_view bytes) {
  constexpr int kLinesLookedAt = 100;
  std::size_t end = bytes.size();
  for (int looked = 0; looked < kLinesLookedAt && end > 0; ++looked) {
    const std::size_t feed = bytes.rfind('\n', end - 1);
    const std::size_t start = feed == std::string_view::npos ? 0 : feed + 1;
    const std::string_view line = bytes.substr(start, end - start);
    end = feed == std::string_view::npos ? 0 : feed;
    const std::size_t comma = line.find(',');
    const std::size_t next = comma == std::string_view::npos ? comma : line.find(',', comma + 1);
    if (next == std::string_view::npos) {
      continue;
    }
    const std::string_view date = line.substr(comma + 1, next - comma - 1);
    const std::size_t first = date.find_first_of("/-");
    const std::size_t second =
        first == std::string_view::npos ? first : date.find_first_of("/-", first + 1);
    if (second == std::string_view::npos) {
      continue;
    }
    for (const std::string_view part :
         {date.substr(first + 1, second - first - 1), date.substr(second + 1)}) {
      if (part.size() == 1) {
        return false;
      }
      if (part.size() == 2 && part[0] == '0') {
        return true;
      }
    }
  }
  return false;
}

// A new draw's line in the history's own style, before its encoding.
std::string NewLine(const HistoryContents& history, const ImportedDraw& draw) {
  std::string line = HistoryLine(draw, history.options.game, history.payoutColumns);
  if (history.paddedDates) {
    const std::size_t comma = line.find(',');
    const std::size_t next = line.find(',', comma + 1);
    std::array<char, 16> padded{};
    std::snprintf(padded.data(), padded.size(), "%04d/%02u/%02u",
                  static_cast<int>(draw.date.year()), static_cast<unsigned>(draw.date.month()),
                  static_cast<unsigned>(draw.date.day()));
    line.replace(comma + 1, next - comma - 1, padded.data());
  }
  return line + LineEnd(history);
}

// Where each line starts in `bytes`, and one past the end.
std::vector<std::size_t> LineStarts(std::string_view bytes) {
  std::vector<std::size_t> starts = {0};
  for (std::size_t at = bytes.find('\n'); at != std::string_view::npos;
       at = bytes.find('\n', at + 1)) {
    starts.push_back(at + 1);
  }
  if (starts.back() != bytes.size()) {
    starts.push_back(bytes.size());
  }
  return starts;
}

}  // namespace

bool ReadHistoryContents(const std::string& path, const LoadOptions& options,
                         HistoryContents& contents, ImportResult& failure) {
  int error = 0;
  if (!ReadWholeFile(path, contents.bytes, error)) {
    failure.line = 0;
    failure.reason = std::string("cannot be read: ") + std::strerror(error);
    return false;
  }
  return ReadHistoryContents(std::string_view(contents.bytes), options, contents, failure);
}

bool ReadHistoryContents(std::string_view bytes, const LoadOptions& options,
                         HistoryContents& contents, ImportResult& failure, bool lastDrawOnly) {
  ImportOptions reading;
  reading.encoding = options.encoding;
  reading.columns = kHistoryColumns;
  reading.game = options.game;
  reading.firstThreeOfLonger = true;  // the load before this has warned about those
  reading.lastDrawOnly = lastDrawOnly;
  if (!ConvertHistoryBytes(bytes, reading, failure)) {
    // A history with only its header has nothing to convert, and nothing wrong with it.
    if (failure.line != 0 || failure.reason != "has no draw lines after the header") {
      return false;
    }
  }
  contents.draws = std::move(failure.draws);
  contents.options = options;
  contents.payoutColumns = HistoryPayoutColumns(failure.header, options.game);
  contents.paddedDates = PaddedDates(bytes);
  const std::size_t firstEnd = bytes.find('\n');
  contents.crlf = firstEnd != std::string_view::npos && firstEnd > 0 && bytes[firstEnd - 1] == '\r';
  contents.lastLineOpen = !bytes.empty() && bytes.back() != '\n';
  return true;
}

year_month_day NextDrawDay(year_month_day date) {
  std::chrono::sys_days day(date);
  for (;;) {
    day += std::chrono::days(1);
    const year_month_day next(day);
    const unsigned weekday = std::chrono::weekday(day).iso_encoding();  // 1 Monday .. 7 Sunday
    const auto month = static_cast<unsigned>(next.month());
    const auto dayOfMonth = static_cast<unsigned>(next.day());
    const bool yearEnd = (month == 12 && dayOfMonth == 31) || (month == 1 && dayOfMonth <= 3);
    if (weekday <= 5 && !yearEnd) {
      return next;
    }
  }
}

std::optional<year_month_day> ReadDrawDate(std::string_view text) {
  if (text.find('/') == std::string_view::npos && text.find('-') == std::string_view::npos) {
    return std::nullopt;  // YYYYMMDD and the kanji form are for results files only
  }
  try {
    const std::u16string field(text.begin(), text.end());
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
      return std::nullopt;
    }
    return ReadImportDate(field);
  } catch (const LoadError&) {
    return std::nullopt;
  }
}

std::optional<std::string> AppendedBytes(const HistoryContents& history, const ImportedDraw& draw) {
  std::optional<std::string> line = InEncoding(NewLine(history, draw), history.options.encoding);
  if (line && history.lastLineOpen) {
    line->insert(0, LineEnd(history));
  }
  return line;
}

std::optional<std::string> WithDrawAppended(const HistoryContents& history,
                                            const ImportedDraw& draw) {
  const std::optional<std::string> added = AppendedBytes(history, draw);
  return added ? std::optional(history.bytes + *added) : std::nullopt;
}

MergePlan PlanMerge(const HistoryContents& history, const std::vector<ImportedDraw>& source) {
  MergePlan plan;
  const Game game = history.options.game;
  std::vector<ImportedDraw> byRound = history.draws;
  std::sort(byRound.begin(), byRound.end(),
            [](const ImportedDraw& a, const ImportedDraw& b) { return a.round < b.round; });
  for (const ImportedDraw& draw : source) {
    const auto held = std::lower_bound(
        byRound.begin(), byRound.end(), draw.round,
        [](const ImportedDraw& entry, std::int32_t round) { return entry.round < round; });
    if (held == byRound.end() || held->round != draw.round) {
      plan.added.push_back(draw);
    } else if (held->date == draw.date && held->digits == draw.digits) {
      ++plan.alreadyThere;
      const std::string payouts = PayoutDifference(held->payouts, draw.payouts);
      if (!payouts.empty() && plan.otherPayouts++ == 0) {
        plan.payoutSourceLine = draw.line;
        plan.payoutHistoryLine = held->line;
        plan.payoutConflict =
            "round " + std::to_string(draw.round) + " with other payouts (" + payouts + ")";
      }
    } else if (plan.sourceLine == 0 || draw.line < plan.sourceLine) {
      plan.sourceLine = draw.line;
      plan.historyLine = held->line;
      plan.conflict = "round " + std::to_string(draw.round) + " is " + DrawText(*held, game) +
                      " there, " + DrawText(draw, game) + " here";
    }
  }
  if (!byRound.empty() || !plan.added.empty()) {
    std::int32_t lowest = plan.added.empty() ? byRound.front().round : plan.added.front().round;
    std::int32_t highest = plan.added.empty() ? byRound.back().round : plan.added.back().round;
    if (!byRound.empty()) {
      lowest = std::min(lowest, byRound.front().round);
      highest = std::max(highest, byRound.back().round);
    }
    const std::int64_t span = std::int64_t{highest} - lowest + 1;
    plan.missingRounds = static_cast<std::uint64_t>(span) - byRound.size() - plan.added.size();
  }
  return plan;
}

bool WriteMergedHistory(const HistoryContents& history, const MergePlan& plan, const ByteSink& sink,
                        std::string& error) {
  const std::string_view bytes = history.bytes;
  const std::vector<std::size_t> starts = LineStarts(bytes);
  // The history's own lines from `from` up to the start of line `line` (1-based).
  std::size_t written = 0;
  const auto copyUpTo = [&](std::size_t offset) {
    const bool ok = sink(bytes.substr(written, offset - written));
    written = offset;
    return ok;
  };
  const auto addLine = [&](const ImportedDraw& draw) {
    if (written != 0 && bytes[written - 1] != '\n' && !sink(LineEnd(history))) {
      return false;
    }
    const std::optional<std::string> line =
        InEncoding(NewLine(history, draw), history.options.encoding);
    if (!line) {
      error = "a new line has no form in the history's encoding";
      return false;
    }
    return sink(*line);
  };
  std::size_t next = 0;  // the next history draw, in file order (ascending rounds)
  for (const ImportedDraw& draw : plan.added) {
    while (next < history.draws.size() && history.draws[next].round < draw.round) {
      ++next;
    }
    // Before the history's first later line, or after its last line.
    const std::size_t offset =
        next < history.draws.size() ? starts[history.draws[next].line - 1] : bytes.size();
    if (!copyUpTo(offset) || !addLine(draw)) {
      return false;
    }
  }
  return copyUpTo(bytes.size());
}

}  // namespace tolvane
