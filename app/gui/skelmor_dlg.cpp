#include "app/gui/skelmor_dlg.h"

#include <QAction>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>
#include <array>

#include "app/gui/about_dlg.h"
#include "app/gui/dialog_font.h"
#include "app/gui/evaluation_window.h"
#include "app/gui/import_dialog.h"
#include "app/gui/modal.h"
#include "app/gui/radio_ring.h"
#include "app/gui/resources.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "app/gui/spectra_window.h"

namespace tolvane {
namespace {

constexpr int kClientWidthUnits = 537;
constexpr int kClientHeightUnits = 329;
constexpr int kRoundTypingLimit = 4;
constexpr int kRoundLower = 1;
constexpr int kRoundUpper = 9999;
constexpr int kRoundStart = 1;

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

CSkelmorDlg::CSkelmorDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_hIcon(ProgramIcon()) {
  setFont(DialogFont());
  CreateControls();
  CreateMenu();
  OnInitDialog();
}

CSkelmorDlg::~CSkelmorDlg() = default;

void CSkelmorDlg::CreateControls() {
  const DialogUnits units(font());
  m_client = new QWidget(this);
  m_client->setObjectName(QStringLiteral("clientArea"));
  QWidget* c = m_client;

  // Created in tab order, which is also the stacking order: later controls lie on top. Each has
  // a descriptive object name, by which findChild finds it.
  m_editRound = new RoundEdit(c);
  m_editRound->setObjectName(QStringLiteral("roundEdit"));
  m_editRound->setGeometry(units.Rect(14, 30, 58, 14));

  m_editPath = new QLineEdit(c);
  m_editPath->setObjectName(QStringLiteral("pathEdit"));
  m_editPath->setGeometry(units.Rect(88, 30, 67, 14));

  m_btnBrowse = new QPushButton(QStringLiteral("選択"), c);
  m_btnBrowse->setObjectName(QStringLiteral("browseButton"));
  m_btnBrowse->setGeometry(units.Rect(156, 30, 50, 14));

  auto* filterBox = new QGroupBox(QStringLiteral("フィルタ"), c);
  filterBox->setGeometry(units.Rect(219, 46, 249, 46));

  // One button per filter kind, in the order of the kinds' table.
  m_groupFilter = new QButtonGroup(this);
  const std::array<QRect, 3> filterRects = {
      units.Rect(236, 66, 29, 10), units.Rect(266, 66, 30, 10), units.Rect(299, 66, 36, 10)};
  const std::array<const char*, 3> filterNames = {"filterLowPass", "filterBandPass", "filterNone"};
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    MakeRadio(c, Label(kFilterKinds[i].label), filterRects[i], m_groupFilter, static_cast<int>(i))
        ->setObjectName(QString::fromLatin1(filterNames[i]));
  }
  WrapArrowKeys(m_groupFilter);

  m_btnPredict = new QPushButton(QStringLiteral("予想"), c);
  m_btnPredict->setObjectName(QStringLiteral("predictButton"));
  m_btnPredict->setGeometry(units.Rect(15, 63, 50, 14));

  m_editOutput = new QLineEdit(c);
  m_editOutput->setObjectName(QStringLiteral("outputEdit"));
  m_editOutput->setGeometry(units.Rect(150, 80, 67, 14));
  m_editOutput->hide();

  MakeStatic(c, QStringLiteral("入力ファイル名"), units.Rect(92, 14, 45, 8));

  m_frameBox = new QGroupBox(QStringLiteral("スタティック"), c);
  m_frameBox->setGeometry(units.Rect(245, 6, 143, 36));
  m_frameBox->hide();

  m_groupFrame = new QButtonGroup(this);
  const std::array<QRect, 4> frameRects = {units.Rect(247, 19, 52, 10), units.Rect(290, 19, 49, 10),
                                           units.Rect(332, 18, 61, 10),
                                           units.Rect(245, 32, 67, 10)};
  const std::array<const char*, 4> frameNames = {"frameHead", "frameTail", "frameCenter",
                                                 "frameHeadTail"};
  for (std::size_t i = 0; i < kFrameModes.size(); ++i) {
    QRadioButton* radio =
        MakeRadio(c, Label(kFrameModes[i].label), frameRects[i], m_groupFrame, static_cast<int>(i));
    radio->setObjectName(QString::fromLatin1(frameNames[i]));
    radio->hide();
  }

