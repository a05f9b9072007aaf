#pragma once

#include <cstdint>
#include <string_view>

namespace tolvane {

// Reads a decimal integer at the start of a text the way the C library's conversions do:
// leading white space (space, tab, line feed, vertical tab, form feed, carriage return) is
// skipped, one "+" or "-" is taken, then ASCII digits up to the first other character; whatever
// follows is ignored. Any number of digits is safe to read.
struct LeadingInteger {
  enum class Status { kOk, kNoDigits, kOutOfRange };
  Status status;
  std::int32_t value;  // 0 without digits; saturated at the 32-bit limits when out of range
};

enum class OnOverflow {
  kSaturate,  // a value past the 32-bit range becomes the nearest limit, status kOk
  kFail,      // ... status kOutOfRange
};

LeadingInteger ReadLeadingInteger(std::u16string_view text, OnOverflow overflow);

}  // namespace tolvane
