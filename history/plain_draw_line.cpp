#include "history/plain_draw_line.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvane {
namespace {

// A round of up to nine digits cannot leave the 32-bit range, so it needs no overflow check.
constexpr std::ptrdiff_t kMostRoundDigits = 9;
// Fields after the date longer than this go the general way.
constexpr std::size_t kMostTailBytes = 64;

bool IsAsciiDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Just past the one or two ASCII digits at `at`, with the number they write in `value`; `end`
// when there is none, which no caller accepts as the end of a field.
const char* PassOneOrTwoDigits(const char* at, const char* end, unsigned& value) {
  if (at == end || !IsAsciiDigit(*at)) {
    return end;
  }
  value = static_cast<unsigned>(*at - '0');
  ++at;
  if (at == end || !IsAsciiDigit(*at)) {
    return at;
  }
  value = value * 10 + static_cast<unsigned>(*at - '0');
  return at + 1;
}

// Whether [at, end) starts with `prefix`, a character's few bytes: a loop kept inline, where a
// library comparison would be a call per line.
bool StartsWith(const char* at, const char* end, std::string_view prefix) {
  if (static_cast<std::size_t>(end - at) < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (at[i] != prefix[i]) {
      return false;
    }
  }
  return true;
}

// Where the first two commas of a decoded tail stand (its length when there is none), and
// whether it holds a double quote or a carriage return.
struct TailShape {
  std::size_t firstComma;
  std::size_t secondComma;
  bool quoteOrReturn;
};
TailShape ShapeOfTail(std::u16string_view tail) {
  TailShape shape{tail.size(), tail.size(), false};
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (tail[i] == u'"' || tail[i] == u'\r') {
      shape.quoteOrReturn = true;
      break;
    }
    if (tail[i] == u',' && shape.secondComma == tail.size()) {
      (shape.firstComma == tail.size() ? shape.firstComma : shape.secondComma) = i;
    }
  }
  return shape;
}

}  // namespace

PlainDrawLines::PlainDrawLines(TextDecoder& decoder, TextEncoding encoding, int places)
    : decoder_(decoder),
      roundFirst_(encoding == TextEncoding::kUtf8 ? "\xE7\xAC\xAC" : "\x91\xE6"),
      roundLast_(encoding == TextEncoding::kUtf8 ? "\xE5\x9B\x9E" : "\x89\xF1"),
      places_(places) {
  constexpr std::string_view kAsciiUsed = "0123456789/,";
  ready_ = decoder_.Decode(roundFirst_) == u"\u7B2C" && decoder_.Decode(roundLast_) == u"\u56DE" &&
           decoder_.Decode(kAsciiUsed) == u"0123456789/,";
}

bool PlainDrawLines::Check(std::string_view line, CheckedDraw& draw) {
  const char* at = line.data();
  const char* const end = line.data() + line.size();
  if (!ready_ || !StartsWith(at, end, roundFirst_)) {
    return false;
  }
  at += roundFirst_.size();

  // The round: after 第, one to nine digits, then 回.
  const char* const roundDigits = at;
  std::int32_t round = 0;
  while (at < end && IsAsciiDigit(*at) && at - roundDigits < kMostRoundDigits) {
    round = round * 10 + (*at - '0');
    ++at;
  }
  if (at == roundDigits || !StartsWith(at, end, roundLast_)) {
    return false;
  }
  at += roundLast_.size();

  // The date field, as IsDrawDate takes it: four digits, "/", one or two, "/", one or two.
  if (end - at < 7 || at[0] != ',' || !IsAsciiDigit(at[1]) || !IsAsciiDigit(at[2]) ||
      !IsAsciiDigit(at[3]) || !IsAsciiDigit(at[4]) || at[5] != '/') {
    return false;
  }
  shape_.year = static_cast<unsigned>((at[1] - '0') * 1000 + (at[2] - '0') * 100 +
                                      (at[3] - '0') * 10 + (at[4] - '0'));
  at = PassOneOrTwoDigits(at + 6, end, shape_.month);
  if (at == end || *at != '/') {
    return false;
  }
  at = PassOneOrTwoDigits(at + 1, end, shape_.day);
  if (at == end || *at != ',') {
    return false;
  }
  ++at;

  const std::uint32_t digits = WinningNumber(at, end);
  if (digits == kNoNumber) {
    return false;
  }
  draw = PackDraw(digits, round);
  return true;
}

