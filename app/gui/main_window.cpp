#include "app/gui/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <array>
#include <limits>

#include "app/gui/about_dialog.h"
#include "app/gui/add_draw_dialog.h"
#include "app/gui/copy_menu.h"
#include "app/gui/dialog_font.h"
#include "app/gui/evaluation_window.h"
#include "app/gui/import_dialog.h"
#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/money_choice.h"
#include "app/gui/path_edit.h"
#include "app/gui/radio_ring.h"
#include "app/gui/resources.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "app/gui/spectra_window.h"
#include "app/gui/statistics_window.h"
#include "app/gui/update_history_dialog.h"
#include "app/gui/window_placement.h"
#include "app/money_table.h"

namespace tolvane {
namespace {

constexpr int kClientWidthUnits = 537;
constexpr int kClientHeightUnits = 329;
constexpr int kRoundTypingLimit = 4;
constexpr int kRoundLower = 1;
constexpr int kRoundUpper = 9999;
constexpr int kRoundStart = 1;
// What a plain text box draws beyond its lines: the cursor's room at the end.
constexpr int kTicketsSlack = 4;

QString Label(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* MakeStatic(QWidget* parent, const QString& text, const QRect& rect) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(rect);
  return label;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& text, const QRect& rect,
                        QButtonGroup* group, int position) {
  auto* radio = new QRadioButton(text, parent);
  radio->setGeometry(rect);
  group->addButton(radio, position);
  return radio;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      icon_(ProgramIcon()) {
  setFont(DialogFont());
  CreateControls();
  CreateMenu();
  OnInitDialog();
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateControls() {
  const DialogUnits units(font());
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("clientArea"));
  QWidget* c = client_;

  // Created in tab order, which is also the stacking order: later controls lie on top. Each has
  // a descriptive object name, by which findChild finds it.
  roundEdit_ = new RoundEdit(c);
  roundEdit_->setObjectName(QStringLiteral("roundEdit"));
  roundEdit_->setGeometry(units.Rect(14, 30, 58, 14));

  pathEdit_ = new PathEdit(c);
  pathEdit_->setObjectName(QStringLiteral("pathEdit"));
  pathEdit_->setGeometry(units.Rect(88, 30, 67, 14));

  browseButton_ = new QPushButton(QStringLiteral("選択"), c);
  browseButton_->setObjectName(QStringLiteral("browseButton"));
  browseButton_->setGeometry(units.Rect(156, 30, 50, 14));

  auto* filterBox = new QGroupBox(QStringLiteral("フィルタ"), c);
  filterBox->setGeometry(units.Rect(219, 46, 249, 46));

  // One button per filter kind, in the order of the kinds' table.
  filterGroup_ = new QButtonGroup(this);
  const std::array<QRect, 3> filterRects = {
      units.Rect(236, 66, 29, 10), units.Rect(266, 66, 30, 10), units.Rect(299, 66, 36, 10)};
  const std::array<const char*, 3> filterNames = {"filterLowPass", "filterBandPass", "filterNone"};
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    MakeRadio(c, Label(kFilterKinds[i].label), filterRects[i], filterGroup_, static_cast<int>(i))
        ->setObjectName(QString::fromLatin1(filterNames[i]));
  }
  WrapArrowKeys(filterGroup_);

  predictButton_ = new QPushButton(QStringLiteral("予想"), c);
  predictButton_->setObjectName(QStringLiteral("predictButton"));
  predictButton_->setGeometry(units.Rect(15, 63, 50, 14));

  outputEdit_ = new QLineEdit(c);
  outputEdit_->setObjectName(QStringLiteral("outputEdit"));
  outputEdit_->setGeometry(units.Rect(150, 80, 67, 14));
  outputEdit_->hide();

  MakeStatic(c, QStringLiteral("入力ファイル名"), units.Rect(92, 14, 45, 8));

  frameBox_ = new QGroupBox(QStringLiteral("スタティック"), c);
  frameBox_->setGeometry(units.Rect(245, 6, 143, 36));
  frameBox_->hide();

  frameGroup_ = new QButtonGroup(this);
  const std::array<QRect, 4> frameRects = {units.Rect(247, 19, 52, 10), units.Rect(290, 19, 49, 10),
                                           units.Rect(332, 18, 61, 10),
                                           units.Rect(245, 32, 67, 10)};
  const std::array<const char*, 4> frameNames = {"frameHead", "frameTail", "frameCenter",
                                                 "frameHeadTail"};
  for (std::size_t i = 0; i < kFrameModes.size(); ++i) {
    QRadioButton* radio =
        MakeRadio(c, Label(kFrameModes[i].label), frameRects[i], frameGroup_, static_cast<int>(i));
    radio->setObjectName(QString::fromLatin1(frameNames[i]));
    radio->hide();
  }

  outputLabel_ = MakeStatic(c, QStringLiteral("出力ファイル名"), units.Rect(151, 70, 45, 8));
  outputLabel_->hide();

  MakeStatic(c, QStringLiteral("予想回号"), units.Rect(15, 14, 45, 8));

  resultLabel_ = MakeStatic(c, QStringLiteral(" "), units.Rect(99, 103, 421, 199));
  resultLabel_->setObjectName(QStringLiteral("resultLabel"));
  resultLabel_->setWordWrap(true);
  // Selectable for copying, still read-only; by mouse only, so Tab keeps passing it by.
  resultLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  GiveCopyMenu(resultLabel_);

  // Under the result, outside it: the result text stays what the command line prints.
  ticketsView_ = new QPlainTextEdit(c);
  ticketsView_->setObjectName(QStringLiteral("ticketsView"));
  ticketsView_->setGeometry(units.Rect(99, 303, 421, 25));
  ticketsView_->setReadOnly(true);
  // A line a kind, wrapped, as many as fit; more scroll.
  ticketsView_->setFrameShape(QFrame::NoFrame);
  ticketsView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ticketsView_->document()->setDocumentMargin(0);
  ticketsView_->setFocusPolicy(Qt::ClickFocus);  // Tab keeps its cycle through the inputs
  GiveCopyMenu(ticketsView_);
  ticketsView_->hide();

  iconLabel_ = MakeStatic(c, QString(), units.Rect(7, 291, 20, 20));
  iconLabel_->setObjectName(QStringLiteral("iconLabel"));

  logoLabel_ = MakeStatic(c, QString(), units.Rect(476, 8, 8, 9));
  logoLabel_->setObjectName(QStringLiteral("logoLabel"));

  roundSpin_ = new RoundSpin(c);
  roundSpin_->setObjectName(QStringLiteral("roundSpin"));
  roundSpin_->setGeometry(units.Rect(71, 29, 9, 16));

  QWidget::setTabOrder(roundEdit_, pathEdit_);
  QWidget::setTabOrder(pathEdit_, browseButton_);
  QWidget::setTabOrder(browseButton_, FilterButton(0));
  QWidget::setTabOrder(FilterButton(0), FilterButton(1));
  QWidget::setTabOrder(FilterButton(1), FilterButton(2));
  QWidget::setTabOrder(FilterButton(2), predictButton_);
  QWidget::setTabOrder(predictButton_, outputEdit_);
  QWidget::setTabOrder(outputEdit_, FrameButton(0));
  for (int i = 0; i < 3; ++i) {
    QWidget::setTabOrder(FrameButton(i), FrameButton(i + 1));
  }

  // Enter ends the dialog, so no button may be or look like the default one: an auto-default
  // button becomes the default when it has the focus, and the first one when the dialog shows.
  // keyPressEvent gives a focused button its Enter as a click.
  browseButton_->setAutoDefault(false);
  predictButton_->setAutoDefault(false);

  connect(browseButton_, &QPushButton::clicked, this, &MainWindow::OnBrowse);
  connect(predictButton_, &QPushButton::clicked, this, &MainWindow::OnPredict);
  for (std::size_t i = 0; i < kFrameModes.size(); ++i) {
    connect(FrameButton(static_cast<int>(i)), &QRadioButton::clicked, this,
            [this, i] { frameMode_ = kFrameModes[i].kind; });
  }
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    connect(FilterButton(static_cast<int>(i)), &QRadioButton::clicked, this,
            [this, i] { filterKind_ = kFilterKinds[i].kind; });
  }
  roundSpin_->SetDeltaPosHandler(
      [this](int pos, int& delta) { return OnDeltaposRoundSpin(pos, delta); });
  connect(roundEdit_, &QLineEdit::textChanged, this, &MainWindow::OnChangeRoundEdit);

