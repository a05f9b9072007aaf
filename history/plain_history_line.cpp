#include "history/plain_history_line.h"

#include <chrono>

namespace tolvane {
namespace {

bool IsAsciiDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The number written by the digits from `at` (one or two of them, or four for a year), moving
// `at` past them; -1 when they are not there.
int ReadDigits(std::string_view text, std::size_t& at, std::size_t fewest, std::size_t most) {
  int value = 0;
  std::size_t read = 0;
  while (read < most && at < text.size() && IsAsciiDigit(text[at])) {
    value = value * 10 + (text[at] - '0');
    ++at;
    ++read;
  }
  return read >= fewest ? value : -1;
}

}  // namespace

PlainHistoryLines::PlainHistoryLines(TextDecoder& decoder, TextEncoding encoding, Game game)
    : plain_(decoder, encoding, PlaceCount(game)),
      places_(static_cast<std::size_t>(PlaceCount(game))) {}

std::size_t PlainHistoryLines::Accepts(std::string_view line) {
  // The plain shape first: it proves that the line decodes, that 第 and 回 hold only ASCII digits
  // between them and that field 2 holds no comma, quote or carriage return.
  if (!plain_.Check(line)) {
    return 0;
  }
  // Neither 第 nor 回 has a comma byte, so the first comma ends the round.
  std::size_t at = line.find(',') + 1;
  const int year = ReadDigits(line, at, 4, 4);
  const int month = at < line.size() && line[at] == '/' ? ReadDigits(line, ++at, 1, 2) : -1;
  const int day = at < line.size() && line[at] == '/' ? ReadDigits(line, ++at, 1, 2) : -1;
  if (year < 0 || month < 0 || day < 0 || at >= line.size() || line[at] != ',') {
    return 0;
  }
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) {
    return 0;  // the general way says which day is not one
  }
  // Field 2, then the winning number as the line's last field: payouts and other fields after
  // it take the general way.
  const std::size_t field2End = line.find(',', at + 1);
  if (field2End == std::string_view::npos) {
    return 0;
  }
  std::size_t end = line.size();
  end -= line.back() == '\r' ? 1 : 0;
  std::size_t digits = 0;
  for (std::size_t i = field2End + 1; i < end; ++i, ++digits) {
    if (!IsAsciiDigit(line[i])) {
      return 0;
    }
  }
  return digits <= places_ ? digits : 0;
}

}  // namespace tolvane
