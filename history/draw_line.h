#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/diagnostic_log.h"
#include "core/wa_data.h"

namespace tolvane {

// One draw line of a history file: its fields, the checks they must pass, and the digits it
// contributes.

// The fields of one draw line, split at the commas outside double quotes. A quote toggles the
// quoted state wherever it stands and is dropped; nothing is trimmed. Only the first four fields
// are kept (the loader reads no further), but every field is counted.
class DrawFields {
 public:
  static constexpr std::size_t kKept = 4;

  // The views stay valid until the next Split and while `line` lives.
  void Split(std::u16string_view line);

  std::size_t count() const { return count_; }
  std::u16string_view operator[](std::size_t index) const { return views_[index]; }

 private:
  std::size_t count_ = 0;
  std::array<std::u16string_view, kKept> views_{};
  // Quoted lines need their quotes removed, so their fields are copied here; the buffers are
  // reused from line to line.
  std::array<std::u16string, kKept> unquoted_{};
};

// A round reads 第<number>回: at least three characters, 第 first and 回 last.
bool HasRoundShape(std::u16string_view field);

// Reads a round's number as a leading integer (core/leading_integer.h). Throws
// std::invalid_argument
// ("invalid stoi argument") without digits and std::out_of_range ("stoi argument out of range")
// outside the signed 32-bit range.
std::int32_t ParseRoundNumber(std::u16string_view text);

// A date is four ASCII digits, "/", one or two, "/", one or two, and nothing else. Month and day
// are not range-checked.
bool IsDrawDate(std::u16string_view field);

// The winning number padded to three characters ("7" -> "007", "72" -> "072"; longer fields keep
// their first three); nullopt unless the field is non-empty and those three are ASCII digits.
std::optional<std::array<std::uint8_t, 3>> ReadWinningNumber(std::u16string_view field);

// A winning number's digits packed into one register (the highest place in the lowest byte), or
// kNoNumber. Results are built from this: bytes assembled in memory and read back whole stall the
// processor's store forwarding, once per line.
inline constexpr std::uint32_t kNoNumber = ~std::uint32_t{0};
// With Numbers 3 the fourth byte says how a field longer than three characters looked, for the
// warning that its first three were used (a typo, or a Numbers 4 history read as Numbers 3).
inline constexpr std::uint32_t kLongerThanThree = std::uint32_t{1} << 24;
inline constexpr std::uint32_t kFourDigits = std::uint32_t{2} << 24;
// With Numbers 4 the thousands byte's top bit marks a field of exactly three characters, for the
// warning that a whole history of them is likely Numbers 3; whoever takes the digits clears it.
inline constexpr std::uint32_t kThreeCharacters = std::uint32_t{0x80};

// Numbers 3 (places = 3): padded to three characters, a longer field read by its first three
// and marked with kLongerThanThree (and kFourDigits when it is exactly four ASCII digits).
// Numbers 4 (places = 4): padded to four characters, a field of three marked with
// kThreeCharacters; a longer field is no number.
// Reads UTF-16 fields and, for lines judged from their bytes, ASCII ones alike.
template <int kPlacesOfGame, typename Char>
std::uint32_t PackedWinningNumber(std::basic_string_view<Char> field) {
  static_assert(kPlacesOfGame == 3 || kPlacesOfGame == 4);
  constexpr std::size_t places = kPlacesOfGame;
  if (field.empty() || (places == 4 && field.size() > 4)) {
    return kNoNumber;
  }
  // Short numbers are right-aligned behind "0" padding.
  const std::size_t padding = field.size() >= places ? 0 : places - field.size();
  std::uint32_t packed = 0;
  for (std::size_t place = 0; place < places; ++place) {
    const Char c = place < padding ? Char{'0'} : field[place - padding];
    if (c < Char{'0'} || c > Char{'9'}) {
      return kNoNumber;
    }
    packed |= static_cast<std::uint32_t>(c - Char{'0'}) << (8 * place);
  }
  if (places == 3 && field.size() > 3) [[unlikely]] {
    const bool four = field.size() == 4 && field[3] >= Char{'0'} && field[3] <= Char{'9'};
    packed |= kLongerThanThree | (four ? kFourDigits : 0);
  }
  if (places == 4 && field.size() == 3) {
    packed |= kThreeCharacters;
  }
  return packed;
}
template <typename Char>
std::uint32_t PackedWinningNumber(std::basic_string_view<Char> field, int places) {
  return places == 4 ? PackedWinningNumber<4>(field) : PackedWinningNumber<3>(field);
}

// The digits of the accepted draw lines, one word a draw, held until the whole file has
// passed its checks; only then do they become the caller's series.
class DrawDigitLists {
 public:
  // A series' size is 32-bit, so more draws than that cannot be handed over.
  explicit DrawDigitLists(std::uint64_t maxDraws = std::numeric_limits<std::uint32_t>::max())
      : maxDraws_(maxDraws) {}

  // Counts the draws without keeping their digits (a load that only checks a file): nothing can
  // be committed then.
  void CountOnly() { countOnly_ = true; }

  // Makes room for `draws` draws at once (capped), so a long history is not copied
  // as it grows. Only room: pages that are never written cost nothing.
  void Reserve(std::uint64_t draws);

  // Throws std::length_error once the series would outgrow their size field. `digits` as a
  // CheckedDraw holds them.
  void Append(const std::array<std::uint8_t, 4>& digits);

  std::uint64_t size() const { return count_; }
  std::uint64_t limit() const { return maxDraws_; }

  // Gives each record a new array of the digits (size = draws, rate 1) and frees its old one:
  // the first `places` records, highest place first. Every allocation happens before the first
  // record changes, so a failure leaves them all as they were.
  void CommitTo(const std::array<WAData*, 4>& records, int places) const;

 private:
  std::uint64_t maxDraws_;
  std::uint64_t count_ = 0;
  bool countOnly_ = false;
  // One word a draw, the highest place in the lowest byte: one store per line.
  std::vector<std::uint32_t> draws_;
};

// Checks one draw line that has at least four fields: the round (field 0), the date (field 1)
// and the winning number (field 3), tracing each step to `log`. Returns the digits and the
// round. A failed check is logged and thrown as a LoadError (history/load_report.h) whose
// what() names it for the log ("Invalid round number format", "invalid stoi argument",
// "stoi argument out of range", "Invalid date format", "Invalid winning number format") and whose
// reason quotes the field and says what was expected.
// `places` is the game's: 3 or 4 digits.
struct CheckedDraw {
  // The places' digits, highest first; with Numbers 3 the fourth byte holds the marks of a
  // field longer than three characters (kLongerThanThree, kFourDigits, shifted down).
  std::array<std::uint8_t, 4> digits;
  std::int32_t round;  // the number between 第 and 回
};
CheckedDraw CheckDrawLine(const DrawFields& fields, DiagnosticLog& log, int places = 3);

// A CheckedDraw from PackedWinningNumber's digits, built in one register.
inline CheckedDraw PackDraw(std::uint32_t packedDigits, std::int32_t round) {
  static_assert(sizeof(CheckedDraw) == 8 && offsetof(CheckedDraw, round) == 4 &&
                std::endian::native == std::endian::little);
  return std::bit_cast<CheckedDraw>(std::uint64_t{packedDigits} |
                                    std::uint64_t{static_cast<std::uint32_t>(round)} << 32);
}

// The user's reason for a draw line with too few fields: "3 fields; a draw line needs at least 4".
std::string FieldCountReason(std::size_t fields);

}  // namespace tolvane
