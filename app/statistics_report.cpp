#include "app/statistics_report.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string_view>

#include "core/shortest_text.h"

namespace tolvane {
namespace {

constexpr std::size_t kCellWidth = 6;
constexpr std::size_t kLineWidth = 80;

void AppendCell(std::string& out, std::string_view cell) {
  out.append(cell.size() < kCellWidth ? kCellWidth - cell.size() : 1, ' ');
  out += cell;
}

// `text` broken at spaces into lines of at most kLineWidth, each starting with `indent`.
std::string Wrapped(std::string_view text, std::string_view indent) {
  std::string out;
  const std::size_t room = kLineWidth - indent.size();
  while (!text.empty()) {
    std::size_t cut = text.size() <= room ? text.size() : text.rfind(' ', room);
    if (cut == std::string_view::npos || cut == 0) {
      cut = std::min(text.find(' '), text.size());  // a word longer than the line stays whole
    }
    out.append(indent).append(text.substr(0, cut)) += '\n';
    text.remove_prefix(std::min(cut + 1, text.size()));
  }
  return out;
}

// "Hundreds": the place's word with a capital, for headings.
std::string PlaceTitle(Game game, int place) {
  std::string title(PlaceWord(game, place));
  title.front() = static_cast<char>(title.front() - 'a' + 'A');
  return title;
}

std::string SinceLastText(const std::optional<std::uint32_t>& since, std::string_view none) {
  return since.has_value() ? std::to_string(*since) : std::string(none);
}

}  // namespace

std::string ShortNumber(double value, int digits) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, digits);
  return {buffer.data(), result.ptr};
#else
  return GeneralText(value, digits);
#endif
}

std::string FairDrawSentence(int place, const DigitStatistics& statistics) {
  const PlaceStatistics& counts = statistics.places[static_cast<std::size_t>(place)];
  const std::string name = PlaceTitle(statistics.game, place);
  const int places = PlaceCount(statistics.game);
  const bool fair = ConsistentWithFairDraw(counts.pValue, places);
  const std::string test = "p = " + ShortNumber(counts.pValue, 3) +
                           (fair ? " is above " : " is not above ") +
                           ShortNumber(FairDrawLevel(places), 3) +
                           ", the 5 % level after a Bonferroni correction over the " +
                           (places == 4 ? "four" : "three") + " places";
  if (fair) {
    return name + ": the counts are consistent with a fair draw (" + test +
           "); in a fair draw every digit has the same 1 in 10 chance each time, so a digit that "
           "is \"due\" (long unseen) or \"hot\" (often seen) is no more likely to come next.";
  }
  return name + ": the counts are not consistent with a fair draw (" + test +
         "): the digits came up more unevenly than chance makes likely, though in a fair draw a "
         "digit that is \"due\" or \"hot\" is no more likely to come next.";
}

std::string StatisticsText(const std::string& history, const DigitStatistics& statistics) {
  std::string out = "Digit statistics of " + history + "\n";
  out += "Draws " + std::to_string(statistics.firstDraw) + " to " +
         std::to_string(statistics.lastDraw) + " (" + std::to_string(statistics.window) + " of " +
         std::to_string(statistics.draws) + "); a fair draw gives each digit " +
         ShortNumber(static_cast<double>(statistics.window) / kDigitValues, 6) +
         " of them per place on average.\n";
  for (int place = 0; place < PlaceCount(statistics.game); ++place) {
    const PlaceStatistics& counts = statistics.places[static_cast<std::size_t>(place)];
    out += "\n";
    out += PlaceTitle(statistics.game, place);
    out += " place\n  digit     ";
    for (int digit = 0; digit < kDigitValues; ++digit) {
      AppendCell(out, std::to_string(digit));
    }
    out += "\n  count     ";
    for (const std::uint32_t count : counts.counts) {
      AppendCell(out, std::to_string(count));
    }
    out += "\n  since last";
    for (const std::optional<std::uint32_t>& since : counts.sinceLast) {
      AppendCell(out, SinceLastText(since, "-"));
    }
    out += "\n  chi-square " + ShortNumber(counts.chiSquare, 4) + " with " +
           std::to_string(kChiSquareDegreesOfFreedom) + " degrees of freedom, p-value " +
           ShortNumber(counts.pValue, 3) + "\n";
    out += Wrapped(FairDrawSentence(place, statistics), "  ");
  }
  out += "\n";
  out += Wrapped(
      "\"since last\": draws after the newest one that drew the digit in that place (0: drawn "
      "in the newest draw; -: not drawn in these draws).",
      "");
  return out;
}

std::string StatisticsCsv(const DigitStatistics& statistics) {
  std::string out = "place,digit,count,since_last\n";
  for (std::size_t place = 0; place < statistics.places.size(); ++place) {
    const PlaceStatistics& counts = statistics.places[place];
    for (std::size_t digit = 0; digit < counts.counts.size(); ++digit) {
      out += std::string(PlaceWord(statistics.game, static_cast<int>(place))) + "," +
             std::to_string(digit) + "," + std::to_string(counts.counts[digit]) + "," +
             SinceLastText(counts.sinceLast[digit], "") + "\n";
    }
  }
  return out;
}

}  // namespace tolvane
