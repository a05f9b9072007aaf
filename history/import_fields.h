#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// The fields of a results file as people keep them, read more leniently than a history's: every
// field is kept, each is trimmed, and the readers below take full-width digits (０ to ９) as
// digits. Their reasons quote the field as given.

// Splits at the commas outside double quotes; a quote toggles the quoted state and is dropped,
// as in a history's draw lines. Each field is trimmed of spaces, tabs and ideographic spaces.
std::vector<std::u16string> SplitImportFields(std::u16string_view line);

// The same keeping only the first `keep` fields, so that a line of a million empty fields costs
// no more than its own text; the others are only counted and looked at.
struct ImportLine {
  std::vector<std::u16string> fields;  // the first `keep` fields, trimmed
  std::size_t count = 0;               // every field of the line
  bool blank = true;                   // every field empty once trimmed
};
ImportLine SplitImportLine(std::u16string_view line, std::size_t keep);
// The same into `split`, whose strings keep their room from one line to the next.
void SplitImportLine(std::u16string_view line, std::size_t keep, ImportLine& split);

// A round: 第N回 or a plain decimal number, digits only, at most 2147483647. Throws LoadError
// (history/load_report.h, line 0) whose reason quotes the field.
std::int32_t ReadImportRound(std::u16string_view field);

// A date as YYYY/M/D, YYYY-M-D, YYYY年M月D日 or YYYYMMDD that names a real day of the
// Gregorian calendar, perhaps followed by its weekday in brackets, "(月)" or "（月曜日）", which
// must be its own. Throws LoadError (line 0) whose reason quotes the field.
std::chrono::year_month_day ReadImportDate(std::u16string_view field);

// A winning number of one to `places` (3 or 4) digits, padded in front with zeros, or written as
// a list of exactly `places` digits ("[1, 9, 1]", "1 9 1", "1-9-1"); highest place first (the
// fourth entry 0 with three). Throws LoadError (line 0) whose reason quotes the field.
std::array<std::uint8_t, 4> ReadImportNumber(std::u16string_view field, int places = 3);

}  // namespace tolvane
