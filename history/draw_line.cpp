#include "history/draw_line.h"

#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/leading_integer.h"
#include "core/quoted_text.h"
#include "core/utf.h"
#include "history/load_report.h"

namespace tolvane {
namespace {

constexpr char16_t kRoundFirst = u'\u7B2C';  // 第
constexpr char16_t kRoundLast = u'\u56DE';   // 回

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Counts the ASCII digits at `pos`, stopping after `most`.
std::size_t DigitRun(std::u16string_view text, std::size_t pos, std::size_t most) {
  std::size_t n = 0;
  while (n < most && pos + n < text.size() && IsAsciiDigit(text[pos + n])) {
    ++n;
  }
  return n;
}

// "<label><n> (<n>)": the trace shows a character's code twice. Built in place: the loader
// writes two of these for every line when it logs.
std::string CharacterLine(std::string_view label, char16_t unit) {
  std::array<char, 8> code{};
  const auto end =
      std::to_chars(code.data(), code.data() + code.size(), static_cast<unsigned>(unit)).ptr;
  const std::string_view digits(code.data(), static_cast<std::size_t>(end - code.data()));
  std::string line;
  line.reserve(label.size() + 2 * digits.size() + 3);
  line.append(label).append(digits).append(" (").append(digits).append(")");
  return line;
}

// Asks for transparent huge pages over the whole 2 MiB pages inside [data, data + bytes): a long
// history's series are written once from start to end, and with 4 KiB pages every page would be
// a fault of its own (a million draws: 6,000). Only advice; nothing changes where it is not
// taken.
void PreferHugePages(void* data, std::size_t bytes) {
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
  if (last > first) {
    ::madvise(reinterpret_cast<void*>(first), last - first,  // NOLINT(performance-no-int-to-ptr)
              MADV_HUGEPAGE);
  }
}

}  // namespace

void DrawFields::Split(std::u16string_view line) {
  views_.fill({});
  count_ = 1;
  // The common case, one pass: no quotes, so fields are plain slices of the line.
  std::size_t start = 0;
  std::size_t i = 0;
  const auto endField = [&](std::size_t comma) {
    if (count_ <= kKept) {
      views_[count_ - 1] = line.substr(start, comma - start);
    }
    ++count_;
    start = comma + 1;
  };
#if defined(__SSE2__)
  // Eight units at a time until a block holds a quote, which the loop below then meets.
  const __m128i commaUnits = _mm_set1_epi16(u',');
  const __m128i quoteUnits = _mm_set1_epi16(u'"');
  for (; i + 8 <= line.size(); i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(units, quoteUnits)) != 0) {
      break;
    }
    // Two mask bits per unit; keep one.
    auto commas =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, commaUnits))) & 0x5555U;
    for (; commas != 0; commas &= commas - 1) {
      endField(i + static_cast<std::size_t>(std::countr_zero(commas) / 2));
    }
  }
#endif
  for (; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c == u',') {
      endField(i);
    } else if (c == u'"') {
      break;
    }
  }
  if (i == line.size()) {
    if (count_ <= kKept) {
      views_[count_ - 1] = line.substr(start);
    }
    return;
  }

  views_.fill({});
  count_ = 1;
  for (auto& field : unquoted_) {
    field.clear();
  }
  bool quoted = false;
  for (const char16_t c : line) {
    if (c == u'"') {
      quoted = !quoted;
    } else if (c == u',' && !quoted) {
      ++count_;
    } else if (count_ <= kKept) {
      unquoted_[count_ - 1].push_back(c);
    }
  }
  for (std::size_t i = 0; i < kKept && i < count_; ++i) {
    views_[i] = unquoted_[i];
  }
}

bool HasRoundShape(std::u16string_view field) {
  return field.size() >= 3 && field.front() == kRoundFirst && field.back() == kRoundLast;
}

std::int32_t ParseRoundNumber(std::u16string_view text) {
  const LeadingInteger number = ReadLeadingInteger(text, OnOverflow::kFail);
  switch (number.status) {
    case LeadingInteger::Status::kNoDigits:
      throw std::invalid_argument("invalid stoi argument");
    case LeadingInteger::Status::kOutOfRange:
      throw std::out_of_range("stoi argument out of range");
    case LeadingInteger::Status::kOk:
      break;
  }
  return number.value;
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
  const std::uint32_t packed = PackedWinningNumber<3>(field);
  if (packed == kNoNumber) {
    return std::nullopt;
  }
  return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(packed),
                                     static_cast<std::uint8_t>(packed >> 8),
                                     static_cast<std::uint8_t>(packed >> 16)};
}

