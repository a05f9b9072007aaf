#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tolvane {

// The checks a draw line's fields must pass.

// A round reads 第<number>回: at least three characters, 第 first and 回 last.
bool HasRoundShape(std::u16string_view field);

// Reads a round's number the way std::stoi does: leading ASCII white space skipped, one optional
// sign, then decimal digits up to the first other character. Throws std::invalid_argument
// ("invalid stoi argument") without digits and std::out_of_range ("stoi argument out of range")
// outside the signed 32-bit range.
std::int32_t ParseRoundNumber(std::u16string_view text);

// A date is four ASCII digits, "/", one or two, "/", one or two, and nothing else. Month and day
// are not range-checked.
bool IsDrawDate(std::u16string_view field);

// The winning number padded to three characters ("7" -> "007", "72" -> "072"; longer fields keep
// their first three); nullopt unless the field is non-empty and those three are ASCII digits.
std::optional<std::array<std::uint8_t, 3>> ReadWinningNumber(std::u16string_view field);

}  // namespace tolvane
