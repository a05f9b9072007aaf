#include "app/gui/spectra_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <cstdint>

#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/place_spectra_box.h"
#include "app/gui/widget_picture.h"
#include "predict/cycle_counts.h"

namespace tolvane {
namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 960;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// 6500 as "6,500", whatever the locale, so the text reads the same on every system.
QString Grouped(std::uint64_t value) {
  QString digits = QString::number(value);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
    digits.insert(at, QLatin1Char(','));
  }
  return digits;
}

QString HeaderText(const PredictionAnalysis& analysis) {
  QString text = QStringLiteral("第%1回の予想    フィルタ: %2")
                     .arg(analysis.round)
                     .arg(FromUtf8(Word(analysis.filter)));
  if (analysis.filter != FilterKind::None) {
    text += QStringLiteral("    フレーム: ") + FromUtf8(Word(analysis.frame));
  }
  return text;
}

}  // namespace

QString TransformedDrawsText(const PredictionAnalysis& analysis) {
  if (analysis.transformedCycles.empty()) {
    return QStringLiteral("draws: none of ") + Grouped(analysis.draws);
  }
  QStringList spans;
  for (const CycleSpan& span : analysis.transformedCycles) {
    // Cycle j holds draws 15j + 1 to 15j + 15.
    const std::uint64_t first = std::uint64_t{span.start} * kCycleLength + 1;
    const std::uint64_t last = std::uint64_t{span.end} * kCycleLength;
    spans.append(Grouped(first) + QStringLiteral("–") + Grouped(last));
  }
  return QStringLiteral("draws ") + spans.join(QStringLiteral(" and ")) + QStringLiteral(" of ") +
         Grouped(analysis.draws);
}

SpectraWindow::SpectraWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_empty(new QLabel(QStringLiteral("まだ予想がありません。予想すると、その順位の元になった"
                                        "スペクトルをここに表示します。"),
                         this)),
      m_content(new QWidget(this)),
      m_header(new QLabel(m_content)),
      m_draws(new QLabel(m_content)),
      m_save(new QPushButton(QStringLiteral("保存"), this)) {
  setObjectName(QStringLiteral("spectraWindow"));
  setWindowTitle(QStringLiteral("パワースペクトル"));
  m_empty->setObjectName(QStringLiteral("emptyLabel"));
  m_empty->setTextFormat(Qt::PlainText);
  m_empty->setAlignment(Qt::AlignCenter);
  m_header->setObjectName(QStringLiteral("headerLabel"));
  m_header->setTextFormat(Qt::PlainText);
  m_content->setObjectName(QStringLiteral("spectraContent"));
  m_content->setAutoFillBackground(true);  // the saved picture has the window's background
  m_draws->setObjectName(QStringLiteral("drawsLabel"));
  m_draws->setTextFormat(Qt::PlainText);
  m_save->setObjectName(QStringLiteral("saveButton"));

  auto* content = new QVBoxLayout(m_content);
  content->addWidget(m_header);
  const std::array<QString, 3> titles = {QStringLiteral("百の位"), QStringLiteral("十の位"),
                                         QStringLiteral("一の位")};
  const std::array<const char*, 3> names = {"placeHundreds", "placeTens", "placeOnes"};
  for (std::size_t place = 0; place < m_places.size(); ++place) {
    m_places[place] = new PlaceSpectraBox(titles[place], m_content);
    m_places[place]->setObjectName(QString::fromLatin1(names[place]));
    content->addWidget(m_places[place], 1);
  }
  content->addWidget(m_draws);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  buttons->addWidget(m_save);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_empty, 1);
  layout->addWidget(m_content, 1);
  layout->addLayout(buttons);

  connect(m_save, &QPushButton::clicked, this, &SpectraWindow::OnSave);
  resize(kWidth, kHeight);
  ShowAnalysis(nullptr);
}

void SpectraWindow::ShowAnalysis(const PredictionAnalysis* analysis) {
  m_empty->setVisible(analysis == nullptr);
  m_content->setVisible(analysis != nullptr);
  m_save->setEnabled(analysis != nullptr);
  if (analysis == nullptr) {
    m_round.reset();
    m_header->clear();
    for (PlaceSpectraBox* place : m_places) {
      place->ShowRanking(nullptr);
    }
    m_draws->clear();
    return;
  }
  m_round = analysis->round;
  m_header->setText(HeaderText(*analysis));
  for (std::size_t place = 0; place < m_places.size(); ++place) {
    m_places[place]->ShowRanking(&analysis->places[place]);
  }
  m_draws->setText(TransformedDrawsText(*analysis));
}

void SpectraWindow::OnSave() {
  FileRequest request;
  request.mode = FileRequest::Mode::Save;
  request.nameFilters = {QStringLiteral("PNG (*.png)"), QStringLiteral("SVG (*.svg)")};
  request.initialPath = QStringLiteral("spectra-%1.png").arg(m_round.value_or(0));
  const std::optional<QString> path = ChooseFile(this, request);
  if (!path) {
    return;
  }
  QString reason;
  if (!SaveWidgetPicture(*m_content, *path, &reason)) {
    ShowMessageBox(this, QStringLiteral("画像を保存できませんでした: %1\n%2").arg(*path, reason),
                   QStringLiteral("エラー"), QMessageBox::Critical);
  }
}

}  // namespace tolvane