  resize(units.X(kClientWidthUnits), units.Y(kClientHeightUnits));
}

void MainWindow::CreateMenu() {
  menuBar_ = new QMenuBar(this);
  menuBar_->setObjectName(QStringLiteral("menuBar"));
  QMenu* file = menuBar_->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  openAction_ = file->addAction(QStringLiteral("開く(&O)..."));
  // A results file of another layout becomes a history, which the path edit then names.
  QAction* importAction = file->addAction(QStringLiteral("インポート(&I)..."));
  importAction->setObjectName(QStringLiteral("importAction"));
  connect(importAction, &QAction::triggered, this, [this] {
    if (const std::optional<QString> written = RunImport(this, HistoryPath(), game_)) {
      // The converter writes code page 932, whatever encoding was chosen for reading.
      SelectEncoding(TextEncoding::kCp932);
      TakeHistory(*written);
    }
  });
  // Keeping the history named in the path edit current; the round follows its new highest.
  QAction* addDraw = file->addAction(QStringLiteral("当選番号の追加(&N)..."));
  addDraw->setObjectName(QStringLiteral("addDrawAction"));
  connect(addDraw, &QAction::triggered, this, &MainWindow::OnAddDraw);
  QAction* update = file->addAction(QStringLiteral("結果ファイルで更新(&U)..."));
  update->setObjectName(QStringLiteral("updateHistoryAction"));
  connect(update, &QAction::triggered, this, &MainWindow::OnUpdateHistory);
  exitAction_ = file->addAction(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));
  CreateEncodingMenu(file);
  CreateGameMenu(file);
  file->insertSeparator(exitAction_);
  // The analysis windows beside the prediction, each over the history named in the path edit.
  toolsMenu_ = menuBar_->addMenu(QStringLiteral("ツール(&T)"));
  toolsMenu_->setObjectName(QStringLiteral("toolsMenu"));
  spectraAction_ = toolsMenu_->addAction(QStringLiteral("パワースペクトル(&S)..."));
  spectraAction_->setObjectName(QStringLiteral("spectraAction"));
  connect(spectraAction_, &QAction::triggered, this, &MainWindow::OnSpectra);
  evaluationAction_ = toolsMenu_->addAction(QStringLiteral("的中率の検証(&E)..."));
  evaluationAction_->setObjectName(QStringLiteral("evaluationAction"));
  connect(evaluationAction_, &QAction::triggered, this, &MainWindow::OnEvaluation);
  QAction* statistics = toolsMenu_->addAction(QStringLiteral("数字の統計(&D)..."));
  statistics->setObjectName(QStringLiteral("statisticsAction"));
  connect(statistics, &QAction::triggered, this,
          [this] { OpenStatisticsWindow(this, ChosenHistory()); });
  QMenu* help = menuBar_->addMenu(QStringLiteral("ヘルプ"));
  aboutAction_ = help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 (&A)..."));
  openAction_->setObjectName(QStringLiteral("openAction"));
  exitAction_->setObjectName(QStringLiteral("exitAction"));
  aboutAction_->setObjectName(QStringLiteral("aboutAction"));
  connect(openAction_, &QAction::triggered, this, &MainWindow::OnBrowse);
  connect(exitAction_, &QAction::triggered, this, [this] { done(0); });
  connect(aboutAction_, &QAction::triggered, this, &MainWindow::OnAbout);