  m_labelOutput = MakeStatic(c, QStringLiteral("出力ファイル名"), units.Rect(151, 70, 45, 8));
  m_labelOutput->hide();

  MakeStatic(c, QStringLiteral("予想回号"), units.Rect(15, 14, 45, 8));

  m_staticResult = MakeStatic(c, QStringLiteral(" "), units.Rect(99, 103, 421, 199));
  m_staticResult->setObjectName(QStringLiteral("resultLabel"));
  m_staticResult->setWordWrap(true);

  m_staticIcon = MakeStatic(c, QString(), units.Rect(7, 291, 20, 20));
  m_staticIcon->setObjectName(QStringLiteral("iconLabel"));

  m_staticLogo = MakeStatic(c, QString(), units.Rect(476, 8, 8, 9));
  m_staticLogo->setObjectName(QStringLiteral("logoLabel"));

  m_spinRound = new RoundSpin(c);
  m_spinRound->setObjectName(QStringLiteral("roundSpin"));
  m_spinRound->setGeometry(units.Rect(71, 29, 9, 16));

  QWidget::setTabOrder(m_editRound, m_editPath);
  QWidget::setTabOrder(m_editPath, m_btnBrowse);
  QWidget::setTabOrder(m_btnBrowse, FilterButton(0));
  QWidget::setTabOrder(FilterButton(0), FilterButton(1));
  QWidget::setTabOrder(FilterButton(1), FilterButton(2));
  QWidget::setTabOrder(FilterButton(2), m_btnPredict);
  QWidget::setTabOrder(m_btnPredict, m_editOutput);
  QWidget::setTabOrder(m_editOutput, FrameButton(0));
  for (int i = 0; i < 3; ++i) {
    QWidget::setTabOrder(FrameButton(i), FrameButton(i + 1));
  }

  // Enter ends the dialog, so no button may be or look like the default one: an auto-default
  // button becomes the default when it has the focus, and the first one when the dialog shows.
  // keyPressEvent gives a focused button its Enter as a click.
  m_btnBrowse->setAutoDefault(false);
  m_btnPredict->setAutoDefault(false);

  connect(m_btnBrowse, &QPushButton::clicked, this, &CSkelmorDlg::OnBrowse);
  connect(m_btnPredict, &QPushButton::clicked, this, &CSkelmorDlg::OnPredict);
  for (std::size_t i = 0; i < kFrameModes.size(); ++i) {
    connect(FrameButton(static_cast<int>(i)), &QRadioButton::clicked, this,
            [this, i] { m_frameMode = kFrameModes[i].kind; });
  }
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    connect(FilterButton(static_cast<int>(i)), &QRadioButton::clicked, this,
            [this, i] { m_filterKind = kFilterKinds[i].kind; });
  }
  m_spinRound->SetDeltaPosHandler(
      [this](int pos, int& delta) { return OnDeltaposRoundSpin(pos, delta); });
  connect(m_editRound, &QLineEdit::textChanged, this, &CSkelmorDlg::OnChangeRoundEdit);

  resize(units.X(kClientWidthUnits), units.Y(kClientHeightUnits));
}