// Field 2 and the winning number after it, the common way: field 2 a string of bytes met before,
// the number plain digits up to the end of the line. The line then decodes to field 2's known text,
// a comma and the digits, since a stateless decoder decodes each of those pieces alone the same
// as inside the line.
std::uint32_t PlainDrawLines::WinningNumber(const char* at, const char* end) {
  const char* const field2 = at;
  while (at < end && *at != ',') {
    ++at;
  }
  shape_.lastFieldDigits = 0;
  if (at == end ||
      !IsKnownField2(std::string_view(field2, static_cast<std::size_t>(at - field2)))) {
    return DecodedWinningNumber(field2, end);
  }
  const char* const number = at + 1;
  const char* digitsEnd = number;
  while (digitsEnd < end && IsAsciiDigit(*digitsEnd)) {
    ++digitsEnd;
  }
  const bool lineEndsThere = digitsEnd == end || (digitsEnd + 1 == end && *digitsEnd == '\r');
  if (digitsEnd == number || !lineEndsThere) {
    return DecodedWinningNumber(field2, end);
  }
  shape_.lastFieldDigits = static_cast<std::size_t>(digitsEnd - number);
  return PackedWinningNumber(std::string_view(number, static_cast<std::size_t>(digitsEnd - number)),
                             places_);
}

bool PlainDrawLines::IsKnownField2(std::string_view bytes) {
  if (bytes.size() > sizeof(std::uint64_t)) {
    return false;
  }
  std::uint64_t key = bytes.size();
  for (const char c : bytes) {
    key = key << 8 | static_cast<unsigned char>(c);  // the size keeps keys of two lengths apart
  }
  // A few weekdays make up nearly every history's field 2.
  for (std::size_t i = 0; i < knownField2Count_; ++i) {
    if (knownField2_[i] == key) {
      return true;
    }
  }
  std::array<char16_t, sizeof(std::uint64_t)> units{};
  const TextDecoder::Decoded decoded = decoder_.DecodeInto(bytes, units.data());
  if (!decoded.ok) {
    return false;
  }
  for (std::size_t i = 0; i < decoded.units; ++i) {
    if (units[i] == u',' || units[i] == u'"' || units[i] == u'\r') {
      return false;
    }
  }
  // Once the table is full, the newest replaces the oldest.
  knownField2_[knownField2Next_] = key;
  knownField2Next_ = (knownField2Next_ + 1) % knownField2_.size();
  knownField2Count_ = std::min(knownField2Count_ + 1, knownField2_.size());
  return true;
}

// The rest of the line from field 2 on, decoded, then judged as the general way would: a last
// carriage return dropped, any other one or a quote left to it; field 2 is passed over, field 3
// is the winning number.
std::uint32_t PlainDrawLines::DecodedWinningNumber(const char* at, const char* end) {
  const auto tailBytes = static_cast<std::size_t>(end - at);
  std::array<char16_t, kMostTailBytes> units;
  if (tailBytes > units.size()) {
    return kNoNumber;
  }
  const TextDecoder::Decoded decoded =
      decoder_.DecodeInto(std::string_view(at, tailBytes), units.data());
  if (!decoded.ok) {
    return kNoNumber;
  }
  std::size_t size = decoded.units;
  size -= size != 0 && units[size - 1] == u'\r' ? 1 : 0;
  const TailShape shape = ShapeOfTail(std::u16string_view(units.data(), size));
  if (shape.quoteOrReturn || shape.firstComma == size) {
    return kNoNumber;  // the general way unquotes; or fewer than four fields
  }
  return PackedWinningNumber(std::u16string_view(units.data() + shape.firstComma + 1,
                                                 shape.secondComma - shape.firstComma - 1),
                             places_);
}

}  // namespace tolvane