  // The menu bar sits above the dialog's client area, which keeps its size in dialog units.
  const QSize client = size();
  resize(client.width(), client.height() + menuBar_->sizeHint().height());
  PlaceMenuAndClient();
  FitResultArea(game_);
}

void MainWindow::OnInitDialog() {
  DoDataExchange(false);

  logoLabel_->setPixmap(LogoBitmap());
  logoLabel_->resize(logoLabel_->pixmap().size());  // a bitmap static takes the bitmap's size

  roundEdit_->SetTypingLimit(kRoundTypingLimit);
  roundSpin_->SetBuddy(roundEdit_);
  roundSpin_->SetRange(kRoundLower, kRoundUpper);
  roundSpin_->SetPos(kRoundStart);

  setWindowTitle(ApplicationTitle());
  // The window manager owns the system menu, so the About item lives in the Help menu only.
  setWindowIcon(icon_);

  filePath_.clear();
  outputFile_.clear();
  frameMode_ = FrameMode::Head;

  roundEdit_->setFocus(Qt::OtherFocusReason);
}

QRadioButton* MainWindow::FilterButton(int position) const {
  return qobject_cast<QRadioButton*>(filterGroup_->button(position));
}

QRadioButton* MainWindow::FrameButton(int position) const {
  return qobject_cast<QRadioButton*>(frameGroup_->button(position));
}

