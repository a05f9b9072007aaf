#include "app/gui/evaluation_window.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <limits>

#include "app/analysis_history.h"
#include "app/gui/evaluation_chart.h"
#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/option_labels.h"
#include "app/gui/save_file.h"
#include "app/prediction_command.h"
#include "history/payouts.h"
#include "predict/prediction_options.h"

namespace tolvane {
namespace {

constexpr int kProgressSteps = 1000;
// With its title bar within the smallest screen (window_placement.h).
constexpr int kWidth = 1100;
constexpr int kHeight = 700;

const char* const kFilterNames[] = {"filterLowPassCheck", "filterBandPassCheck", "filterNoneCheck"};
const char* const kFrameNames[] = {"frameHeadCheck", "frameTailCheck", "frameCenterCheck",
                                   "frameHeadTailCheck"};

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The table's filter and frame cells: the rows hold the command line's words.
QString FilterCell(const std::string& word) {
  const std::optional<FilterKind> kind = FilterKindFromWord(word);
  return kind ? FilterLabel(*kind) : QString::fromStdString(word);
}

QString FrameCell(const std::string& word) {
  const std::optional<FrameMode> mode = FrameModeFromWord(word);
  return mode ? FrameLabel(*mode) : QString::fromStdString(word);
}

QString Percent(double share) { return QString::asprintf("%.1f %%", 100.0 * share); }

// Why nothing was evaluated, in the window's words.
QString FailureText(const Evaluation& evaluation) {
  if (evaluation.status == EvaluationStatus::TooFewDraws) {
    return QStringLiteral("評価できません: 履歴は %1 回分です。評価には %2 回分以上が必要です。")
        .arg(evaluation.draws)
        .arg(kMinimumEvaluationDraws);
  }
  return QStringLiteral("評価できません。");
}

}  // namespace

EvaluationWindow::EvaluationWindow(std::function<HistoryChoice()> history, QWidget* parent)
    : QWidget(parent, Qt::Window), historyChoice_(std::move(history)) {
  setObjectName(QStringLiteral("evaluationWindow"));
  setWindowTitle(QStringLiteral("的中率の検証"));
  CreateControls();
  resize(kWidth, kHeight);
}

EvaluationWindow::~EvaluationWindow() { runner_.Cancel(); }

void EvaluationWindow::CreateControls() {
  auto* filters = new QGroupBox(QStringLiteral("フィルタ"), this);
  auto* filterLayout = new QHBoxLayout;
  filters->setLayout(filterLayout);
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    filterChecks_[i] = new QCheckBox(Text(kFilterKinds[i].label), filters);
    filterChecks_[i]->setObjectName(QString::fromLatin1(kFilterNames[i]));
    filterChecks_[i]->setChecked(true);
    filterLayout->addWidget(filterChecks_[i]);
  }
  auto* frames = new QGroupBox(QStringLiteral("フレーム (NONE 以外)"), this);
  auto* frameLayout = new QHBoxLayout;
  frames->setLayout(frameLayout);
  for (std::size_t i = 0; i < kFrameModes.size(); ++i) {
    frameChecks_[i] = new QCheckBox(FrameLabel(kFrameModes[i].kind), frames);
    frameChecks_[i]->setObjectName(QString::fromLatin1(kFrameNames[i]));
    frameChecks_[i]->setChecked(true);
    frameLayout->addWidget(frameChecks_[i]);
  }
  auto* lastLabel = new QLabel(QStringLiteral("直近"), this);
  lastSpin_ = new QSpinBox(this);
  lastSpin_->setObjectName(QStringLiteral("lastSpin"));
  lastSpin_->setRange(0, std::numeric_limits<int>::max());
  lastSpin_->setSpecialValueText(QStringLiteral("すべて"));
  lastSpin_->setSuffix(QStringLiteral(" 回"));
  lastSpin_->setToolTip(QStringLiteral("検証する直近の回数 (すべて: 16 回目から)"));
  lastLabel->setBuddy(lastSpin_);

