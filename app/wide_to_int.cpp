#include <cstdint>
#include <limits>
#include <string>

#include "app/prediction_command.h"

namespace tolvane {
namespace {

bool IsLeadingSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

}  // namespace

// Values past the int range saturate at INT_MAX or INT_MIN (what the runtime's _wtoi returns on
// overflow), so any text, however many digits it has, converts without undefined behaviour.
int WideToInt(const std::u16string& text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsLeadingSpace(text[pos])) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                      : std::numeric_limits<int>::max();
  std::int64_t magnitude = 0;
  for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
    magnitude = magnitude * 10 + (text[pos] - u'0');
    if (magnitude > limit) {
      magnitude = limit;  // stays small enough that the next step cannot overflow
    }
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace tolvane
