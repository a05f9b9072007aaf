// Arbitrary UTF-16 text as the typed round: the reading must never overflow and must agree with
// a plain reference that reads the digits into a wide integer and clamps afterwards.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "app/prediction_command.h"
#include "core/leading_integer.h"

namespace {

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// The leading integer with every digit read, then clamped to the 32-bit range.
std::int64_t Reference(const std::u16string& text, bool& hasDigits, bool& outOfRange) {
  std::size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos])) {
    ++pos;
  }
  const bool negative = pos < text.size() && text[pos] == u'-';
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    ++pos;
  }
  __int128 magnitude = 0;
  hasDigits = false;
  outOfRange = false;
  for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
    hasDigits = true;
    magnitude = magnitude * 10 + (text[pos] - u'0');
    if (magnitude > (__int128{1} << 40)) {
      magnitude = __int128{1} << 40;  // far past the range; stays there
      outOfRange = true;
    }
  }
  __int128 value = negative ? -magnitude : magnitude;
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  if (value > kMax || value < kMin) {
    outOfRange = true;
    value = value > kMax ? kMax : kMin;
  }
  return static_cast<std::int64_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  bool hasDigits = false;
  bool outOfRange = false;
  const std::int64_t expected = Reference(text, hasDigits, outOfRange);

  Check(tolvane::RoundNumberFromText(text) == expected);
  const tolvane::LeadingInteger strict =
      tolvane::ReadLeadingInteger(text, tolvane::OnOverflow::kFail);
  using Status = tolvane::LeadingInteger::Status;
  Check(strict.status == (!hasDigits   ? Status::kNoDigits
                          : outOfRange ? Status::kOutOfRange
                                       : Status::kOk));
  Check(!hasDigits || strict.value == expected);
  return 0;
}