void CSkelmorDlg::CreateMenu() {
  m_menuBar = new QMenuBar(this);
  m_menuBar->setObjectName(QStringLiteral("menuBar"));
  QMenu* file = m_menuBar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  m_actOpen = file->addAction(QStringLiteral("開く(&O)..."));
  // A results file of another layout becomes a history, which the path edit then names.
  QAction* import = file->addAction(QStringLiteral("インポート(&I)..."));
  import->setObjectName(QStringLiteral("importAction"));
  connect(import, &QAction::triggered, this, [this] {
    if (const std::optional<QString> written = RunImport(this)) {
      m_strFilePath = *written;
      m_editPath->setText(m_strFilePath);
    }
  });
  m_actExit = file->addAction(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));
  CreateEncodingMenu(file);
  // The analysis windows beside the prediction, each over the history named in the path edit.
  m_menuTools = m_menuBar->addMenu(QStringLiteral("ツール(&T)"));
  m_menuTools->setObjectName(QStringLiteral("toolsMenu"));
  m_actSpectra = m_menuTools->addAction(QStringLiteral("パワースペクトル(&S)..."));
  m_actSpectra->setObjectName(QStringLiteral("spectraAction"));
  connect(m_actSpectra, &QAction::triggered, this, &CSkelmorDlg::OnSpectra);
  m_actEvaluation = m_menuTools->addAction(QStringLiteral("的中率の検証(&E)..."));
  m_actEvaluation->setObjectName(QStringLiteral("evaluationAction"));
  connect(m_actEvaluation, &QAction::triggered, this, &CSkelmorDlg::OnEvaluation);
  QMenu* help = m_menuBar->addMenu(QStringLiteral("ヘルプ"));
  m_actAbout = help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 (&A)..."));
  m_actOpen->setObjectName(QStringLiteral("openAction"));
  m_actExit->setObjectName(QStringLiteral("exitAction"));
  m_actAbout->setObjectName(QStringLiteral("aboutAction"));
  connect(m_actOpen, &QAction::triggered, this, &CSkelmorDlg::OnBrowse);
  connect(m_actExit, &QAction::triggered, this, [this] { done(0); });
  connect(m_actAbout, &QAction::triggered, this, &CSkelmorDlg::OnAbout);

  // The menu bar sits above the dialog's client area, which keeps its size in dialog units.
  const QSize client = size();
  resize(client.width(), client.height() + m_menuBar->sizeHint().height());
  PlaceMenuAndClient();
}

void CSkelmorDlg::OnInitDialog() {
  DoDataExchange(false);

  m_staticLogo->setPixmap(LogoBitmap());
  m_staticLogo->resize(m_staticLogo->pixmap().size());  // a bitmap static takes the bitmap's size

  m_editRound->SetTypingLimit(kRoundTypingLimit);
  m_spinRound->SetBuddy(m_editRound);
  m_spinRound->SetRange(kRoundLower, kRoundUpper);
  m_spinRound->SetPos(kRoundStart);

  setWindowTitle(QStringLiteral("Tolvane"));
  // The window manager owns the system menu, so the About item lives in the Help menu only.
  setWindowIcon(m_hIcon);

  m_strFilePath.clear();
  m_strOutputFile.clear();
  m_frameMode = FrameMode::Head;

  m_editRound->setFocus(Qt::OtherFocusReason);
}

QRadioButton* CSkelmorDlg::FilterButton(int position) const {
  return qobject_cast<QRadioButton*>(m_groupFilter->button(position));
}

QRadioButton* CSkelmorDlg::FrameButton(int position) const {
  return qobject_cast<QRadioButton*>(m_groupFrame->button(position));
}

int CSkelmorDlg::CheckedPosition(const QButtonGroup* group) { return group->checkedId(); }

