#include "core/leading_integer.h"

#include <limits>

namespace tolvane {
namespace {

bool IsLeadingSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

LeadingInteger ReadLeadingInteger(std::u16string_view text, OnOverflow overflow) {
  std::size_t pos = 0;
  while (pos < text.size() && IsLeadingSpace(text[pos])) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  if (pos >= text.size() || !IsAsciiDigit(text[pos])) {
    return {LeadingInteger::Status::kNoDigits, 0};
  }
  // The magnitude stops growing just past the limit, so the next step cannot overflow.
  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                      : std::int64_t{std::numeric_limits<std::int32_t>::max()};
  std::int64_t magnitude = 0;
  bool outOfRange = false;
  for (; pos < text.size() && IsAsciiDigit(text[pos]); ++pos) {
    magnitude = magnitude * 10 + (text[pos] - u'0');
    if (magnitude > limit) {
      magnitude = limit;
      outOfRange = true;
    }
  }
  const auto value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  if (outOfRange && overflow == OnOverflow::kFail) {
    return {LeadingInteger::Status::kOutOfRange, value};
  }
  return {LeadingInteger::Status::kOk, value};
}

}  // namespace tolvane