  runButton_ = new QPushButton(QStringLiteral("実行(&R)"), this);
  runButton_->setObjectName(QStringLiteral("runButton"));
  cancelButton_ = new QPushButton(QStringLiteral("中止(&C)"), this);
  cancelButton_->setObjectName(QStringLiteral("cancelButton"));
  cancelButton_->setEnabled(false);
  saveButton_ = new QPushButton(QStringLiteral("保存(&S)..."), this);
  saveButton_->setObjectName(QStringLiteral("saveButton"));
  saveButton_->setEnabled(false);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("progressBar"));
  progress_->setRange(0, kProgressSteps);
  progress_->setValue(0);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("statusLabel"));
  status_->setWordWrap(true);
  status_->setTextFormat(Qt::PlainText);

  table_ = new QTableWidget(0, 10, this);
  table_->setObjectName(QStringLiteral("resultTable"));
  table_->setHorizontalHeaderLabels({QStringLiteral("フィルタ"), QStringLiteral("フレーム"),
                                     QStringLiteral("位"), QStringLiteral("k"),
                                     QStringLiteral("的中"), QStringLiteral("回数"),
                                     QStringLiteral("的中率"), QStringLiteral("偶然"),
                                     QStringLiteral("p 値"), QStringLiteral("平均順位")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

  plotRun_ = new QComboBox(this);
  plotRun_->setObjectName(QStringLiteral("plotRunCombo"));
  difference_ = new QCheckBox(QStringLiteral("偶然との差で表示(&D)"), this);
  difference_->setObjectName(QStringLiteral("differenceCheck"));
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chartView_ = new QChartView(chart_, this);  // the view owns the chart
  chartView_->setObjectName(QStringLiteral("chartView"));
  chartView_->setRenderHint(QPainter::Antialiasing);

  auto* controls = new QHBoxLayout;
  controls->addWidget(filters);
  controls->addWidget(frames);
  controls->addWidget(lastLabel);
  controls->addWidget(lastSpin_);
  controls->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(runButton_);
  buttons->addWidget(cancelButton_);
  buttons->addWidget(progress_, 1);
  buttons->addWidget(saveButton_);
  auto* plotPane = new QWidget(this);
  auto* plotLayout = new QVBoxLayout(plotPane);
  plotLayout->setContentsMargins(0, 0, 0, 0);
  auto* plotControls = new QHBoxLayout;
  plotControls->addWidget(plotRun_, 1);
  plotControls->addWidget(difference_);
  plotLayout->addLayout(plotControls);
  plotLayout->addWidget(chartView_, 1);
  auto* results = new QSplitter(Qt::Horizontal, this);
  results->addWidget(table_);
  results->addWidget(plotPane);
  results->setSizes({kWidth / 2, kWidth / 2});
  moneyView_ = new MoneyView(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("resultTabs"));
  tabs_->addTab(results, QStringLiteral("的中率"));
  tabs_->addTab(moneyView_, QStringLiteral("収支"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  layout->addWidget(tabs_, 1);

  // The worker's signals are queued: their slots run on this window's thread.
  connect(this, &EvaluationWindow::WorkerProgressed, this, &EvaluationWindow::OnProgress,
          Qt::QueuedConnection);
  connect(this, &EvaluationWindow::WorkerFinished, this, &EvaluationWindow::OnFinished,
          Qt::QueuedConnection);
  connect(runButton_, &QPushButton::clicked, this, &EvaluationWindow::OnRun);
  connect(cancelButton_, &QPushButton::clicked, this, &EvaluationWindow::OnCancel);
  connect(saveButton_, &QPushButton::clicked, this, &EvaluationWindow::OnSave);
  connect(plotRun_, &QComboBox::currentIndexChanged, this, &EvaluationWindow::ShowPlot);
  connect(difference_, &QCheckBox::toggled, this, [this] { ShowPlot(plotRun_->currentIndex()); });
  connect(moneyView_, &MoneyView::choiceChanged, this, &EvaluationWindow::moneyChoiceChanged);
  moneyView_->FollowGame(historyChoice_().game);
}

std::vector<EvaluationRun> EvaluationWindow::ChosenRuns() const {
  std::vector<FilterKind> filters;
  std::vector<FrameMode> frames;
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    if (filterChecks_[i]->isChecked()) {
      filters.push_back(kFilterKinds[i].kind);
    }
  }
  for (std::size_t i = 0; i < kFrameModes.size(); ++i) {
    if (frameChecks_[i]->isChecked()) {
      frames.push_back(kFrameModes[i].kind);
    }
  }
  return RunsFor(filters, frames);
}

void EvaluationWindow::OnRun() {
  if (IsRunning()) {
    return;
  }
  EvaluationRequest request;
  request.runs = ChosenRuns();
  if (request.runs.empty()) {
    ClearResults();
    status_->setText(QStringLiteral("フィルタを選び、LPF と BPF にはフレームも選んでください。"));
    return;
  }
  if (lastSpin_->value() > 0) {
    request.last = static_cast<std::uint32_t>(lastSpin_->value());
  }
  request.keepTargets = false;

  // Loaded here, as the prediction loads; only the evaluation itself goes to the worker.
  OwnedHistory history;
  const HistoryChoice chosen = historyChoice_();
  const std::string path = QFile::encodeName(chosen.path).toStdString();
  const LoadOptions options{chosen.encoding, chosen.game};
  const AnalysisHistory load = LoadAnalysisHistory(path, history, options);
  if (!load.loaded) {
    ShowMessageBox(this, LoadFailureText(load), QMessageBox::Critical,
                   QString::fromStdString(load.detail));
    return;
  }
  // The tickets ticked are replayed too, on the same worker, paid as the history says.
  moneyView_->FollowGame(chosen.game);
  MoneyRequest money;
  const MoneyChoice choice = moneyView_->Choice();
  money.bets = choice.bets;
  money.tickets = choice.tickets;
  money.keepDraws = true;
  HistoryPayouts payouts;
  if (!money.bets.empty()) {
    LoadReport failure;
    if (!ReadHistoryPayouts(path, options, payouts, failure)) {
      ShowMessageBox(this, QStringLiteral("履歴ファイルの払戻金を読めません。"),
                     QMessageBox::Critical,
                     QString::fromStdString(LoadFailureDetail(path, failure)));
      return;
    }
    request.keepRankings = true;
  }
  ClearResults();
  status_->setText(QStringLiteral("検証中..."));

  // The worker's calls become queued signals, handled on this window's thread; the generation
  // tells a stopped run's late ones apart.
  const unsigned generation = ++generation_;
  // Replaying the tickets takes about as long as the evaluation: each fills half the bar.
  const std::uint64_t halves = money.bets.empty() ? 1 : 2;
  const bool started = runner_.Start(
      std::move(history), std::move(request),
      [this, generation, halves](std::uint64_t done, std::uint64_t total) {
        emit WorkerProgressed(generation, done, halves * total, QPrivateSignal());
      },
      [this, generation, money = std::move(money),
       paid = std::move(payouts.draws)](std::shared_ptr<Evaluation> evaluation) {
        std::shared_ptr<const MoneyResults> replayed;
        if (evaluation && evaluation->status == EvaluationStatus::Ok && !money.bets.empty()) {
          try {
            replayed = std::make_shared<const MoneyResults>(MoneyResults{ReplayMoney(
                runner_.History(), *evaluation, paid, money,
                [this, generation](std::uint64_t done, std::uint64_t total) {
                  emit WorkerProgressed(generation, total + done, 2 * total, QPrivateSignal());
                })});
          } catch (...) {
            replayed.reset();  // out of memory: the hit rates are still shown
          }
        }
        emit WorkerFinished(generation, std::move(evaluation), std::move(replayed),
                            QPrivateSignal());
      });
  if (!started) {
    status_->setText(QStringLiteral("検証を始められませんでした (スレッドを作れません)。"));
    return;
  }
  SetRunning(true);
}

void EvaluationWindow::ClearResults() {
  evaluation_.reset();
  rows_.clear();
  money_.reset();
  moneyView_->Clear();
  table_->setRowCount(0);
  plotRun_->clear();
  ClearPlot(*chart_);
  progress_->setValue(0);
  saveButton_->setEnabled(false);
}

void EvaluationWindow::OnCancel() {
  if (!IsRunning()) {
    return;
  }
  runner_.Cancel();
  SetRunning(false);
  progress_->setValue(0);
  status_->setText(QStringLiteral("中止しました。"));
}

void EvaluationWindow::closeEvent(QCloseEvent* event) {
  OnCancel();
  QWidget::closeEvent(event);
}

void EvaluationWindow::SetRunning(bool running) {
  runButton_->setEnabled(!running);
  cancelButton_->setEnabled(running);
  saveButton_->setEnabled(!running && !rows_.empty());
  emit runningChanged(running);
}

void EvaluationWindow::OnProgress(unsigned generation, quint64 done, quint64 total) {
  if (generation != generation_ || !IsRunning() || total == 0) {
    return;
  }
  progress_->setValue(static_cast<int>(done * kProgressSteps / total));
}

void EvaluationWindow::OnFinished(unsigned generation,
                                  const std::shared_ptr<Evaluation>& evaluation,
                                  const std::shared_ptr<const MoneyResults>& money) {
  // A run stopped by 中止 was already waited for and reported.
  if (generation != generation_ || !IsRunning()) {
    return;
  }
  runner_.Join();  // it has nothing left to do but return
  if (evaluation && evaluation->status == EvaluationStatus::Ok) {
    evaluation_ = evaluation;
    rows_ = EvaluationRows(*evaluation);
    money_ = money;
    progress_->setValue(kProgressSteps);
    ShowResults();
    moneyView_->ShowResults(evaluation, money);
    SetRunning(false);
    return;
  }
  Evaluation failed;
  failed.status = EvaluationStatus::NoMemory;
  const Evaluation& outcome = evaluation ? *evaluation : failed;
  SetRunning(false);
  progress_->setValue(0);
  status_->setText(FailureText(outcome));
  ShowMessageBox(this, FailureText(outcome), QMessageBox::Critical,
                 QString::fromStdString(StatusText(outcome)));
}

void EvaluationWindow::ShowResults() {
  table_->setRowCount(static_cast<int>(rows_.size()));
  const RowSignificance significance = SignificanceOf(rows_);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const EvaluationRow& row = rows_[i];
    const QStringList cells = {
        FilterCell(row.filter),
        row.frame.empty() ? QString() : FrameCell(row.frame),
        PlaceCaption(row.place),
        QString::number(row.k),
        QString::number(row.hits),
        QString::number(row.trials),
        Percent(row.hitRate),
        Percent(row.chance),
        QString::asprintf("%.3g", row.pValue),
        row.meanRank ? QString::asprintf("%.3f", *row.meanRank) : QString(),
    };
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column >= 3) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      table_->setItem(static_cast<int>(i), column, item);
    }
  }
  const RunOutcome& first = evaluation_->runs.front();
  status_->setText(
      QStringLiteral(
          "履歴 %1 回分のうち %2〜%3 回目の %4 回を、それぞれ前までの回から予想して検証し"
          "ました。ボンフェローニ補正 (検定 %5 件, p < %6) で偶然を上回ったもの: %7。")
          .arg(Grouped(evaluation_->draws), Grouped(first.firstDraw), Grouped(evaluation_->draws),
               Grouped(first.trials))
          .arg(significance.tests)
          .arg(QString::asprintf("%.2g", significance.threshold))
          .arg(significance.significant == 0
                   ? QStringLiteral("なし")
                   : QStringLiteral("%1 件").arg(significance.significant)));
  // The first item added selects itself, which plots its run.
  for (const RunOutcome& run : evaluation_->runs) {
    plotRun_->addItem(RunLabel(run));
  }
}

