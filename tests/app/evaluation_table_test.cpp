#include "app/evaluation_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace tolvane::test {
namespace {

// P(X <= x) for X ~ Binomial(n, p), summed term by term in long double, each term from its
// logarithm so none underflows.
long double LowerSum(std::uint32_t n, long double p, std::uint32_t x) {
  long double sum = 0.0L;
  for (std::uint32_t i = 0; i <= x; ++i) {
    const long double ln = std::lgamma(n + 1.0L) - std::lgamma(i + 1.0L) -
                           std::lgamma(n - i + 1.0L) + i * std::log(p) + (n - i) * std::log1p(-p);
    sum += std::exp(ln);
  }
  return sum;
}

// Each end is the smallest count whose CDF reaches 2.5 % or 97.5 %: less than 2.5 % lies below
// the band, at most 2.5 % above it.
TEST(EvaluationTable, ChanceBandIsTheBinomialQuantiles) {
  for (const std::uint32_t n : {1U, 16U, 85U, 6485U}) {
    for (int k = 1; k < 10; ++k) {
      const long double p = k / 10.0L;
      const ChanceBand band = ChanceBandAt(n, k / 10.0);
      const auto lower = static_cast<std::uint32_t>(std::lround(band.lower * n));
      const auto upper = static_cast<std::uint32_t>(std::lround(band.upper * n));
      EXPECT_EQ(band.lower, static_cast<double>(lower) / n);
      EXPECT_LE(lower, upper);
      constexpr long double kSlack = 1e-12L;  // the sums' own rounding
      EXPECT_LT(lower == 0 ? 0.0L : LowerSum(n, p, lower - 1), 0.025L + kSlack) << n << " " << k;
      EXPECT_GE(LowerSum(n, p, lower), 0.025L - kSlack) << n << " " << k;
      EXPECT_GE(LowerSum(n, p, upper), 0.975L - kSlack) << n << " " << k;
      EXPECT_LT(upper == 0 ? 0.0L : LowerSum(n, p, upper - 1), 0.975L + kSlack) << n << " " << k;
    }
  }
  EXPECT_EQ(ChanceBandAt(50, 1.0).lower, 1.0);
  EXPECT_EQ(ChanceBandAt(0, 0.3).upper, 0.0);
}

TEST(EvaluationTable, RowsAndCsvKeepEveryValue) {
  Evaluation evaluation;
  RunOutcome run;
  run.filter = FilterKind::None;
  run.trials = 3;
  run.places.resize(3);
  for (std::size_t k = 1; k <= 10; ++k) {
    run.places[1].hits[k] = k >= 4 ? 3 : 1;
    run.places[1].pValues[k] = 1.0 / (3.0 + static_cast<double>(k));
    run.allPlaces.hits[k] = k >= 9 ? 3 : 0;
  }
  run.places[1].meanRank = 10.0 / 3.0;
  evaluation.runs = {run};
  const std::vector<EvaluationRow> rows = EvaluationRows(evaluation);
  ASSERT_EQ(rows.size(), 40U);
  const EvaluationRow& tens = rows[10 + 2];  // tens, k = 3
  EXPECT_EQ(tens.place, "tens");
  EXPECT_EQ(tens.k, 3);
  EXPECT_EQ(tens.hits, 1U);
  EXPECT_EQ(tens.hitRate, 1.0 / 3.0);
  EXPECT_EQ(tens.chance, 0.3);
  EXPECT_EQ(rows[39].place, "all_three");
  EXPECT_EQ(rows[39].chance, 1.0);
  EXPECT_FALSE(rows[39].meanRank.has_value());

  // Numbers 4: the thousands first, all four at once with chance (k/10)^4.
  evaluation.game = Game::kNumbers4;
  evaluation.runs.front().places.resize(4);
  const std::vector<EvaluationRow> four = EvaluationRows(evaluation);
  ASSERT_EQ(four.size(), 50U);
  EXPECT_EQ(four[0].place, "thousands");
  EXPECT_EQ(four[10].place, "hundreds");
  EXPECT_EQ(four[42].place, "all_four");
  EXPECT_EQ(four[42].chance, 0.0081);

  const std::string csv = EvaluationCsv(rows);
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "filter,frame,place,k,hits,trials,hit_rate,chance,p_value,mean_rank");
  for (int i = 0; i <= 12; ++i) {
    std::getline(lines, line);
  }
  EXPECT_EQ(line.substr(0, 23), "none,,tens,3,1,3,0.3333");
  // Every double reads back as the very one written.
  std::vector<std::string> fields;
  std::stringstream row(line);
  for (std::string field; std::getline(row, field, ',');) {
    fields.push_back(field);
  }
  ASSERT_EQ(fields.size(), 10U);
  EXPECT_EQ(std::strtod(fields[6].c_str(), nullptr), 1.0 / 3.0);
  EXPECT_EQ(std::strtod(fields[8].c_str(), nullptr), 1.0 / 6.0);
  EXPECT_EQ(std::strtod(fields[9].c_str(), nullptr), 10.0 / 3.0);
  EXPECT_EQ(csv.substr(csv.size() - 30), "none,,all_three,10,3,3,1,1,0,\n");
}

}  // namespace
}  // namespace tolvane::test