void CSkelmorDlg::CheckPosition(QButtonGroup* group, int position) {
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

void CSkelmorDlg::DoDataExchange(bool save) {
  if (save) {
    m_strFilePath = m_editPath->text();
    // No frame button selected reads as head-and-tail, the group's last choice.
    const int frame = CheckedPosition(m_groupFrame);
    m_frameMode =
        frame >= 0 ? kFrameModes[static_cast<std::size_t>(frame)].kind : FrameMode::HeadTail;
    m_strOutputFile = m_editOutput->text();
    const int filter = CheckedPosition(m_groupFilter);
    m_filterKind =
        filter >= 0 ? kFilterKinds[static_cast<std::size_t>(filter)].kind : FilterKind::LowPass;
    return;
  }
  // The groups are loaded by engine code, which is also the button position for every choice
  // but head-and-tail (-1): that one shows as no frame button selected, and saves back as itself.
  m_editPath->setText(m_strFilePath);
  CheckPosition(m_groupFrame, EngineCode(m_frameMode));
  m_editOutput->setText(m_strOutputFile);
  CheckPosition(m_groupFilter, EngineCode(m_filterKind));
}

void CSkelmorDlg::accept() {
  DoDataExchange(true);
  QDialog::accept();
}

void CSkelmorDlg::keyPressEvent(QKeyEvent* event) {
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

void CSkelmorDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceMenuAndClient();
}

void CSkelmorDlg::PlaceMenuAndClient() {
  if (m_menuBar == nullptr || m_client == nullptr) {
    return;
  }
  // Only the frame follows the window's size; the controls keep their places in the client area.
  const int barHeight = m_menuBar->sizeHint().height();
  m_menuBar->setGeometry(0, 0, width(), barHeight);
  m_client->setGeometry(0, barHeight, width(), height() - barHeight);
}

void CSkelmorDlg::OnBrowse() {
  FileRequest request;
  // "*" rather than "*.*": on this system a file needs no dot to be any file.
  request.nameFilters = {QStringLiteral("すべてのファイル(*.*) (*)")};
  const std::optional<QString> chosen = ChooseFile(this, request);
  if (!chosen) {
    return;
  }
  m_strFilePath = *chosen;
  m_editPath->setText(m_strFilePath);
}

QString CSkelmorDlg::HistoryPath() const { return m_editPath->text(); }

void CSkelmorDlg::OnEvaluation() {
  if (m_evaluationWindow == nullptr) {
    m_evaluationWindow = new EvaluationWindow([this] { return HistoryPath(); }, this);
    m_evaluationWindow->setAttribute(Qt::WA_DeleteOnClose);
    // The engine serves one caller at a time: no prediction while an evaluation runs.
    QPushButton* predict = m_btnPredict;
    connect(m_evaluationWindow, &EvaluationWindow::runningChanged, predict,
            [predict](bool running) { predict->setEnabled(!running); });
    connect(m_evaluationWindow, &QObject::destroyed, predict,
            [predict] { predict->setEnabled(true); });
  }
  m_evaluationWindow->show();
  m_evaluationWindow->raise();
  m_evaluationWindow->activateWindow();
}

void CSkelmorDlg::OnAbout() {
  CAboutDlg about(this);
  RunModal(about);
}

void CSkelmorDlg::OnSpectra() {
  if (m_spectraWindow.isNull()) {
    // A child window, so the modal main dialog does not block it and takes it along when it ends.
    m_spectraWindow = new SpectraWindow(this);
    m_spectraWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_spectraWindow->ShowAnalysis(m_lastAnalysis ? &*m_lastAnalysis : nullptr);
    connect(this, &CSkelmorDlg::AnalysisShown, m_spectraWindow,
            [this] { m_spectraWindow->ShowAnalysis(&*m_lastAnalysis); });
  }
  m_spectraWindow->show();
  m_spectraWindow->raise();
  m_spectraWindow->activateWindow();
}

bool CSkelmorDlg::OnDeltaposRoundSpin(int pos, int& delta) {
  // No range check here: at an end the written number lies outside the spin's range.
  m_editRound->WriteText(QString::number(static_cast<long long>(pos) + delta));
  return false;
}

void CSkelmorDlg::OnChangeRoundEdit() {
  if (m_bEditGuard) {
    return;
  }
  m_bEditGuard = true;
  const QString text = m_editRound->text();
  QString digits;
  int cursor = m_editRound->cursorPosition();
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
      digits.append(text[i]);
    } else if (i < cursor) {
      --cursor;
    }
  }
  // Writing an unchanged text would only move the cursor, so only a changed one is written.
  if (digits != text) {
    m_editRound->WriteText(digits);
    m_editRound->setCursorPosition(cursor);
  }
  m_bEditGuard = false;
}

}  // namespace tolvane
