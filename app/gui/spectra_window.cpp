#include "app/gui/spectra_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "app/gui/modal.h"
#include "app/gui/option_labels.h"
#include "app/gui/place_spectra_box.h"
#include "app/gui/save_file.h"
#include "predict/cycle_counts.h"

namespace tolvane {
namespace {

// With its title bar within the smallest screen (window_placement.h).
constexpr int kWidth = 1100;
constexpr int kHeight = 700;

QString HeaderText(const PredictionAnalysis& analysis) {
  QString text = QStringLiteral("第%1回の予想    フィルタ: %2")
                     .arg(analysis.round)
                     .arg(FilterLabel(analysis.filter));
  if (analysis.filter != FilterKind::None) {
    text += QStringLiteral("    フレーム: ") + FrameLabel(analysis.frame);
  }
  return text;
}

// Measures `widget`'s layout again, with the layouts inside it. Qt does so by itself only in a
// shown window; one not yet shown would otherwise take its first size from the charts' heights
// before.
void Relayout(QWidget& widget) {
  widget.layout()->invalidate();
  widget.layout()->activate();
}

}  // namespace

QString TransformedDrawsText(const PredictionAnalysis& analysis) {
  const QString all = QStringLiteral(" (全 %1 回)").arg(Grouped(analysis.draws));
  if (analysis.transformedCycles.empty()) {
    return QStringLiteral("変換した抽せん: なし") + all;
  }
  QStringList spans;
  for (const CycleSpan& span : analysis.transformedCycles) {
    // Cycle j holds draws 15j + 1 to 15j + 15.
    const std::uint64_t first = std::uint64_t{span.start} * kCycleLength + 1;
    const std::uint64_t last = std::uint64_t{span.end} * kCycleLength;
    spans.append(Grouped(first) + QStringLiteral("〜") + Grouped(last) + QStringLiteral(" 回目"));
  }
  return QStringLiteral("変換した抽せん: ") + spans.join(QStringLiteral("と ")) + all;
}

SpectraWindow::SpectraWindow(QWidget* parent, std::function<QString()> historyPath)
    : QWidget(parent, Qt::Window),
      empty_(new QLabel(QStringLiteral("まだ予想がありません。予想すると、その順位の元になった"
                                       "スペクトルをここに表示します。"),
                        this)),
      content_(new QWidget(this)),
      header_(new QLabel(content_)),
      draws_(new QLabel(content_)),
      save_(new QPushButton(QStringLiteral("保存"), this)),
      historyPath_(std::move(historyPath)) {
  setObjectName(QStringLiteral("spectraWindow"));
  setWindowTitle(QStringLiteral("パワースペクトル"));
  empty_->setObjectName(QStringLiteral("emptyLabel"));
  empty_->setTextFormat(Qt::PlainText);
  empty_->setAlignment(Qt::AlignCenter);
  header_->setObjectName(QStringLiteral("headerLabel"));
  header_->setTextFormat(Qt::PlainText);
  content_->setObjectName(QStringLiteral("spectraContent"));
  content_->setAutoFillBackground(true);  // the saved picture has the window's background
  draws_->setObjectName(QStringLiteral("drawsLabel"));
  draws_->setTextFormat(Qt::PlainText);
  save_->setObjectName(QStringLiteral("saveButton"));

  auto* content = new QVBoxLayout(content_);
  content->addWidget(header_);
  const std::array<const char*, kMaxPlaces> names = {"placeThousands", "placeHundreds", "placeTens",
                                                     "placeOnes"};
  for (std::size_t place = 0; place < places_.size(); ++place) {
    places_[place] = new PlaceSpectraBox(PlaceCaption(Game::kNumbers4, place), content_);
    places_[place]->setObjectName(QString::fromLatin1(names[place]));
    content->addWidget(places_[place], 1);
  }
  places_[0]->hide();  // until a prediction of Numbers 4
  content->addWidget(draws_);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  buttons->addWidget(save_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(empty_, 1);
  layout->addWidget(content_, 1);
  layout->addLayout(buttons);

  connect(save_, &QPushButton::clicked, this, &SpectraWindow::OnSave);
  resize(kWidth, kHeight);
  ShowAnalysis(nullptr);
}

void SpectraWindow::ShowAnalysis(const PredictionAnalysis* analysis) {
  empty_->setVisible(analysis == nullptr);
  content_->setVisible(analysis != nullptr);
  save_->setEnabled(analysis != nullptr);
  if (analysis == nullptr) {
    round_.reset();
    header_->clear();
    for (PlaceSpectraBox* place : places_) {
      place->ShowRanking(nullptr);
    }
    draws_->clear();
    return;
  }
  round_ = analysis->round;
  header_->setText(HeaderText(*analysis));
  // The game's places are the last rows; the rows above them stay hidden.
  const std::size_t shown = std::min(analysis->places.size(), places_.size());
  const std::size_t first = places_.size() - shown;
  // Every place compact or not before any shows: a shown window grows at once for four places
  // of full height, taller than the screen, and does not shrink back by itself.
  for (PlaceSpectraBox* place : places_) {
    place->SetCompact(first == 0);
  }
  for (std::size_t place = 0; place < places_.size(); ++place) {
    places_[place]->setVisible(place >= first);
    places_[place]->ShowRanking(place >= first ? &analysis->places[place - first] : nullptr);
    Relayout(*places_[place]);
  }
  draws_->setText(TransformedDrawsText(*analysis));
  Relayout(*this);  // the window's least size follows the places shown
}

void SpectraWindow::OnSave() {
  const QString name = QStringLiteral("spectra-%1.png").arg(round_.value_or(0));
  const std::optional<SaveTarget> target = ChooseSaveTarget(
      this, QStringLiteral("スペクトルの保存"), {SaveFormat::kPng, SaveFormat::kSvg},
      BesideHistory(historyPath_ ? historyPath_() : QString(), name));
  if (target) {
    WriteSavedFile(this, target->path, PictureBytes(*content_, target->format));
  }
}

}  // namespace tolvane
