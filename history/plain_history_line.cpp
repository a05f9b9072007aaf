#include "history/plain_history_line.h"

#include <chrono>

namespace tolvane {
namespace {

bool IsAsciiDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The number the ASCII digits from `at` write, moving `at` past them.
unsigned ReadNumber(std::string_view text, std::size_t& at) {
  unsigned value = 0;
  for (; at < text.size() && IsAsciiDigit(text[at]); ++at) {
    value = value * 10 + static_cast<unsigned>(text[at] - '0');
  }
  return value;
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
  // The check has matched ",YYYY/M/D," after the round, and neither 第 nor 回 has a comma byte:
  // the first comma starts the date, and each of its parts ends at the byte after it.
  std::size_t at = line.find(',') + 1;
  const unsigned year = ReadNumber(line, at);
  const unsigned month = ReadNumber(line, ++at);
  const unsigned day = ReadNumber(line, ++at);
  const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(year)),
                                         std::chrono::month(month), std::chrono::day(day)};
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