void DrawDigitLists::Reserve(std::uint64_t draws) {
  if (countOnly_) {
    return;
  }
  // Beyond this the file is grown into as usual, so a huge hint cannot fail the load.
  constexpr std::uint64_t kMostReserved = std::uint64_t{1} << 26;
  draws_.reserve(static_cast<std::size_t>(std::min({draws, maxDraws_, kMostReserved})));
  PreferHugePages(draws_.data(), draws_.capacity() * sizeof(std::uint32_t));
}

void DrawDigitLists::Append(const std::array<std::uint8_t, 4>& digits) {
  if (size() >= maxDraws_) {
    throw std::length_error("too many draw lines (at most " + std::to_string(maxDraws_) + ")");
  }
  ++count_;
  if (!countOnly_) {
    draws_.push_back(std::bit_cast<std::uint32_t>(digits));
  }
}

void DrawDigitLists::CommitTo(const std::array<WAData*, 4>& records, int places) const {
  const std::size_t count = draws_.size();
  const auto used = static_cast<std::size_t>(places);
  std::array<std::unique_ptr<double[]>, 4> arrays;
  for (std::size_t place = 0; place < used; ++place) {
    arrays[place] = std::make_unique_for_overwrite<double[]>(count);
    PreferHugePages(arrays[place].get(), count * sizeof(double));
  }
  for (std::size_t draw = 0; draw < count; ++draw) {
    for (std::size_t place = 0; place < used; ++place) {
      arrays[place][draw] = (draws_[draw] >> (8 * place)) & 0xFFU;
    }
  }
  for (std::size_t place = 0; place < used; ++place) {
    delete[] records[place]->data;
    records[place]->data = arrays[place].release();
    records[place]->size = static_cast<std::uint32_t>(count);
    records[place]->rate = 1;
  }
}

CheckedDraw CheckDrawLine(const DrawFields& fields, DiagnosticLog& log, int places) {
  const std::u16string_view round = fields[0];
  log.WriteLine("Extracting round number from: ", round);
  if (log.IsOpen()) {
    // An empty round has no first or last character; it shows as 0 and fails the shape check.
    log.WriteLine(CharacterLine("Front character: ", round.empty() ? 0 : round.front()));
    log.WriteLine(CharacterLine("Back character: ", round.empty() ? 0 : round.back()));
  }
  if (!HasRoundShape(round)) {
    log.WriteLine("Error: Invalid round number format: ", round);
    throw LoadError("Invalid round number format", 0,
                    "round " + QuotedText(round) + " is not of the form 第N回");
  }
  const std::u16string_view number = round.substr(1, round.size() - 2);
  log.WriteLine("Converted round number to integer: ", number);
  std::int32_t roundNumber = 0;
  try {
    roundNumber = ParseRoundNumber(number);
  } catch (const std::invalid_argument& e) {
    throw LoadError(e.what(), 0, "round " + QuotedText(round) + " has no number between 第 and 回");
  } catch (const std::out_of_range& e) {
    throw LoadError(
        e.what(), 0,
        "round " + QuotedText(round) + " is outside the range -2147483648 to 2147483647");
  }

  if (!IsDrawDate(fields[1])) {
    log.WriteLine("Error: Invalid date format: ", fields[1]);
    throw LoadError("Invalid date format", 0, "date " + QuotedText(fields[1]) + " is not YYYY/M/D");
  }

  const std::uint32_t digits = PackedWinningNumber(fields[3], places);
  if (digits == kNoNumber) {
    log.WriteLine("Error: Invalid winning number format: ", fields[3]);
    throw LoadError("Invalid winning number format", 0,
                    "winning number " + QuotedText(fields[3]) +
                        (places == 4 ? " is not four digits" : " is not three digits"));
  }
  return PackDraw(digits, roundNumber);
}

std::string FieldCountReason(std::size_t fields) {
  return std::to_string(fields) + (fields == 1 ? " field" : " fields") +
         "; a draw line needs at least 4";
}

}  // namespace tolvane
