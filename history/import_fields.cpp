#include "history/import_fields.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "core/quoted_text.h"
#include "core/utf.h"
#include "history/draw_line.h"
#include "history/load_report.h"

namespace tolvane {
namespace {

constexpr char16_t kFullWidthZero = u'\uFF10';
constexpr char16_t kFullWidthNine = u'\uFF19';
constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr char16_t kYear = u'\u5E74';   // 年
constexpr char16_t kMonth = u'\u6708';  // 月
constexpr char16_t kDay = u'\u65E5';    // 日

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == kIdeographicSpace; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool AllDigits(std::u16string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

std::u16string_view Trimmed(std::u16string_view field) {
  while (!field.empty() && IsBlank(field.front())) {
    field.remove_prefix(1);
  }
  while (!field.empty() && IsBlank(field.back())) {
    field.remove_suffix(1);
  }
  return field;
}

std::u16string WithAsciiDigits(std::u16string_view field) {
  std::u16string out(field);
  for (char16_t& c : out) {
    if (c >= kFullWidthZero && c <= kFullWidthNine) {
      c = static_cast<char16_t>(u'0' + (c - kFullWidthZero));
    }
  }
  return out;
}

// Reads `digits` ASCII digits at `pos` (1 or 2 when `flexible`, else exactly `digits`), advancing
// `pos`; nullopt when they are not there.
std::optional<unsigned> Number(std::u16string_view text, std::size_t& pos, std::size_t digits,
                               bool flexible) {
  std::size_t n = 0;
  unsigned value = 0;
  while (n < digits && pos + n < text.size() && IsDigit(text[pos + n])) {
    value = value * 10 + static_cast<unsigned>(text[pos + n] - u'0');
    ++n;
  }
  if (n == 0 || (!flexible && n != digits)) {
    return std::nullopt;
  }
  pos += n;
  return value;
}

bool Take(std::u16string_view text, std::size_t& pos, char16_t c) {
  if (pos < text.size() && text[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

// Year, month and day of one of the accepted forms, not yet checked against the calendar.
std::optional<std::array<unsigned, 3>> DateParts(std::u16string_view text) {
  std::size_t pos = 0;
  if (text.size() == 8 && AllDigits(text)) {
    const auto year = Number(text, pos, 4, false);
    const auto month = Number(text, pos, 2, false);
    const auto day = Number(text, pos, 2, false);
    return std::array<unsigned, 3>{*year, *month, *day};
  }
  const auto year = Number(text, pos, 4, false);
  if (!year || pos >= text.size()) {
    return std::nullopt;
  }
  struct Separators {
    char16_t afterYear, afterMonth, afterDay;  // afterDay 0: nothing follows the day
  };
  constexpr Separators kForms[] = {{u'/', u'/', 0}, {u'-', u'-', 0}, {kYear, kMonth, kDay}};
  for (const Separators& form : kForms) {
    std::size_t at = pos;
    if (!Take(text, at, form.afterYear)) {
      continue;
    }
    const auto month = Number(text, at, 2, true);
    if (!month || !Take(text, at, form.afterMonth)) {
      return std::nullopt;
    }
    const auto day = Number(text, at, 2, true);
    if (!day || (form.afterDay != 0 && !Take(text, at, form.afterDay)) || at != text.size()) {
      return std::nullopt;
    }
    return std::array<unsigned, 3>{*year, *month, *day};
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::u16string> SplitImportFields(std::u16string_view line) {
  return SplitImportLine(line, line.size() + 1).fields;
}

ImportLine SplitImportLine(std::u16string_view line, std::size_t keep) {
  ImportLine split;
  SplitImportLine(line, keep, split);
  return split;
}

void SplitImportLine(std::u16string_view line, std::size_t keep, ImportLine& split) {
  split.count = 1;
  split.blank = true;
  std::size_t kept = 0;  // fields done; the strings after them are room from earlier lines
  const auto startField = [&split, &kept, keep] {
    if (kept < keep) {
      if (kept == split.fields.size()) {
        split.fields.emplace_back();
      }
      split.fields[kept].clear();
    }
  };
  const auto endField = [&split, &kept, keep] {
    if (kept < keep) {
      std::u16string& field = split.fields[kept++];
      const std::u16string_view trimmed = Trimmed(field);
      const auto start = static_cast<std::size_t>(trimmed.data() - field.data());
      field.resize(start + trimmed.size());
      field.erase(0, start);
    }
  };
  startField();
  bool quoted = false;
  std::size_t at = 0;
  for (; at < line.size() && (kept < keep || split.blank); ++at) {
    const char16_t c = line[at];
    if (c == u'"') {
      quoted = !quoted;
    } else if (c == u',' && !quoted) {
      endField();
      ++split.count;
      startField();
    } else {
      split.blank = split.blank && IsBlank(c);
      if (kept < keep) {
        split.fields[kept].push_back(c);
      }
    }
  }
  // Past the fields kept, on a line known not to be blank, only the fields are left to count:
  // a megabyte of them goes by at a fraction of the cost.
  for (; at < line.size(); ++at) {
    if (line[at] == u'"') {
      quoted = !quoted;
    } else if (line[at] == u',' && !quoted) {
      ++split.count;
    }
  }
  endField();
  split.fields.resize(kept);
}

std::int32_t ReadImportRound(std::u16string_view field) {
  const std::u16string text = WithAsciiDigits(field);
  const std::u16string_view number =
      HasRoundShape(text) ? std::u16string_view(text).substr(1, text.size() - 2) : text;
  if (!AllDigits(number)) {
    throw LoadError("Invalid round number format", 0,
                    "round " + QuotedText(field) + " is not 第N回 or a number");
  }
  try {
    return ParseRoundNumber(number);
  } catch (const std::out_of_range& e) {
    throw LoadError(e.what(), 0, "round " + QuotedText(field) + " is above 2147483647");
  }
}

namespace {

// A weekday in brackets after a date, "(月)" or "（月曜日）": its ISO number (1 Monday .. 7
// Sunday), with `text` cut to the date before it. 0 when the text ends in no such brackets.
unsigned CutWeekday(std::u16string_view& text) {
  constexpr std::u16string_view kDays = u"月火水木金土日";
  const std::size_t open = text.find_last_of(u"(（");
  if (open == std::u16string_view::npos || text.size() - open < 3 ||
      (text.back() != u')' && text.back() != u'）')) {
    return 0;
  }
  const std::u16string_view inside = text.substr(open + 1, text.size() - open - 2);
  const std::size_t day = kDays.find(inside.empty() ? u'\0' : inside.front());
  if (day == std::u16string_view::npos ||
      (inside.size() > 1 && inside.substr(1) != u"曜" && inside.substr(1) != u"曜日")) {
    return 0;
  }
  text = Trimmed(text.substr(0, open));
  return static_cast<unsigned>(day) + 1;
}

}  // namespace

std::chrono::year_month_day ReadImportDate(std::u16string_view field) {
  const std::u16string ascii = WithAsciiDigits(field);
  std::u16string_view text = ascii;
  const unsigned weekday = CutWeekday(text);
  const auto parts = DateParts(text);
  if (!parts) {
    throw LoadError(
        "Invalid date format", 0,
        "date " + QuotedText(field) + " is not YYYY/M/D, YYYY-M-D, YYYY年M月D日 or YYYYMMDD");
  }
  const std::chrono::year_month_day date{std::chrono::year(static_cast<int>((*parts)[0])),
                                         std::chrono::month((*parts)[1]),
                                         std::chrono::day((*parts)[2])};
  if (!date.ok()) {
    throw LoadError("Invalid date", 0,
                    "date " + QuotedText(field) + " is not a day of the calendar");
  }
  if (weekday != 0 && std::chrono::weekday(std::chrono::sys_days(date)).iso_encoding() != weekday) {
    throw LoadError("Invalid date", 0,
                    "date " + QuotedText(field) + " names another day of the week than its own");
  }
  return date;
}

namespace {

// The digits of a winning number written as a list, "[1, 9, 1]", or with spaces or hyphens
// between them, "1 9 1", "1-9-1": each a single digit. nullopt when the text is no such list.
std::optional<std::u16string> ListedDigits(std::u16string_view text) {
  constexpr std::u16string_view kBetween = u" ,-\t\u3000";
  const bool bracketed = text.size() >= 2 && text.front() == u'[' && text.back() == u']';
  if (bracketed) {
    text = text.substr(1, text.size() - 2);
  } else if (text.find_first_of(kBetween) == std::u16string_view::npos) {
    return std::nullopt;
  }
  std::u16string digits;
  bool apart = true;  // a separator since the last digit
  for (const char16_t c : text) {
    if (kBetween.find(c) != std::u16string_view::npos) {
      apart = true;
    } else if (IsDigit(c) && apart) {
      digits.push_back(c);
      apart = false;
    } else {
      return std::nullopt;
    }
  }
  return digits;
}

}  // namespace

std::array<std::uint8_t, 4> ReadImportNumber(std::u16string_view field, int places) {
  const std::u16string ascii = WithAsciiDigits(field);
  const std::optional<std::u16string> listed = ListedDigits(ascii);
  const std::u16string& text = listed ? *listed : ascii;
  const bool fits = listed ? text.size() == static_cast<std::size_t>(places)
                           : text.size() <= static_cast<std::size_t>(places);
  if (!fits || !AllDigits(text)) {
    throw LoadError(
        "Invalid winning number format", 0,
        "winning number " + QuotedText(field) +
            (places == 4 ? " is not one to four digits" : " is not one to three digits"));
  }
  return std::bit_cast<std::array<std::uint8_t, 4>>(
      PackedWinningNumber(std::u16string_view(text), places) & ~kThreeCharacters);
}

}  // namespace tolvane
