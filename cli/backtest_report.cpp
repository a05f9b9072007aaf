#include "cli/backtest_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <vector>

#include "app/evaluation_table.h"
#include "core/game.h"
#include "evaluate/hit_tally.h"

namespace tolvane::cli {
namespace {

// printf's text whole, however long the numbers in it make it.
template <typename... Args>
std::string Format(const char* format, Args... args) {
  std::array<char, 128> buffer{};
  const int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
  if (length < 0) {
    return {};
  }
  if (static_cast<std::size_t>(length) < buffer.size()) {
    return std::string(buffer.data());
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, args...);
  text.pop_back();
  return text;
}

// ---- JSON ----

nlohmann::ordered_json Counts(const HitCounts& counts) {
  nlohmann::ordered_json hits = nlohmann::ordered_json::array();
  nlohmann::ordered_json pValues = nlohmann::ordered_json::array();
  for (int k = 1; k <= kMaxRank; ++k) {
    hits.push_back(counts.hits[static_cast<std::size_t>(k)]);
    pValues.push_back(counts.pValues[static_cast<std::size_t>(k)]);
  }
  return {{"hits", hits}, {"p_values", pValues}};
}

nlohmann::ordered_json MoneyJson(const std::vector<MoneyOutcome>& outcomes) {
  nlohmann::ordered_json money = nlohmann::ordered_json::array();
  for (const MoneyOutcome& outcome : outcomes) {
    nlohmann::ordered_json entry = {{"bet", Word(outcome.bet)}};
    entry["tickets"] = outcome.tickets;
    entry["draws"] = outcome.draws;
    entry["cost"] = outcome.cost;
    entry["winnings"] = outcome.winnings;
    entry["return"] = outcome.returnRate;
    entry["hits"] = outcome.hits;
    entry["random_return"] = outcome.randomReturn;
    entry["random_range"] = {outcome.randomLow, outcome.randomHigh};
    entry["p_value"] = outcome.pValue;
    entry["actual_payouts"] = outcome.actualPayouts;
    entry["p_value_from"] = outcome.pExact ? "exact" : "simulation";
    money.push_back(std::move(entry));
  }
  return money;
}

void WriteJson(std::ostream& out, const std::string& path, const Evaluation& evaluation,
               const std::vector<std::vector<MoneyOutcome>>& money) {
  nlohmann::ordered_json runs = nlohmann::ordered_json::array();
  for (std::size_t r = 0; r < evaluation.runs.size(); ++r) {
    const RunOutcome& run = evaluation.runs[r];
    nlohmann::ordered_json places = nlohmann::ordered_json::array();
    for (std::size_t p = 0; p < run.places.size(); ++p) {
      nlohmann::ordered_json place = {{"place", PlaceWord(evaluation.game, static_cast<int>(p))}};
      place.update(Counts(run.places[p]));
      place["mean_rank"] = run.places[p].meanRank;
      places.push_back(std::move(place));
    }
    nlohmann::ordered_json entry = {{"filter", Word(run.filter)}};
    entry["frame"] = run.frame ? nlohmann::ordered_json(Word(*run.frame)) : nullptr;
    entry["first_draw"] = run.firstDraw;
    entry["trials"] = run.trials;
    entry["rankings"] = run.rankings;
    entry["places"] = std::move(places);
    entry[AllPlacesWord(evaluation.game)] = Counts(run.allPlaces);
    if (r < money.size()) {
      entry["money"] = MoneyJson(money[r]);
    }
    runs.push_back(std::move(entry));
  }
  nlohmann::ordered_json report = {{"game", Word(evaluation.game)}};
  report["history"] = path;
  report["draws"] = evaluation.draws;
  report["runs"] = std::move(runs);
  // A path that is no UTF-8 cannot be a JSON string as it stands: its bad bytes become U+FFFD.
  // nlohmann writes each double in the fewest digits that read back as the same double.
  out << report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

// ---- CSV ----

void WriteCsv(std::ostream& out, const Evaluation& evaluation) {
  const int places = PlaceCount(evaluation.game);
  std::string text = "filter,frame,draw";
  for (int p = 0; p < places; ++p) {
    text += "," + std::string(PlaceWord(evaluation.game, p));
  }
  for (int p = 0; p < places; ++p) {
    text += ",rank_" + std::string(PlaceWord(evaluation.game, p));
  }
  text += '\n';
  for (const RunOutcome& run : evaluation.runs) {
    const std::string prefix = std::string(Word(run.filter)) + "," +
                               (run.frame ? std::string(Word(*run.frame)) : std::string()) + ",";
    for (const TargetOutcome& target : run.targets) {
      text += prefix + std::to_string(target.draw);
      for (int p = 0; p < places; ++p) {
        text += "," + std::to_string(target.digits[static_cast<std::size_t>(p)]);
      }
      for (int p = 0; p < places; ++p) {
        text += "," + std::to_string(target.ranks[static_cast<std::size_t>(p)]);
      }
      text += '\n';
      // Written in pieces so a long history never holds its whole report in memory.
      if (text.size() >= 1U << 16U) {
        out << text;
        text.clear();
      }
    }
  }
  out << text;
}

// With tickets: a row per run, kind and draw.
void WriteMoneyCsv(std::ostream& out, const Evaluation& evaluation,
                   const std::vector<std::vector<MoneyOutcome>>& money) {
  std::string text = "filter,frame,bet,draw,number,hits,winnings\n";
  for (std::size_t r = 0; r < evaluation.runs.size() && r < money.size(); ++r) {
    const RunOutcome& run = evaluation.runs[r];
    const std::string prefix = std::string(Word(run.filter)) + "," +
                               (run.frame ? std::string(Word(*run.frame)) : std::string()) + ",";
    for (const MoneyOutcome& outcome : money[r]) {
      for (const MoneyDraw& draw : outcome.perDraw) {
        text += prefix + std::string(Word(outcome.bet)) + "," + std::to_string(draw.draw) + ",";
        for (int p = 0; p < PlaceCount(evaluation.game); ++p) {
          text += static_cast<char>('0' + draw.number[static_cast<std::size_t>(p)]);
        }
        text += "," + std::to_string(draw.hits) + "," + std::to_string(draw.winnings) + "\n";
        if (text.size() >= 1U << 16U) {
          out << text;
          text.clear();
        }
      }
    }
  }
  out << text;
}

// ---- Text ----

// The money table's columns: title, least width, the gap before, and whether left-aligned.
struct MoneyColumn {
  const char* title;
  std::size_t width;
  const char* gap;
  bool left;
};
constexpr std::array<MoneyColumn, 10> kMoneyColumns = {{
    {"tickets", 9, "  ", true},
    {"a draw", 6, " ", false},
    {"draws", 6, " ", false},
    {"cost", 13, " ", false},
    {"winnings", 13, " ", false},
    {"return", 7, " ", false},
    {"wins", 6, " ", false},
    {"random", 6, "  ", false},
    {"95 % of random", 16, "  ", false},
    {"  p", 0, "  ", true},
}};
using MoneyRow = std::array<std::string, kMoneyColumns.size()>;

// A row of the table, each field padded to its column's width.
std::string MoneyTableLine(const MoneyRow& fields,
                           const std::array<std::size_t, kMoneyColumns.size()>& widths) {
  std::string line;
  for (std::size_t c = 0; c < fields.size(); ++c) {
    const std::string padding(widths[c] - std::min(widths[c], fields[c].size()), ' ');
    line += kMoneyColumns[c].gap;
    line += kMoneyColumns[c].left ? fields[c] + padding : padding + fields[c];
  }
  return line + "\n";
}

// What a run's tickets cost and paid, as a table after its hit table: a row a kind, with the
// random tickets' expected return, the range 95 % of random strategies fall in, and p. A column
// widens for a wider field (ten-digit yen, returns of thousands of per cent), so all stay aligned.
std::string MoneyLines(const std::vector<MoneyOutcome>& outcomes) {
  if (outcomes.empty()) {
    return {};
  }
  MoneyRow header;
  std::array<std::size_t, kMoneyColumns.size()> widths{};
  for (std::size_t c = 0; c < kMoneyColumns.size(); ++c) {
    header[c] = kMoneyColumns[c].title;
    widths[c] = std::max(kMoneyColumns[c].width, header[c].size());
  }
  std::vector<MoneyRow> rows;
  std::string actual = "  actual payouts (else theoretical) on";
  for (const MoneyOutcome& outcome : outcomes) {
    const std::string kind(Word(outcome.bet));
    rows.push_back(
        {kind, std::to_string(outcome.tickets), std::to_string(outcome.draws),
         Grouped(outcome.cost), Grouped(outcome.winnings),
         Format("%.1f%%", 100.0 * outcome.returnRate), Grouped(outcome.hits),
         Format("%.1f%%", 100.0 * outcome.randomReturn),
         Format("%5.1f%% to %5.1f%%", 100.0 * outcome.randomLow, 100.0 * outcome.randomHigh),
         Format("%.3g %s", outcome.pValue, outcome.pExact ? "exact" : "simulated")});
    for (std::size_t c = 0; c < kMoneyColumns.size(); ++c) {
      widths[c] = std::max(widths[c], rows.back()[c].size());
    }
    actual += (&outcome == &outcomes.front() ? " " : ", ") + kind + " " +
              std::to_string(outcome.actualPayouts) +
              (outcome.notSold != 0 ? " (" + std::to_string(outcome.notSold) + " not sold)" : "");
  }
  // The last column is left-aligned: the header's title is not padded after it.
  widths.back() = 0;
  std::string text = MoneyTableLine(header, widths);
  for (const MoneyRow& row : rows) {
    text += MoneyTableLine(row, widths);
  }
  return text + actual + " of " + std::to_string(outcomes.front().draws) + " draws\n";
}

struct Significant {
  std::string where;
  double p;
};

// One line of the run's table; records the p-values under the threshold.
template <typename Chance>
std::string TableLine(const char* name, const HitCounts& counts, std::uint32_t trials,
                      Chance chance, const std::string& meanRank, double threshold,
                      std::vector<Significant>& significant) {
  std::string line = Format("  %-10s", name);
  for (const int k : kTextRanks) {
    const auto i = static_cast<std::size_t>(k);
    const double rate = static_cast<double>(counts.hits[i]) / trials;
    line +=
        Format("  %5.1f%%  %5.1f%%  %-7.3g", 100.0 * rate, 100.0 * chance(k), counts.pValues[i]);
    if (counts.pValues[i] < threshold) {
      significant.push_back({std::string(name) + " at k=" + std::to_string(k), counts.pValues[i]});
    }
  }
  return line + "  " + meanRank + "\n";
}

// The two header lines, over the columns TableLine writes.
std::string TableHeader(const std::string& run) {
  std::string top = Format("%-12s", run.c_str());
  std::string bottom = "  place     ";
  for (const int k : kTextRanks) {
    top += Format("  %-23s", ("at k=" + std::to_string(k)).c_str());
    bottom += "     hit  chance  p      ";
  }
  top.erase(top.find_last_not_of(' ') + 1);
  return top + "\n" + bottom + "  mean rank\n";
}

void WriteText(std::ostream& out, const std::string& path, const Evaluation& evaluation,
               const std::vector<std::vector<MoneyOutcome>>& money) {
  if (evaluation.runs.empty()) {
    return;
  }
  const RunOutcome& first = evaluation.runs.front();
  // Every p-value printed counts: k = 1, 3, 5 for three places and all three, in every run.
  const int places = PlaceCount(evaluation.game);
  const std::size_t tests =
      evaluation.runs.size() * static_cast<std::size_t>(places + 1) * kTextRanks.size();
  const double threshold = BonferroniThreshold(tests);
  out << path << ": " << evaluation.draws << " draws; draws " << first.firstDraw << " to "
      << evaluation.draws << " replayed (" << first.trials << " per run), each ranked from the "
      << "draws before it.\n"
      << "hit = the drawn digit ranked k-th or better; chance = a random ranking's hit rate;\n"
      << "p = the chance that a random ranking does at least as well.\n";
  for (std::size_t r = 0; r < evaluation.runs.size(); ++r) {
    const RunOutcome& run = evaluation.runs[r];
    std::vector<Significant> significant;
    out << '\n' << TableHeader(RunName(run));
    for (std::size_t p = 0; p < run.places.size(); ++p) {
      out << TableLine(std::string(PlaceWord(evaluation.game, static_cast<int>(p))).c_str(),
                       run.places[p], run.trials, PlaceHitChance,
                       Format("%9.3f", run.places[p].meanRank), threshold, significant);
    }
    out << TableLine(
        places == 4 ? "all four" : "all three", run.allPlaces, run.trials,
        [places](int k) { return AllPlacesHitChance(k, places); }, "        -", threshold,
        significant);
    const std::string correction = Format(
        "after a Bonferroni correction over the %zu p-values printed (p < %.2g)", tests, threshold);
    if (significant.empty()) {
      out << "  Nothing here beats chance " << correction << ".\n";
    } else {
      out << "  Better than chance " << correction << ":";
      for (std::size_t i = 0; i < significant.size(); ++i) {
        out << (i == 0 ? " " : ", ") << significant[i].where
            << Format(" (p = %.2g)", significant[i].p);
      }
      out << ".\n";
    }
    if (r < money.size()) {
      out << MoneyLines(money[r]);
    }
  }
}

}  // namespace

void WriteReport(std::ostream& out, OutputFormat format, const std::string& path,
                 const Evaluation& evaluation,
                 const std::vector<std::vector<MoneyOutcome>>& money) {
  switch (format) {
    case OutputFormat::Text:
      WriteText(out, path, evaluation, money);
      break;
    case OutputFormat::Json:
      WriteJson(out, path, evaluation, money);
      break;
    case OutputFormat::Csv:
      if (money.empty()) {
        WriteCsv(out, evaluation);
      } else {
        WriteMoneyCsv(out, evaluation, money);
      }
      break;
  }
}

}  // namespace tolvane::cli