void EvaluationWindow::ShowPlot(int run) {
  if (!evaluation_ || run < 0 || static_cast<std::size_t>(run) >= evaluation_->runs.size()) {
    return;
  }
  const RunOutcome& outcome = evaluation_->runs[static_cast<std::size_t>(run)];
  PlotRun(*chart_, outcome, evaluation_->game,
          QStringLiteral("%1 (%2 回)").arg(RunLabel(outcome), Grouped(outcome.trials)),
          difference_->isChecked());
}

void EvaluationWindow::OnSave() {
  if (rows_.empty() || IsRunning()) {
    return;
  }
  // The tab shown decides which plot and table; the type chosen, the plot as a picture or the
  // table as CSV.
  const bool money = tabs_->currentWidget() == moneyView_;
  if (money && !moneyView_->HasResults()) {
    status_->setText(QStringLiteral("収支は券種を選んで実行すると出ます。"));
    return;
  }
  const std::optional<SaveTarget> target = ChooseSaveTarget(
      this, QStringLiteral("グラフまたは表の保存"),
      {SaveFormat::kPng, SaveFormat::kSvg, SaveFormat::kCsv},
      BesideHistory(historyChoice_().path,
                    money ? QStringLiteral("money.png") : QStringLiteral("evaluation.png")));
  if (!target) {
    return;
  }
  QWidget& chart = money ? static_cast<QWidget&>(moneyView_->ChartView()) : *chartView_;
  const QByteArray bytes = target->format != SaveFormat::kCsv ? PictureBytes(chart, target->format)
                           : money ? QByteArray::fromStdString(moneyView_->Csv())
                                   : QByteArray::fromStdString(EvaluationCsv(rows_));
  if (WriteSavedFile(this, target->path, bytes)) {
    status_->setText(QStringLiteral("保存しました: %1").arg(target->path));
  }
}

}  // namespace tolvane
