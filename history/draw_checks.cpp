#include "history/draw_checks.h"

#include <limits>
#include <stdexcept>

namespace tolvane {
namespace {

constexpr char16_t kRoundFirst = u'\u7B2C';  // 第
constexpr char16_t kRoundLast = u'\u56DE';   // 回

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsStoiSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// Counts the ASCII digits at `pos`, stopping after `most`.
std::size_t DigitRun(std::u16string_view text, std::size_t pos, std::size_t most) {
  std::size_t n = 0;
  while (n < most && pos + n < text.size() && IsAsciiDigit(text[pos + n])) {
    ++n;
  }
  return n;
}

}  // namespace

bool HasRoundShape(std::u16string_view field) {
  return field.size() >= 3 && field.front() == kRoundFirst && field.back() == kRoundLast;
}

std::int32_t ParseRoundNumber(std::u16string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsStoiSpace(text[pos])) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  if (pos >= text.size() || !IsAsciiDigit(text[pos])) {
    throw std::invalid_argument("invalid stoi argument");
  }
  // The magnitude saturates just past the range, so any number of digits is safe to read.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; pos < text.size() && IsAsciiDigit(text[pos]); ++pos) {
    magnitude = magnitude * 10 + (text[pos] - u'0');
    if (magnitude > kLimit) {
      magnitude = kLimit + 1;
    }
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max() ||
      value < std::numeric_limits<std::int32_t>::min()) {
    throw std::out_of_range("stoi argument out of range");
  }
  return static_cast<std::int32_t>(value);
}

bool IsDrawDate(std::u16string_view field) {
  if (DigitRun(field, 0, 4) != 4 || field.size() < 5 || field[4] != u'/') {
    return false;
  }
  const std::size_t month = DigitRun(field, 5, 2);
  const std::size_t slash = 5 + month;
  if (month == 0 || slash >= field.size() || field[slash] != u'/') {
    return false;
  }
  const std::size_t day = DigitRun(field, slash + 1, 2);
  return day != 0 && slash + 1 + day == field.size();
}

std::optional<std::array<std::uint8_t, 3>> ReadWinningNumber(std::u16string_view field) {
  if (field.empty()) {
    return std::nullopt;
  }
  // Short numbers are right-aligned behind "0" padding.
  const std::size_t padding = field.size() >= 3 ? 0 : 3 - field.size();
  std::array<std::uint8_t, 3> digits{};
  for (std::size_t place = 0; place < 3; ++place) {
    const char16_t c = place < padding ? u'0' : field[place - padding];
    if (!IsAsciiDigit(c)) {
      return std::nullopt;
    }
    digits[place] = static_cast<std::uint8_t>(c - u'0');
  }
  return digits;
}

}  // namespace tolvane
