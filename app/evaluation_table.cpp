#include "app/evaluation_table.h"

#include <array>
#include <boost/math/distributions/binomial.hpp>

#include "core/game.h"
#include "core/shortest_text.h"
#include "evaluate/hit_tally.h"
#include "predict/prediction_options.h"

namespace tolvane {
namespace {

template <typename Chance>
void AddRows(std::vector<EvaluationRow>& rows, const RunOutcome& run, const std::string& place,
             const HitCounts& counts, Chance chance, std::optional<double> meanRank) {
  for (int k = 1; k <= kMaxRank; ++k) {
    const auto at = static_cast<std::size_t>(k);
    EvaluationRow row;
    row.filter = Word(run.filter);
    row.frame = run.frame ? std::string(Word(*run.frame)) : std::string();
    row.place = place;
    row.k = k;
    row.hits = counts.hits[at];
    row.trials = run.trials;
    row.hitRate = run.trials == 0 ? 0.0 : static_cast<double>(row.hits) / run.trials;
    row.chance = chance(k);
    row.pValue = counts.pValues[at];
    row.meanRank = meanRank;
    rows.push_back(std::move(row));
  }
}

// Each end the smallest count whose CDF reaches its level, so at most 2.5 % lies below the band
// and at most 2.5 % above it; no exception escapes.
using BandPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::discrete_quantile<boost::math::policies::integer_round_up>>;

}  // namespace

std::string AllPlacesWord(Game game) { return game == Game::kNumbers4 ? "all_four" : "all_three"; }

double BonferroniThreshold(std::size_t tests) { return kSignificance / static_cast<double>(tests); }

std::string RunName(const RunOutcome& run) {
  std::string name(Word(run.filter));
  if (run.frame) {
    name += " " + std::string(Word(*run.frame));
  }
  return name;
}

RowSignificance SignificanceOf(const std::vector<EvaluationRow>& rows) {
  RowSignificance figures;
  for (const EvaluationRow& row : rows) {
    figures.tests += row.k < kMaxRank ? 1 : 0;
  }
  figures.threshold = BonferroniThreshold(figures.tests);
  for (const EvaluationRow& row : rows) {
    figures.significant += row.k < kMaxRank && row.pValue < figures.threshold ? 1 : 0;
  }
  return figures;
}

std::vector<EvaluationRow> EvaluationRows(const Evaluation& evaluation) {
  std::vector<EvaluationRow> rows;
  const int places = PlaceCount(evaluation.game);
  for (const RunOutcome& run : evaluation.runs) {
    for (std::size_t p = 0; p < run.places.size(); ++p) {
      AddRows(rows, run, std::string(PlaceWord(evaluation.game, static_cast<int>(p))),
              run.places[p], PlaceHitChance, run.places[p].meanRank);
    }
    AddRows(
        rows, run, AllPlacesWord(evaluation.game), run.allPlaces,
        [places](int k) { return AllPlacesHitChance(k, places); }, std::nullopt);
  }
  return rows;
}

std::string EvaluationCsv(const std::vector<EvaluationRow>& rows) {
  std::string csv = "filter,frame,place,k,hits,trials,hit_rate,chance,p_value,mean_rank\n";
  for (const EvaluationRow& row : rows) {
    csv += row.filter + "," + row.frame + "," + row.place + "," + std::to_string(row.k) + "," +
           std::to_string(row.hits) + "," + std::to_string(row.trials) + "," +
           ShortestText(row.hitRate) + "," + ShortestText(row.chance) + "," +
           ShortestText(row.pValue) + "," +
           (row.meanRank ? ShortestText(*row.meanRank) : std::string()) + "\n";
  }
  return csv;
}

ChanceBand ChanceBandAt(std::uint32_t trials, double chance) {
  if (trials == 0 || chance <= 0.0 || chance >= 1.0) {
    const double sure = chance >= 1.0 ? 1.0 : 0.0;
    return {sure, sure};
  }
  const boost::math::binomial_distribution<double, BandPolicy> random(trials, chance);
  const double n = trials;
  return {boost::math::quantile(random, 0.025) / n,
          boost::math::quantile(boost::math::complement(random, 0.025)) / n};
}

}  // namespace tolvane