int MainWindow::CheckedPosition(const QButtonGroup* group) { return group->checkedId(); }

void MainWindow::CheckPosition(QButtonGroup* group, int position) {
  QAbstractButton* target = group->button(position);
  if (target != nullptr) {
    target->setChecked(true);
    return;
  }
  // No button at that position: none is selected.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) {
    button->setChecked(false);
  }
  group->setExclusive(true);
}

void MainWindow::DoDataExchange(bool save) {
  if (save) {
    filePath_ = pathEdit_->text();
    // No frame button selected reads as head-and-tail, the group's last choice.
    const int frame = CheckedPosition(frameGroup_);
    frameMode_ =
        frame >= 0 ? kFrameModes[static_cast<std::size_t>(frame)].kind : FrameMode::HeadTail;
    outputFile_ = outputEdit_->text();
    const int filter = CheckedPosition(filterGroup_);
    filterKind_ =
        filter >= 0 ? kFilterKinds[static_cast<std::size_t>(filter)].kind : FilterKind::LowPass;
    return;
  }
  // The groups are loaded by engine code, which is also the button position for every choice
  // but head-and-tail (-1): that one shows as no frame button selected, and saves back as itself.
  pathEdit_->setText(filePath_);
  CheckPosition(frameGroup_, EngineCode(frameMode_));
  outputEdit_->setText(outputFile_);
  CheckPosition(filterGroup_, EngineCode(filterKind_));
}

void MainWindow::accept() {
  DoDataExchange(true);
  QDialog::accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const bool plain = event->modifiers() == Qt::NoModifier ||
                     (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
  // Enter on a push button clicks it; anywhere else it is the dialog's OK. The buttons are not
  // auto-default, so they pass Enter up to here.
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
      return;
    }
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceMenuAndClient();
}

void MainWindow::PlaceMenuAndClient() {
  if (menuBar_ == nullptr || client_ == nullptr) {
    return;
  }
  // Only the frame follows the window's size; the controls keep their places in the client area.
  const int barHeight = menuBar_->sizeHint().height();
  menuBar_->setGeometry(0, 0, width(), barHeight);
  client_->setGeometry(0, barHeight, width(), height() - barHeight);
}

void MainWindow::OnBrowse() {
  FileRequest request;
  // "*" rather than "*.*": on this system a file needs no dot to be any file.
  request.nameFilters = {QStringLiteral("履歴ファイル (*.csv *.txt)"),
                         QStringLiteral("すべてのファイル(*.*) (*)")};
  request.initialPath = BesideHistory(HistoryPath(), QFileInfo(HistoryPath()).fileName());
  const std::optional<FileChoice> chosen = ChooseFile(this, request);
  if (!chosen) {
    return;
  }
  TakeHistory(chosen->path);
}

QString MainWindow::HistoryPath() const { return pathEdit_->text(); }

HistoryChoice MainWindow::ChosenHistory() const { return {HistoryPath(), encoding_, game_}; }

void MainWindow::FitResultArea(Game game) {
  // Each place beyond three adds a blank line, its label and its ranking in the result's font;
  // the area grows down by that much, and the window with it.
  const int lines = 3 * (PlaceCount(game) - PlaceCount(Game::kNumbers3));
  const int extra = lines * QFontMetrics(ResultAreaFont()).lineSpacing();
  resultLabel_->resize(resultLabel_->width(), resultLabel_->height() - resultExtraHeight_ + extra);
  ticketsView_->move(ticketsView_->x(), ticketsView_->y() - resultExtraHeight_ + extra);
  resize(width(), height() - resultExtraHeight_ + extra);
  resultExtraHeight_ = extra;
}

void MainWindow::OnEvaluation() {
  if (evaluationWindow_ == nullptr) {
    evaluationWindow_ = new EvaluationWindow([this] { return ChosenHistory(); }, this);
    evaluationWindow_->setAttribute(Qt::WA_DeleteOnClose);
    MoveBeside(*evaluationWindow_, *this);
    KeepOnScreen(*evaluationWindow_);
    // The engine serves one caller at a time: no prediction while an evaluation runs.
    QPushButton* predict = predictButton_;
    connect(evaluationWindow_, &EvaluationWindow::runningChanged, predict,
            [predict](bool running) { predict->setEnabled(!running); });
    connect(evaluationWindow_, &QObject::destroyed, predict,
            [predict] { predict->setEnabled(true); });
    connect(evaluationWindow_, &EvaluationWindow::moneyChoiceChanged, this,
            &MainWindow::ShowTickets);
  }
  evaluationWindow_->show();
  evaluationWindow_->raise();
  evaluationWindow_->activateWindow();
}

