#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTranslator>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "app/gui/about_dialog.h"
#include "app/gui/add_draw_dialog.h"
#include "app/gui/dialog_font.h"
#include "app/gui/evaluation_window.h"
#include "app/gui/main_window.h"
#include "app/gui/path_edit.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "app/gui/spectra_window.h"
#include "app/gui/statistics_window.h"
#include "app/gui/toolkit_translations.h"
#include "app/gui/update_history_dialog.h"
#include "app/gui/window_placement.h"
#include "gui_test_support.h"
#include "tests/support/history_file.h"
#include "tests/support/result_text.h"

namespace tolvane::test {
namespace {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> dlg_;

  MainWindow& Shown() {
    dlg_ = std::make_unique<MainWindow>();
    dlg_->show();
    dlg_->activateWindow();
    if (!QTest::qWaitForWindowExposed(dlg_.get())) {
      qWarning("the dialog was never exposed");
    }
    return *dlg_;
  }

 private slots:
  // Every test starts from the settings of a first run.
  // The right-click menu `text` opens, as a mouse's right button asks for it.
  static QMenu* OpenCopyMenu(QWidget* text) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            text->mapToGlobal(QPoint(2, 2)));
    auto* scrolled = qobject_cast<QAbstractScrollArea*>(text);  // the mouse is over its viewport
    QApplication::sendEvent(scrolled != nullptr ? scrolled->viewport() : text, &event);
    QMenu* shown = nullptr;
    for (QMenu* menu : text->findChildren<QMenu*>(QStringLiteral("copyMenu"))) {
      shown = menu->isVisible() ? menu : shown;
    }
    return shown;
  }

  void init() { QSettings(QStringLiteral("tolvane"), QStringLiteral("tolvane")).clear(); }
  void cleanup() { dlg_.reset(); }

  void startState() {
    MainWindow& dlg = Shown();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Tolvane"));
    const auto* spin = Child<RoundSpin>(&dlg, "roundSpin");
    const auto* lowPass = Child<QRadioButton>(&dlg, "filterLowPass");
    QCOMPARE(Child<RoundEdit>(&dlg, "roundEdit")->text(), QStringLiteral("1"));
    QCOMPARE(spin->Pos(), 1);
    QCOMPARE(spin->Lower(), 1);
    QCOMPARE(spin->Upper(), 9999);
    QCOMPARE(Child<QLineEdit>(&dlg, "pathEdit")->text(), QString());
    QVERIFY(lowPass->isChecked());
    QCOMPARE(lowPass->text(), QStringLiteral("LPF"));
    QCOMPARE(Child<QLabel>(&dlg, "resultLabel")->text(), QStringLiteral(" "));
    QCOMPARE(EngineCode(dlg.Filter()), 0);
    QCOMPARE(EngineCode(dlg.Frame()), 0);
    QVERIFY(Child<QRadioButton>(&dlg, "frameHead")->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(), Child<QWidget>(&dlg, "roundEdit"));
    QVERIFY(!dlg.ResultFont().has_value());
    QVERIFY(!dlg.windowIcon().isNull());
  }

  void controlsSitWhereTheUnitsPutThem() {
    MainWindow& dlg = Shown();
    const DialogUnits units(dlg.font());
    QVERIFY(units.AverageCharWidth() > 0 && units.CharHeight() > 0);
    struct Place {
      const char* name;
      QRect rect;
      bool visible;
    };
    const Place places[] = {
        {"roundEdit", units.Rect(14, 30, 58, 14), true},
        {"pathEdit", units.Rect(88, 30, 67, 14), true},
        {"browseButton", units.Rect(156, 30, 50, 14), true},
        {"filterLowPass", units.Rect(236, 66, 29, 10), true},
        {"filterBandPass", units.Rect(266, 66, 30, 10), true},
        {"filterNone", units.Rect(299, 66, 36, 10), true},
        {"predictButton", units.Rect(15, 63, 50, 14), true},
        {"outputEdit", units.Rect(150, 80, 67, 14), false},
        {"frameHead", units.Rect(247, 19, 52, 10), false},
        {"frameHeadTail", units.Rect(245, 32, 67, 10), false},
        {"resultLabel", units.Rect(99, 103, 421, 199), true},
        {"roundSpin", units.Rect(71, 29, 9, 16), true},
    };
    auto* client = Child<QWidget>(&dlg, "clientArea");
    for (const Place& place : places) {
      const auto* widget = Child<QWidget>(client, place.name);
      QCOMPARE(widget->geometry(), place.rect);
      QCOMPARE(widget->isVisible(), place.visible);
    }
    const auto* logo = Child<QLabel>(&dlg, "logoLabel");
    const auto* menuBar = Child<QMenuBar>(&dlg, "menuBar");
    QCOMPARE(logo->size(), QSize(100, 100));
    QCOMPARE(logo->pos(), units.Rect(476, 8, 8, 9).topLeft());
    QCOMPARE(client->size(), QSize(units.X(537), units.Y(329)));
    QCOMPARE(client->y(), menuBar->height());

    // A bigger window stretches nothing and moves nothing.
    const auto* result = Child<QLabel>(&dlg, "resultLabel");
    const QRect resultBefore = result->geometry();
    dlg.resize(dlg.width() + 200, dlg.height() + 150);
    QTRY_COMPARE(client->width(), units.X(537) + 200);
    QCOMPARE(result->geometry(), resultBefore);
    QCOMPARE(menuBar->width(), dlg.width());
  }

  void tabCyclesThroughRoundPathBrowseFilterAndPredict() {
    MainWindow& dlg = Shown();
    QTRY_COMPARE(QApplication::focusWidget(), Child<QWidget>(&dlg, "roundEdit"));
    for (const char* next :
         {"pathEdit", "browseButton", "filterLowPass", "predictButton", "roundEdit"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), Child<QWidget>(&dlg, next));
    }
  }

  void radioMembersOnClickAndOnSave() {
    MainWindow& dlg = Shown();
    const std::pair<const char*, int> filters[] = {
        {"filterNone", 2}, {"filterBandPass", 1}, {"filterLowPass", 0}};
    for (const auto& [name, code] : filters) {
      QTest::mouseClick(Child<QRadioButton>(&dlg, name), Qt::LeftButton);
      QCOMPARE(EngineCode(dlg.Filter()), code);
      dlg.DoDataExchange(true);
      QCOMPARE(EngineCode(dlg.Filter()), code);
    }
    // The hidden frame-mode group, once shown, gives 0, 1, 2 and -1.
    const char* const frames[] = {"frameHead", "frameTail", "frameCenter", "frameHeadTail"};
    const int codes[] = {0, 1, 2, -1};
    for (int position : {3, 2, 1, 0}) {
      Child<QRadioButton>(&dlg, frames[position])->show();
    }
    for (int position : {1, 3, 2, 0, 3}) {
      QTest::mouseClick(Child<QRadioButton>(&dlg, frames[position]), Qt::LeftButton);
      QCOMPARE(EngineCode(dlg.Frame()), codes[position]);
      dlg.DoDataExchange(true);
      QCOMPARE(EngineCode(dlg.Frame()), codes[position]);
    }
    // Loading -1 leaves no frame button selected, and saving none gives -1 again.
    dlg.DoDataExchange(false);
    for (const char* frame : frames) {
      QVERIFY(!Child<QRadioButton>(&dlg, frame)->isChecked());
    }
    dlg.DoDataExchange(true);
    QCOMPARE(EngineCode(dlg.Frame()), -1);
  }

  // The arrow keys step through the filter group and wrap at its ends.
  void arrowsWrapInTheFilterGroup() {
    MainWindow& dlg = Shown();
    struct Step {
      const char* to;
      Qt::Key key;
      int code;
    };
    const Step steps[] = {{"filterNone", Qt::Key_Left, 2},     {"filterLowPass", Qt::Key_Right, 0},
                          {"filterBandPass", Qt::Key_Down, 1}, {"filterNone", Qt::Key_Right, 2},
                          {"filterLowPass", Qt::Key_Down, 0},  {"filterNone", Qt::Key_Up, 2},
                          {"filterBandPass", Qt::Key_Up, 1}};
    auto* first = Child<QWidget>(&dlg, "filterLowPass");
    first->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), first);
    for (const Step& step : steps) {
      QTest::keyClick(QApplication::focusWidget(), step.key);
      const auto* to = Child<QRadioButton>(&dlg, step.to);
      QCOMPARE(QApplication::focusWidget(), to);
      QVERIFY(to->isChecked());
      QCOMPARE(EngineCode(dlg.Filter()), step.code);
    }
  }

  void enterSavesAndEndsTheDialog() {
    MainWindow& dlg = Shown();
    auto* path = Child<QLineEdit>(&dlg, "pathEdit");
    QTest::keyClicks(path, QStringLiteral("/tmp/history.csv"));
    QTest::mouseClick(Child<QRadioButton>(&dlg, "filterNone"), Qt::LeftButton);
    path->setFocus();
    QTest::keyClick(path, Qt::Key_Return);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.FilePath(), QStringLiteral("/tmp/history.csv"));
    QCOMPARE(EngineCode(dlg.Filter()), 2);
  }

  void enterInTheRoundEditEndsTheDialogToo() {
    MainWindow& dlg = Shown();
    QTest::keyClick(Child<QWidget>(&dlg, "roundEdit"), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
  }

  void escapeAndCloseEndWithoutSaving() {
    {
      MainWindow& dlg = Shown();
      auto* path = Child<QLineEdit>(&dlg, "pathEdit");
      QTest::keyClicks(path, QStringLiteral("unsaved"));
      QTest::keyClick(path, Qt::Key_Escape);
      QCOMPARE(dlg.result(), int(QDialog::Rejected));
      QVERIFY(!dlg.isVisible());
      QCOMPARE(dlg.FilePath(), QString());
    }
    {
      MainWindow& dlg = Shown();
      dlg.close();
      QCOMPARE(dlg.result(), int(QDialog::Rejected));
      QVERIFY(!dlg.isVisible());
    }
    {
      MainWindow& dlg = Shown();
      Child<QAction>(&dlg, "exitAction")->trigger();
      QCOMPARE(dlg.result(), 0);
      QVERIFY(!dlg.isVisible());
    }
  }

  void enterOnThePredictButtonPredicts() {
    BoxRecorder boxes;
    MainWindow& dlg = Shown();
    auto* predict = Child<QPushButton>(&dlg, "predictButton");
    predict->setFocus();
    QTest::keyClick(predict, Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    QCOMPARE(boxes.Boxes().size(), size_t{2});
    QCOMPARE(boxes.Boxes()[0].text, QStringLiteral("NUMBERS3 予想開始します"));
  }

  // Enter ends the dialog, so no button may look like the default one, not even with the focus;
  // a focused button still takes Enter as a click.
  void noButtonLooksLikeTheDefault() {
    const BoxRecorder boxes;
    const FileAnswer chooser(std::nullopt);
    MainWindow& dlg = Shown();
    const QList<QPushButton*> buttons = dlg.findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 2);
    for (QPushButton* focused : buttons) {
      focused->setFocus();
      QTRY_COMPARE(QApplication::focusWidget(), focused);
      for (const QPushButton* button : buttons) {
        QVERIFY(!button->isDefault() && !button->autoDefault());
      }
    }
    auto* browse = Child<QPushButton>(&dlg, "browseButton");
    browse->setFocus();
    QTest::keyClick(browse, Qt::Key_Return);
    QCOMPARE(chooser.Requests().size(), size_t{1});
    QVERIFY(boxes.Boxes().empty());
    QVERIFY(dlg.isVisible());
  }

  void aboutOpensFromTheHelpMenu() {
    MainWindow& dlg = Shown();
    struct Seen {
      QString title, version, notice;
      bool okIsDefault = false;
      bool hasIcon = false;
    };
    std::optional<Seen> seen;
    const ModalAnswer answer([&seen](QDialog& modal) {
      if (auto* about = qobject_cast<AboutDialog*>(&modal)) {
        seen = Seen{about->windowTitle(), Child<QLabel>(about, "versionLabel")->text(),
                    Child<QLabel>(about, "noticeLabel")->text(),
                    Child<QPushButton>(about, "okButton")->isDefault(),
                    !Child<QLabel>(about, "iconLabel")->pixmap().isNull()};
      }
      return int(QDialog::Accepted);
    });
    Child<QAction>(&dlg, "aboutAction")->trigger();
    QCOMPARE(answer.Count(), 1);
    QVERIFY(seen.has_value());
    QCOMPARE(seen->title, QStringLiteral("Tolvane"));
    QCOMPARE(seen->version, QStringLiteral("Tolvane、バージョン 1.0"));
    QVERIFY(!seen->notice.isEmpty());
    QVERIFY(seen->okIsDefault);
    QVERIFY(seen->hasIcon);
    QVERIFY(dlg.isVisible());  // the About box ends, the main dialog goes on
  }

  void aboutBoxOkEndsIt() {
    AboutDialog about;
    about.show();
    QTest::mouseClick(Child<QPushButton>(&about, "okButton"), Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
  }

  void browseFillsThePathAndCancelKeepsIt() {
    const QString path = QStringLiteral("/chosen/from/a/folder/deep/down/draws.csv");
    MainWindow& dlg = Shown();
    {
      const FileAnswer chooser(path);
      dlg.OnBrowse();
      QCOMPARE(chooser.Requests().size(), size_t{1});
      QCOMPARE(chooser.Requests()[0].mode, FileRequest::Mode::Open);
      QCOMPARE(chooser.Requests()[0].nameFilters,
               QStringList({QStringLiteral("履歴ファイル (*.csv *.txt)"),
                            QStringLiteral("すべてのファイル(*.*) (*)")}));
    }
    auto* pathEdit = Child<QLineEdit>(&dlg, "pathEdit");
    QCOMPARE(pathEdit->text(), path);
    QCOMPARE(pathEdit->toolTip(), path);
    QCOMPARE(dlg.FilePath(), path);
    // Too long for the field: its end shown, the start elided.
    const QString shown = Child<PathEdit>(&dlg, "pathEdit")->ShownText();
    QVERIFY2(shown.startsWith(QChar(0x2026)) && shown.endsWith(QStringLiteral("/draws.csv")),
             qPrintable(shown));

    const FileAnswer cancelled(std::nullopt);
    Child<QAction>(&dlg, "openAction")->trigger();
    QCOMPARE(cancelled.Requests().size(), size_t{1});
    QCOMPARE(pathEdit->text(), path);
    // The chooser starts at the history named; its folder being gone, in the working folder.
    QCOMPARE(cancelled.Requests()[0].initialPath, QStringLiteral("draws.csv"));

    // A history chosen: the round after its newest draw, and no prediction of the last one; a
    // history that does not load leaves the round as it was.
    const TempDir dir;
    const BoxRecorder boxes;
    auto* round = Child<QLineEdit>(&dlg, "roundEdit");
    const auto* result = Child<QLabel>(&dlg, "resultLabel");
    const std::pair<QString, QString> chosen[] = {
        {QString::fromStdString(WriteHistoryFile(dir, RepeatedDrawLines("572", 30))),
         QStringLiteral("31")},
        {QString::fromStdString(dir.File("missing.csv")), QStringLiteral("31")},
        {QStringLiteral(TOLVANE_SAMPLE_HISTORY), QStringLiteral("6501")}};
    for (const auto& [history, next] : chosen) {
      QTest::mouseClick(Child<QPushButton>(&dlg, "predictButton"), Qt::LeftButton);
      const FileAnswer answer(history);
      dlg.OnBrowse();
      QCOMPARE(round->text(), next);
      QCOMPARE(result->text(), QString());
    }
  }

  // Qt's own dialogs speak Japanese like the rest of the window: the real file chooser's title
  // and the standard buttons.
  void toolkitTextsAreJapanese() {
    const std::unique_ptr<QTranslator> translator = InstallToolkitTranslations();
    QVERIFY(translator != nullptr);
    QString title;
    QString cancel;
    const ModalAnswer answer([&](QDialog& modal) {
      title = modal.windowTitle();
      const auto* box = modal.findChild<QDialogButtonBox*>();
      if (box != nullptr && box->button(QDialogButtonBox::Cancel) != nullptr) {
        cancel = box->button(QDialogButtonBox::Cancel)->text();
      }
      return int(QDialog::Rejected);
    });
    QVERIFY(!ChooseFile(nullptr, FileRequest{}).has_value());
    QCOMPARE(answer.Count(), 1);
    QCOMPARE(title, QStringLiteral("開く"));
    QCOMPARE(cancel, QStringLiteral("キャンセル"));
  }

  void wholePredictionThroughTheDialog() {
    const TempDir dir;
    const std::string history =
        WriteHistoryFile(dir, RepeatedDrawLines("572", std::size_t{15} * 70), "履歴.csv");
    BoxRecorder boxes;
    MainWindow& dlg = Shown();
    auto* result = Child<QLabel>(&dlg, "resultLabel");
    auto* round = Child<RoundEdit>(&dlg, "roundEdit");
    auto* predict = Child<QPushButton>(&dlg, "predictButton");
    const QFont before = result->font();
    // Set rather than typed: typed keys would have to be Latin-1.
    Child<QLineEdit>(&dlg, "pathEdit")->setText(QString::fromStdString(history));
    round->selectAll();
    QTest::keyClicks(round, QStringLiteral("123"));
    QTest::mouseClick(Child<QRadioButton>(&dlg, "filterNone"), Qt::LeftButton);
    QTest::mouseClick(predict, Qt::LeftButton);

    QCOMPARE(boxes.Boxes().size(), size_t{1});
    const ShownBox& start = boxes.Boxes()[0];
    QCOMPARE(start.text, QStringLiteral("NUMBERS3 予想開始します"));
    QCOMPARE(start.caption, QStringLiteral("Tolvane"));
    QCOMPARE(start.icon, QMessageBox::NoIcon);
    QCOMPARE(start.owner, &dlg);

    // Every place of the whole result text, in order.
    const QString expected = QString::fromStdString(RepeatedDrawResult("123", "572"));
    QCOMPARE(result->text(), expected);
    result->setSelection(0, 4);  // selectable, to be copied
    QCOMPARE(result->selectedText(), QStringLiteral("予測回号"));

    QCOMPARE(result->font().pixelSize(), 24);
    QCOMPARE(result->font().family(), before.family());
    QCOMPARE(result->font().weight(), before.weight());
    QVERIFY(dlg.ResultFont().has_value());
    QCOMPARE(dlg.ResultFont()->pixelSize(), 24);
    QCOMPARE(EngineCode(dlg.Filter()), 2);

    // The kinds of ticket ticked in the evaluation window: the next draw's tickets under the
    // result, which stays as it was; a failed prediction takes them away.
    Child<QAction>(&dlg, "evaluationAction")->trigger();
    Child<QCheckBox>(&dlg, "betStraightCheck")->setChecked(true);
    Child<QCheckBox>(&dlg, "betBoxCheck")->setChecked(true);
    Child<QSpinBox>(&dlg, "ticketsSpin")->setValue(3);
    const auto* tickets = Child<QPlainTextEdit>(&dlg, "ticketsView");
    QVERIFY(tickets->isVisible());
    QCOMPARE(tickets->toPlainText(),
             QStringLiteral("買い目 ストレート 3 口 (600 円): 572, 570, 502\n"
                            "買い目 ボックス 3 口 (600 円): 572, 570, 502"));
    QCOMPARE(result->text(), expected);

    // Both texts' right-click menus: コピー only with a selection, すべてを選択 then copying it
    // all.
    auto* ticketsText = Child<QPlainTextEdit>(&dlg, "ticketsView");
    result->setSelection(0, 0);
    ticketsText->moveCursor(QTextCursor::Start);
    for (QWidget* text : {static_cast<QWidget*>(result), static_cast<QWidget*>(ticketsText)}) {
      QMenu* menu = OpenCopyMenu(text);
      QVERIFY(menu != nullptr);
      QCOMPARE(menu->actions().size(), 3);
      QCOMPARE(menu->actions()[0]->text(), QStringLiteral("コピー"));
      QVERIFY(!menu->actions()[0]->isEnabled());
      QCOMPARE(menu->actions()[2]->text(), QStringLiteral("すべてを選択"));
      menu->actions()[2]->trigger();
      menu->close();
      QGuiApplication::clipboard()->clear();
      menu = OpenCopyMenu(text);
      QVERIFY(menu != nullptr && menu->actions()[0]->isEnabled());
      menu->actions()[0]->trigger();
      menu->close();
      QCOMPARE(QGuiApplication::clipboard()->text(),
               text == result ? expected : ticketsText->toPlainText());
    }

    // The low-pass branch through the same dialog also fills all three places.
    boxes.Clear();
    QTest::mouseClick(Child<QRadioButton>(&dlg, "filterLowPass"), Qt::LeftButton);
    QTest::mouseClick(predict, Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t{1});
    QCOMPARE(result->text(), expected);
    QCOMPARE(result->font().pixelSize(), 24);
    QVERIFY(tickets->isVisible());
    Child<QLineEdit>(&dlg, "pathEdit")->clear();
    QTest::mouseClick(predict, Qt::LeftButton);
    QVERIFY(!tickets->isVisible());
  }

  void failedPredictionsClearTheResultAndKeepTheFont() {
    const TempDir dir;
    const std::string history =
        WriteHistoryFile(dir, RepeatedDrawLines("572", std::size_t{15} * 40));
    BoxRecorder boxes;
    MainWindow& dlg = Shown();
    auto* path = Child<QLineEdit>(&dlg, "pathEdit");
    auto* predict = Child<QPushButton>(&dlg, "predictButton");
    const auto* result = Child<QLabel>(&dlg, "resultLabel");
    path->setText(QString::fromStdString(history));
    QTest::mouseClick(predict, Qt::LeftButton);
    QVERIFY(result->text().startsWith(QStringLiteral("予測回号: ")));

    struct Case {
      QString path;
      QString message;
      QString detail;  // the box's detailed text: where and why a load failed
    };
    const QString folder = QString::fromStdString(dir.path().string());
    const QString bad = QString::fromStdString(
        WriteHistoryFile(dir, {"header", "第1回,2018/6/12,X,1x3"}, "bad.csv"));
    const QString loadFailed =
        QStringLiteral("エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。");
    const Case cases[] = {
        {QString(), QStringLiteral("ファイルパスが入力されていません。"), QString()},
        {QString::fromStdString(dir.File("missing.csv")),
         QStringLiteral("有効なファイルパスを入力してください。"), QString()},
        // A folder exists, so the loader is asked and fails.
        {folder, loadFailed, folder + QStringLiteral(": フォルダです")},
        {bad, loadFailed, bad + QStringLiteral(":2: 当せん番号 \"1x3\" が 3 桁ではありません")},
    };
    for (const Case& c : cases) {
      boxes.Clear();
      path->setText(c.path);
      QTest::mouseClick(predict, Qt::LeftButton);
      QCOMPARE(boxes.Boxes().size(), size_t{2});
      QCOMPARE(boxes.Boxes()[1].text, c.message);
      QCOMPARE(boxes.Boxes()[1].caption, QStringLiteral("Tolvane"));  // every box, one title
      QCOMPARE(boxes.Boxes()[1].icon, QMessageBox::Critical);
      QCOMPARE(boxes.Boxes()[1].owner, &dlg);
      QCOMPARE(boxes.Boxes()[1].detail, c.detail);
      QCOMPARE(result->text(), QString());
      QCOMPARE(result->font().pixelSize(), 24);
    }
  }

  // Each window, at its first size and at its smallest, fits the smallest screen with a title
  // bar; the analysis windows open beside the main one, inside the screen.
  void windowsFitTheSmallestScreenBesideTheMainWindow() {
    MainWindow& dlg = Shown();
    SpectraWindow spectra;
    EvaluationWindow evaluation([] { return HistoryChoice{}; });
    StatisticsWindow statistics;
    const QSize room = kSmallestScreen - QSize(0, kTitleBarHeight);
    PredictionAnalysis four;
    four.places.resize(4);
    SpectraWindow spectra4;  // four places, measured before it shows
    spectra4.ShowAnalysis(&four);
    const TempDir dir;
    const auto path = QString::fromStdString(WriteHistoryFile(dir, RepeatedDrawLines("5723", 9)));
    StatisticsWindow statistics4;
    QVERIFY(statistics4.Open({path, TextEncoding::kCp932, Game::kNumbers4}));
    AddDrawDialog add({path}, {});
    UpdateHistoryDialog update(path, {path});
    for (const QSize size :
         {dlg.size(), spectra.size(), spectra.minimumSizeHint(), evaluation.size(),
          evaluation.minimumSizeHint(), statistics.sizeHint(), statistics.minimumSizeHint(),
          spectra4.minimumSizeHint(), statistics4.sizeHint(), statistics4.minimumSizeHint(),
          add.size(), add.minimumSizeHint(), update.size(), update.minimumSizeHint()}) {
      QVERIFY(size.width() <= room.width() && size.height() <= room.height());
    }

    const QRect screen(0, 0, 1366, 728);
    const std::tuple<QRect, QSize, QPoint> cases[] = {
        {{10, 20, 500, 400}, {800, 700}, {510, 20}},     // right of it
        {{560, 20, 800, 600}, {500, 400}, {60, 20}},     // left of it
        {{800, 20, 566, 400}, {800, 600}, {0, 20}},      // left of it, to the pixel
        {{100, 50, 800, 600}, {1100, 740}, {266, 0}},    // neither: at the right edge
        {{-50, 600, 300, 200}, {300, 200}, {250, 528}},  // the owner partly off the screen
        {{0, 0, 900, 600}, {1500, 900}, {0, 0}},         // larger than the screen
        {{1466, 0, 300, 200}, {400, 300}, {966, 0}},     // the owner beyond the right edge
    };
    for (const auto& [owner, frame, at] : cases) {
      QCOMPARE(PlaceBeside(owner, frame, screen), at);
      QCOMPARE(PlaceAside({owner}, frame, screen), at);  // alone, beside it whenever that fits
    }
    // Among other windows: where it covers least of them.
    const std::tuple<std::vector<QRect>, QSize, QPoint> aside[] = {
        {{{0, 0, 400, 500}, {400, 0, 600, 400}}, {600, 300}, {400, 400}},  // below the other
        {{{0, 0, 400, 500}, {400, 0, 600, 728}}, {300, 300}, {1000, 0}},   // beside the other
        {{{0, 0, 1366, 728}}, {300, 200}, {1066, 0}},  // covering it anywhere: beside the owner
    };
    for (const auto& [taken, frame, at] : aside) {
      QCOMPARE(PlaceAside(taken, frame, screen), at);
    }

    Child<QAction>(&dlg, "spectraAction")->trigger();
    const auto* opened = Child<SpectraWindow>(&dlg, "spectraWindow");
    QVERIFY(dlg.screen()->availableGeometry().contains(opened->geometry().topLeft()));

    // On the smallest screen (gui.smallest_screen runs this there), each game in turn with the
    // windows left open, every kind of ticket ticked: each window the menus open lies inside the
    // screen with room for a title bar, its 保存 on it, and the tickets box shows every line.
    const QRect shown = dlg.screen()->availableGeometry();
    if (shown.size() != kSmallestScreen) {
      QVERIFY(qEnvironmentVariableIsEmpty("TOLVANE_SMALLEST_SCREEN"));
      return;
    }
    const auto fits = [&shown](const QWidget& window, const char* save) {
      if (!shown.contains(window.frameGeometry()) || window.height() + 30 > shown.height()) {
        return false;
      }
      const auto* button = save != nullptr ? Child<QPushButton>(&window, save) : nullptr;
      return button == nullptr ||
             (button->isVisible() &&
              shown.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
    };
    const BoxRecorder boxes;
    const std::pair<const char*, std::string> games[] = {
        {"game_numbers3", WriteHistoryFile(dir, RepeatedDrawLines("572", 300), "three.csv")},
        {"game_numbers4", WriteHistoryFile(dir, RepeatedDrawLines("5723", 300), "four.csv")}};
    const std::pair<const char*, const char*> windows[] = {
        {"spectraAction", "spectraWindow"},
        {"evaluationAction", "evaluationWindow"},
        {"statisticsAction", "statisticsWindow"}};
    for (const auto& [game, history] : games) {
      Child<QAction>(&dlg, game)->trigger();
      Child<QLineEdit>(&dlg, "pathEdit")->setText(QString::fromStdString(history));
      dlg.OnPredict();
      for (const auto& [action, name] : windows) {
        Child<QAction>(&dlg, action)->trigger();
        auto* window = Child<QWidget>(&dlg, name);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY2(fits(*window, "saveButton"),
                 qPrintable(QStringLiteral("%1 %2 at %3,%4 %5x%6")
                                .arg(QLatin1String(game), QLatin1String(name))
                                .arg(window->x())
                                .arg(window->y())
                                .arg(window->width())
                                .arg(window->height())));
      }
      for (const char* bet : {"betStraightCheck", "betBoxCheck", "betSetCheck", "betMiniCheck"}) {
        Child<QCheckBox>(&dlg, bet)->setChecked(true);
      }
      QVERIFY2(fits(dlg, nullptr), game);
      const auto* tickets = Child<QPlainTextEdit>(&dlg, "ticketsView");
      QVERIFY(tickets->isVisible() && tickets->verticalScrollBar()->maximum() == 0);
    }
    int fitted = 0;
    const ModalAnswer dialogs([&fits, &fitted](QDialog& dialog) {
      dialog.show();
      fitted += QTest::qWaitForWindowExposed(&dialog) && fits(dialog, nullptr) ? 1 : 0;
      return int{QDialog::Rejected};
    });
    Child<QAction>(&dlg, "addDrawAction")->trigger();
    Child<QAction>(&dlg, "aboutAction")->trigger();
    QCOMPARE(dialogs.Count(), 2);
    QCOMPARE(fitted, 2);
  }

  // The file menu's encoding: code page 932 at first, remembered once changed. A UTF-8 file read
  // as code page 932 fails, the box pointing to that menu; with UTF-8 chosen it loads, its
  // newest-first rounds are warned about once per load, and the prediction still comes with the
  // round the window shows. A code page 932 file read as UTF-8 points the other way.
  void encodingChoiceHintAndOrderWarning() {
    const TempDir dir;
    std::string bytes = "回別,抽せん日,曜日,当せん番号\n";
    for (int round = 30; round >= 1; --round) {
      bytes += "第" + std::to_string(round) + "回,2020/1/2,X,572\n";
    }
    const std::string path = dir.File("utf8.csv");
    WriteBytes(path, bytes);
    const QString shownPath = QString::fromStdString(path);
    BoxRecorder boxes;
    MainWindow& dlg = Shown();
    auto* cp932 = Child<QAction>(&dlg, "encoding_cp932");
    auto* utf8 = Child<QAction>(&dlg, "encoding_utf-8");
    QVERIFY(cp932->isChecked() && !utf8->isChecked());
    Child<QLineEdit>(&dlg, "pathEdit")->setText(shownPath);
    auto* predict = Child<QPushButton>(&dlg, "predictButton");
    QTest::mouseClick(predict, Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t{2});
    QCOMPARE(boxes.Boxes()[1].detail,
             shownPath + QStringLiteral(":2: code page 932 として読めないバイトがあります"));
    QVERIFY(boxes.Boxes()[1].text.endsWith(QStringLiteral(
        "\nこのファイルは UTF-8 のようです。ﾌｧｲﾙ → 文字コード で UTF-8 を選んでください。")));

    utf8->trigger();
    QVERIFY(utf8->isChecked() && !cp932->isChecked());
    QCOMPARE(dlg.Encoding(), TextEncoding::kUtf8);
    const auto* result = Child<QLabel>(&dlg, "resultLabel");
    for (int load = 0; load < 2; ++load) {
      boxes.Clear();
      QTest::mouseClick(predict, Qt::LeftButton);
      QCOMPARE(boxes.Boxes().size(), size_t{2});
      const ShownBox& warning = boxes.Boxes()[1];
      QCOMPARE(warning.icon, QMessageBox::Warning);
      QCOMPARE(warning.owner, &dlg);
      QCOMPARE(warning.text, QStringLiteral("履歴ファイルの回号が古い順に並んでいません。"
                                            "データはファイルの行の順に解析されます。"));
      QCOMPARE(warning.detail,
               shownPath + QStringLiteral(":3: この行で回号が増えなくなります。当せん番号は"
                                          "ファイルの順 (古い順のはず) に分析します"));
      QCOMPARE(result->text(), QString::fromStdString(RepeatedDrawResult("1", "572")));
    }
    boxes.Clear();
    Child<QLineEdit>(&dlg, "pathEdit")
        ->setText(QString::fromStdString(WriteHistoryFile(dir, RepeatedDrawLines("572", 30))));
    QTest::mouseClick(predict, Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t{2});
    QVERIFY(
        boxes.Boxes()[1].text.endsWith(QStringLiteral("で Shift_JIS (CP932) を選んでください。")));

    dlg_.reset();
    MainWindow& again = Shown();
    QVERIFY(Child<QAction>(&again, "encoding_utf-8")->isChecked());
    QCOMPARE(again.Encoding(), TextEncoding::kUtf8);
  }

  // The game menu, remembered; longer Numbers 3 numbers warned of; the thousands block whole.
  void gameChoiceLongNumberWarningAndTheThousandsBlock() {
    const TempDir dir;
    const auto four = QString::fromStdString(WriteHistoryFile(dir, RepeatedDrawLines("5723", 30)));
    std::vector<std::string> one = RepeatedDrawLines("572", 30);
    one[4] += "3";  // a single longer number: no hint, its line in the details
    const std::tuple<QString, QString, QString> cases[] = {
        {four, QStringLiteral("ﾌｧｲﾙ → ゲーム で ナンバーズ4 を選んでください。"),
         QStringLiteral(": 当せん番号がすべて 4 桁です。ナンバーズ4 の履歴のようです")},
        {QString::fromStdString(WriteHistoryFile(dir, one, "one.csv")),
         QStringLiteral("先頭の 3 桁を使って予想します。"),
         QStringLiteral("先頭の 3 桁を使います")}};
    BoxRecorder boxes;
    for (const auto& [path, end, detail] : cases) {
      Child<QLineEdit>(&Shown(), "pathEdit")->setText(path);
      dlg_->OnPredict();
      QVERIFY(boxes.Boxes().back().text.endsWith(end));
      QVERIFY(boxes.Boxes().back().detail.endsWith(detail));
    }
    Child<QAction>(dlg_.get(), "game_numbers4")->trigger();
    QCOMPARE(Child<QLabel>(dlg_.get(), "resultLabel")->text(), QString());  // the other game's
    Child<QLineEdit>(&Shown(), "pathEdit")->setText(four);
    dlg_->OnPredict();
    const auto* result = Child<QLabel>(dlg_.get(), "resultLabel");
    QVERIFY(result->text().contains(
        QStringLiteral("予想数字\n\n千の位：\nパワースペクトル予想: 5, 0")));
    QVERIFY(result->heightForWidth(result->width()) <= result->height());
    QVERIFY(dlg_->height() <= kSmallestScreen.height() - kTitleBarHeight);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeMainWindowTest() { return std::make_unique<MainWindowTest>(); }

}  // namespace tolvane::test

#include "main_window_test.moc"
