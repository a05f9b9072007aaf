#include "history/plain_history_line.h"

#include <chrono>

namespace tolvane {

PlainHistoryLines::PlainHistoryLines(TextDecoder& decoder, TextEncoding encoding, Game game)
    : plain_(decoder, encoding, PlaceCount(game)),
      places_(static_cast<std::size_t>(PlaceCount(game))) {}

std::size_t PlainHistoryLines::Accepts(std::string_view line) {
  // The plain shape first: it proves that the line decodes, that 第 and 回 hold only ASCII digits
  // between them and that field 2 holds no comma, quote or carriage return.
  CheckedDraw draw{};
  if (line.size() > kMostBytes || !plain_.Check(line, draw)) {
    return 0;
  }
  const PlainDrawLines::Shape& shape = plain_.LastShape();
  const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(shape.year)),
                                         std::chrono::month(shape.month),
                                         std::chrono::day(shape.day)};
  if (!date.ok()) {
    return 0;  // the general way says which day is not one
  }
  // The winning number as the line's last field: payouts and other fields after it take the
  // general way.
  return shape.lastFieldDigits <= places_ ? shape.lastFieldDigits : 0;
}

}  // namespace tolvane