void MainWindow::OnAddDraw() {
  if (const std::optional<std::int32_t> added = RunAddDraw(this, ChosenHistory())) {
    ReportWritten(*added, QStringLiteral("を追加しました"));
  }
}

void MainWindow::OnUpdateHistory() {
  if (const std::optional<std::int32_t> highest = RunUpdateHistory(this, ChosenHistory())) {
    // The merge writes code page 932, whatever encoding was chosen for reading.
    SelectEncoding(TextEncoding::kCp932);
    ReportWritten(*highest, QStringLiteral("まで更新しました"));
  }
}

void MainWindow::ShowTickets() {
  std::string text;
  if (lastAnalysis_ && !resultLabel_->text().trimmed().isEmpty()) {
    const MoneyChoice choice = ForGame(StoredMoneyChoice(), lastAnalysis_->game);
    text = NextTicketsText(lastAnalysis_->places, lastAnalysis_->game, choice.bets, choice.tickets);
  }
  ticketsView_->setPlainText(QString::fromStdString(text));
  ticketsView_->setVisible(!text.empty());
  FitTickets();
}

void MainWindow::FitTickets() {
  // Every kind's line shows whole, wrapped where it must: the box, and the window with it, grow
  // by what more it needs than its first two lines.
  const QFontMetrics metrics(ticketsView_->font());
  const QRect room(0, 0, ticketsView_->width(), std::numeric_limits<int>::max() / 2);
  int needed = 0;
  if (ticketsView_->isVisibleTo(this)) {
    for (const QString& line : ticketsView_->toPlainText().split(QLatin1Char('\n'))) {
      needed += metrics.boundingRect(room, Qt::TextWordWrap, line).height();
    }
    needed += 2 * ticketsView_->frameWidth() + kTicketsSlack;
  }
  const int base = ticketsView_->height() - ticketsExtraHeight_;
  const int extra = std::max(0, needed - base);
  ticketsView_->resize(ticketsView_->width(), base + extra);
  resize(width(), height() - ticketsExtraHeight_ + extra);
  ticketsExtraHeight_ = extra;
}

void MainWindow::OnAbout() {
  AboutDialog about(this);
  RunModal(about);
}

void MainWindow::OnSpectra() {
  if (spectraWindow_.isNull()) {
    // A child window, so the modal main dialog does not block it and takes it along when it ends.
    spectraWindow_ = new SpectraWindow(this, [this] { return HistoryPath(); });
    spectraWindow_->setAttribute(Qt::WA_DeleteOnClose);
    MoveBeside(*spectraWindow_, *this);
    KeepOnScreen(*spectraWindow_);  // four places make it taller
    spectraWindow_->ShowAnalysis(lastAnalysis_ ? &*lastAnalysis_ : nullptr);
    connect(this, &MainWindow::AnalysisShown, spectraWindow_,
            [this] { spectraWindow_->ShowAnalysis(&*lastAnalysis_); });
  }
  spectraWindow_->show();
  spectraWindow_->raise();
  spectraWindow_->activateWindow();
}

bool MainWindow::OnDeltaposRoundSpin(int pos, int& delta) {
  // No range check here: at an end the written number lies outside the spin's range.
  roundEdit_->WriteText(QString::number(static_cast<long long>(pos) + delta));
  return false;
}

void MainWindow::OnChangeRoundEdit() {
  if (editGuard_) {
    return;
  }
  editGuard_ = true;
  const QString text = roundEdit_->text();
  QString digits;
  int cursor = roundEdit_->cursorPosition();
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
      digits.append(text[i]);
    } else if (i < cursor) {
      --cursor;
    }
  }
  // Writing an unchanged text would only move the cursor, so only a changed one is written.
  if (digits != text) {
    roundEdit_->WriteText(digits);
    roundEdit_->setCursorPosition(cursor);
  }
  editGuard_ = false;
}

}  // namespace tolvane
