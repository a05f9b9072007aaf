#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "app/prediction_analysis.h"

class QLabel;
class QPushButton;

namespace tolvane {

class PlaceSpectraBox;

// What the last prediction's ranking rests on, per place: the ten digits' power spectra and
// their scores, and which draws the transform took. A window of its own beside the main one;
// 保存 writes the picture as PNG or SVG.
class SpectraWindow : public QWidget {
  Q_OBJECT

 public:
  // `historyPath` gives the main window's history path, whose folder 保存 starts in; empty:
  // the working folder.
  explicit SpectraWindow(QWidget* parent = nullptr, std::function<QString()> historyPath = nullptr);

  // Shows what `analysis` rests on; null: there is no prediction yet.
  void ShowAnalysis(const PredictionAnalysis* analysis);
  // Asks for a file and writes the charts there as PNG or SVG, the type chosen deciding;
  // reports a failure in a box.
  void OnSave();

 private:
  QLabel* empty_ = nullptr;     // shown until there is a prediction
  QWidget* content_ = nullptr;  // what 保存 writes: round and filter, the places, the draws line
  QLabel* header_ = nullptr;
  // Every place highest first, thousands to ones; a game shows its last PlaceCount of them.
  std::array<PlaceSpectraBox*, kMaxPlaces> places_{};
  QLabel* draws_ = nullptr;
  QPushButton* save_ = nullptr;
  std::optional<int> round_;
  std::function<QString()> historyPath_;
};

// Which draws the transform used, counted from 1 over the whole history:
// "変換した抽せん: 1〜3,840 回目 (全 6,500 回)", both stretches for head-and-tail
// ("1〜3,840 回目と 2,656〜6,495 回目"), "変換した抽せん: なし (全 14 回)" without a cycle.
QString TransformedDrawsText(const PredictionAnalysis& analysis);

}  // namespace tolvane
