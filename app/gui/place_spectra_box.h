#pragma once

#include <QGroupBox>
#include <QList>
#include <array>

#include "predict/digit_ranking.h"

class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;

namespace tolvane {

// One place of the spectra window: the ten digits' normalised power spectra (bins 0 to n/2, one
// line per digit, the legend in ranked order) beside a bar chart of their scores in ranked order.
// The legend is a grid of labels (spectrumLegend) rather than the chart's own, which drops
// entries when the chart is short.
class PlaceSpectraBox : public QGroupBox {
  Q_OBJECT

 public:
  PlaceSpectraBox(const QString& title, QWidget* parent);

  // Draws `ranking`; null clears both charts.
  void ShowRanking(const DigitRanking* ranking);
  // Lets the charts be lower, so four places in rows fit the smallest screen: without axis titles
  // and with fewer score ticks, which the lower charts would otherwise cut to "…".
  void SetCompact(bool compact);

 private:
  void ShowSpectra(const DigitRanking& ranking);
  void ShowScores(const DigitRanking& ranking);
  // Gives the score axis room above the tallest bar and stands each score above its bar.
  void FitScoreLabels();

  QChartView* spectrumView_ = nullptr;
  QChartView* scoreView_ = nullptr;
  std::array<QLabel*, kDigitValues> legend_{};  // by rank
  QLabel* note_ = nullptr;
  QList<QGraphicsSimpleTextItem*> scoreLabels_;  // by rank, children of the score chart
  double scoresHigh_ = 0.0;
  double fittedTop_ = 0.0;  // the score axis's top as last fitted to the plot's height
  bool compact_ = false;
  bool omitted_ =
      false;  // a value the charts cannot draw (not finite, or not above 0 on a log axis)
};

}  // namespace tolvane
