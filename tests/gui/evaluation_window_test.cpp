// The evaluation window: its results are the library's, it saves them, 中止 and closing stop the
// worker, and the main window holds its prediction while a run goes.
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "app/evaluation_table.h"
#include "app/gui/evaluation_window.h"
#include "app/gui/main_window.h"
#include "app/gui/money_choice.h"
#include "app/money_table.h"
#include "gui_test_support.h"
#include "history/draw_history.h"
#include "history/payouts.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

// Long enough that a run started in a test is still going when the next line of the test looks.
constexpr std::size_t kLongHistory = 30000;
constexpr int kWaitMs = 120000;

std::vector<EvaluationRow> LibraryRows(const std::string& path, const EvaluationRequest& request,
                                       Game game) {
  OwnedHistory history;
  DrawHistory& h = history.get();
  if (LoadDrawHistory(path, h, "", nullptr, {TextEncoding::kCp932, game}) != kLoadOk) {
    return {};
  }
  return EvaluationRows(Evaluate(h, request));
}

// The money table as the library replays it: the evaluation kept its rankings, the payouts read.
std::string LibraryMoney(const std::string& path, EvaluationRequest request, Game game,
                         const MoneyRequest& money) {
  OwnedHistory history;
  HistoryPayouts payouts;
  LoadReport failure;
  if (LoadDrawHistory(path, history.get(), "", nullptr, {TextEncoding::kCp932, game}) != kLoadOk ||
      !ReadHistoryPayouts(path, {TextEncoding::kCp932, game}, payouts, failure)) {
    return {};
  }
  request.keepRankings = true;
  const Evaluation evaluation = Evaluate(history.get(), request);
  return MoneyCsv(evaluation, ReplayMoney(history.get(), evaluation, payouts.draws, money));
}

QString StatusOf(const EvaluationWindow& window) {
  return Child<QLabel>(&window, "statusLabel")->text();
}

class EvaluationWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Every test starts from the settings of a first run: no tickets ticked.
  void init() { QSettings(QStringLiteral("tolvane"), QStringLiteral("tolvane")).clear(); }

  void showsTheLibrarysResultsAndSavesThem_data() {
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("top");  // the places of the table's first and eleventh rows
    QTest::newRow("numbers3") << 3 << QStringLiteral("百の位十の位");
    QTest::newRow("numbers4") << 4 << QStringLiteral("千の位百の位");
  }

  void showsTheLibrarysResultsAndSavesThem() {
    QFETCH(int, places);
    QFETCH(QString, top);
    const Game game = places == 4 ? Game::kNumbers4 : Game::kNumbers3;
    TempDir dir;
    const std::string history = WriteHistoryFile(
        dir, places == 4 ? RepeatedDrawLines("5723", 120) : RandomDrawLines(120, 9));
    HistoryChoice chosen{QString::fromStdString(history), TextEncoding::kCp932, game};
    EvaluationWindow window([&chosen] { return chosen; });
    for (const char* off :
         {"filterBandPassCheck", "frameTailCheck", "frameCenterCheck", "frameHeadTailCheck"}) {
      Child<QCheckBox>(&window, off)->setChecked(false);
    }
    Child<QSpinBox>(&window, "lastSpin")->setValue(60);
    Child<QCheckBox>(&window, "betStraightCheck")->setChecked(true);
    Child<QCheckBox>(&window, "betBoxCheck")->setChecked(true);
    QCOMPARE(Child<QSpinBox>(&window, "ticketsSpin")->maximum(), places == 4 ? 705 : 210);
    QCOMPARE(!Child<QCheckBox>(&window, "betMiniCheck")->isHidden(), places == 3);
    Child<QSpinBox>(&window, "ticketsSpin")->setValue(5);
    Child<QPushButton>(&window, "runButton")->click();
    QVERIFY(window.IsRunning());
    QVERIFY(!Child<QPushButton>(&window, "runButton")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!window.IsRunning(), kWaitMs);

    EvaluationRequest request;
    request.runs = {{FilterKind::LowPass, FrameMode::Head}, {FilterKind::None, FrameMode::Head}};
    request.last = 60;
    const std::string want = EvaluationCsv(LibraryRows(history, request, game));
    QCOMPARE(EvaluationCsv(window.Rows()), want);
    const auto* table = Child<QTableWidget>(&window, "resultTable");
    QCOMPARE(table->rowCount(), 2 * (places + 1) * 10);
    QCOMPARE(table->item(0, 2)->text() + table->item(10, 2)->text(), top);
    QCOMPARE(table->item(places * 10, 2)->text(), QStringLiteral("%1桁すべて").arg(places));
    QVERIFY(StatusOf(window).contains(QStringLiteral("検定 %1 件").arg(2 * (places + 1) * 9)));
    QCOMPARE(table->item(table->rowCount() - 1, 1)->text(), QString());  // none has no frame
    QCOMPARE(table->item(0, 0)->text() + table->item(0, 1)->text(), QStringLiteral("LPF先頭"));
    auto* runs = Child<QComboBox>(&window, "plotRunCombo");
    QCOMPARE(runs->count(), 2);
    QCOMPARE(runs->itemText(0) + runs->itemText(1), QStringLiteral("LPF 先頭NONE"));
    const QChart* chart = Child<QChartView>(&window, "chartView")->chart();
    QCOMPARE(chart->series().size(), 2 + places);  // the band, chance, the places
    QCOMPARE(chart->series().value(2)->name(), top.left(3));
    QCOMPARE(chart->title(), QStringLiteral("LPF 先頭 (60 回)"));
    Child<QCheckBox>(&window, "differenceCheck")->setChecked(true);
    const auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    QVERIFY(y != nullptr && y->min() < 0.0 && y->max() > 0.0);

    // The type chosen decides what is written: the plot as PNG or SVG, the table as CSV; a name
    // without an extension gets the type's, one with another keeps it.
    BoxRecorder boxes;
    const std::pair<const char*, qsizetype> saves[] = {
        {"result", 0}, {"result.svg", 1}, {"result", 2}, {"table.txt", 2}};
    for (const auto& [name, type] : saves) {
      const ChooserDriver answer(QString::fromStdString(dir.File(name)), static_cast<int>(type));
      Child<QPushButton>(&window, "saveButton")->click();
      QCOMPARE(answer.Offers()[0].start, QString::fromStdString(dir.File("evaluation.png")));
    }
    // The 収支 tab: the library's replay, a row per run and kind, one run's balance beside random
    // tickets' expected one and band; saved from its tab.
    const std::string money =
        LibraryMoney(history, request, game, {{BetType::Straight, BetType::Box}, 5, false});
    QVERIFY(window.Money() != nullptr);
    Child<QTabWidget>(&window, "resultTabs")->setCurrentIndex(1);
    {
      const ChooserDriver answer(QString::fromStdString(dir.File("money")), 2);
      Child<QPushButton>(&window, "saveButton")->click();
      QCOMPARE(answer.Offers()[0].start, QString::fromStdString(dir.File("money.png")));
    }
    QCOMPARE(ReadBytes(dir.File("money.csv")), money);
    const auto* moneyTable = Child<QTableWidget>(&window, "moneyTable");
    QCOMPARE(moneyTable->rowCount(), 4);
    const QStringList lines = QString::fromStdString(money).split(u'\n', Qt::SkipEmptyParts);
    for (int row = 0; row < moneyTable->rowCount(); ++row) {  // winnings, hits, random's range
      const QStringList fields = lines.value(row + 1).split(u',');
      QCOMPARE(moneyTable->item(row, 5)->text().remove(u',') + moneyTable->item(row, 7)->text(),
               fields.value(6) + fields.value(8));
      QCOMPARE(moneyTable->item(row, 9)->text(),
               QString::asprintf("%.1f %% 〜 %.1f %%", 100 * fields.value(10).toDouble(),
                                 100 * fields.value(11).toDouble()));
    }
    QCOMPARE(moneyTable->item(1, 0)->text() + moneyTable->item(1, 1)->text() +
                 moneyTable->item(1, 4)->text(),
             QStringLiteral("LPF 先頭ボックス60,000"));
    // The first run's straight tickets: band, expected, balance; it ends at winnings less cost.
    const QChart* moneyChart = Child<QChartView>(&window, "moneyChartView")->chart();
    QCOMPARE(moneyChart->series().size(), 3);
    const auto* balance = qobject_cast<QLineSeries*>(moneyChart->series().value(2));
    const QStringList first = lines.value(1).split(u',');
    QVERIFY(balance != nullptr && balance->count() == 61);
    QCOMPARE(balance->points().constLast().y(),
             first.value(6).toDouble() - first.value(5).toDouble());
    // The axes' amounts grouped by thousands, as in the table.
    QVERIFY(moneyChart->localizeNumbers());
    QCOMPARE(moneyChart->locale().toString(-6000000.0, 'f', 0), QStringLiteral("-6,000,000"));
    const auto drawn = [&](double value) {  // a label the chart draws, once laid out
      Child<QChartView>(&window, "moneyChartView")->grab();
      const QList<QGraphicsItem*> items = moneyChart->scene()->items();
      return std::any_of(items.begin(), items.end(), [&](const QGraphicsItem* item) {
        const auto* text = qgraphicsitem_cast<const QGraphicsTextItem*>(item);
        return text && text->toPlainText() == moneyChart->locale().toString(value, 'f', 0);
      });
    };
    const auto* x = qobject_cast<QValueAxis*>(moneyChart->axes(Qt::Horizontal).value(0));
    QTRY_VERIFY(drawn(std::ceil(x->min() / x->tickInterval()) * x->tickInterval()));
    QVERIFY(boxes.Boxes().empty());
    QVERIFY(!QImage(QString::fromStdString(dir.File("result.png"))).isNull());
    QVERIFY(ReadBytes(dir.File("result.svg")).find("<svg") != std::string::npos);
    QCOMPARE(ReadBytes(dir.File("result.csv")), want);
    QCOMPARE(ReadBytes(dir.File("table.txt")), want);
    {
      const ChooserDriver answer(QString::fromStdString(dir.File("no/such/folder/plot.png")));
      Child<QPushButton>(&window, "saveButton")->click();
    }
    QCOMPARE(boxes.Boxes().size(), std::size_t{1});
    QVERIFY(boxes.Boxes()[0].text.contains(QStringLiteral("保存できませんでした")));

    // A new run shows nothing of the last until it finishes; nothing to run shows nothing.
    Child<QPushButton>(&window, "runButton")->click();
    QVERIFY(window.IsRunning());
    QVERIFY(chart->title().isEmpty() && chart->series().isEmpty());
    QCOMPARE(table->rowCount(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!window.IsRunning(), kWaitMs);
    for (const char* off : {"filterLowPassCheck", "filterNoneCheck"}) {
      Child<QCheckBox>(&window, off)->setChecked(false);
    }
    Child<QPushButton>(&window, "runButton")->click();
    QCOMPARE(table->rowCount() + runs->count(), 0);
    QVERIFY(chart->title().isEmpty());
    QVERIFY(!Child<QPushButton>(&window, "saveButton")->isEnabled());
  }

  // 中止 and closing wait for the worker: the window is idle as soon as either returns, and the
  // stopped run's last message changes nothing.
  void cancelAndCloseStopTheRun() {
    TempDir dir;
    const std::string history = WriteHistoryFile(dir, RandomDrawLines(kLongHistory, 3));
    EvaluationWindow window([&history] { return HistoryChoice{QString::fromStdString(history)}; });
    auto* run = Child<QPushButton>(&window, "runButton");
    auto* cancel = Child<QPushButton>(&window, "cancelButton");
    run->click();
    QVERIFY(window.IsRunning());
    QVERIFY(cancel->isEnabled());
    cancel->click();
    QVERIFY(!window.IsRunning());
    QVERIFY(run->isEnabled());
    QVERIFY(!cancel->isEnabled());
    QCOMPARE(StatusOf(window), QStringLiteral("中止しました。"));
    QCoreApplication::processEvents();
    QVERIFY(window.Rows().empty());
    QCOMPARE(Child<QTableWidget>(&window, "resultTable")->rowCount(), 0);

    run->click();
    QVERIFY(window.IsRunning());
    window.close();
    QVERIFY(!window.IsRunning());
    QCoreApplication::processEvents();
    QVERIFY(window.Rows().empty());
  }

  void failuresAreReported() {
    TempDir dir;
    std::string history;
    EvaluationWindow window([&history] { return HistoryChoice{QString::fromStdString(history)}; });
    auto* run = Child<QPushButton>(&window, "runButton");
    BoxRecorder boxes;
    run->click();  // no path
    QVERIFY(!window.IsRunning());
    QCOMPARE(boxes.Boxes().size(), std::size_t{1});
    QCOMPARE(boxes.Boxes()[0].text, QStringLiteral("ファイルパスが入力されていません。"));

    history = WriteHistoryFile(dir, RepeatedDrawLines("123", 15));
    run->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.IsRunning(), kWaitMs);
    QCOMPARE(boxes.Boxes().size(), std::size_t{2});
    QCOMPARE(
        boxes.Boxes()[1].text,
        QStringLiteral("評価できません: 履歴は 15 回分です。評価には 16 回分以上が必要です。"));

    // Filters that need a frame, and none chosen: nothing to run.
    Child<QCheckBox>(&window, "filterNoneCheck")->setChecked(false);
    for (const char* off :
         {"frameHeadCheck", "frameTailCheck", "frameCenterCheck", "frameHeadTailCheck"}) {
      Child<QCheckBox>(&window, off)->setChecked(false);
    }
    run->click();
    QVERIFY(!window.IsRunning());
    QVERIFY(StatusOf(window).contains(QStringLiteral("フレームも選んでください")));
    QCOMPARE(boxes.Boxes().size(), std::size_t{2});
  }

  // The kinds of ticket come back as stored, and as a hand-edited file lists them unquoted.
  void moneyChoiceIsRemembered() {
    StoreMoneyChoice({{BetType::Straight, BetType::Set}, 2});
    QVERIFY(StoredMoneyChoice().bets == (std::vector<BetType>{BetType::Straight, BetType::Set}));
    QSettings(QStringLiteral("tolvane"), QStringLiteral("tolvane"))
        .setValue(QStringLiteral("money/bets"),
                  QStringList{QStringLiteral("box"), QStringLiteral("mini")});
    const MoneyChoice edited = StoredMoneyChoice();
    QVERIFY(edited.bets == (std::vector<BetType>{BetType::Box, BetType::Mini}));
    QCOMPARE(edited.tickets, 2);
  }

  // One window at a time, from the Tools menu; the prediction waits while it runs.
  void mainWindowHoldsItsPredictionWhileARunGoes() {
    TempDir dir;
    const std::string history = WriteHistoryFile(dir, RandomDrawLines(kLongHistory, 5));
    MainWindow dlg;
    Child<QLineEdit>(&dlg, "pathEdit")->setText(QString::fromStdString(history));
    auto* open = Child<QAction>(&dlg, "evaluationAction");
    open->trigger();
    open->trigger();
    QCOMPARE(dlg.findChildren<EvaluationWindow*>().size(), 1);
    QPointer<EvaluationWindow> window = Child<EvaluationWindow>(&dlg, "evaluationWindow");
    QVERIFY(window->isVisible());

    auto* predict = Child<QPushButton>(&dlg, "predictButton");
    Child<QPushButton>(window.data(), "runButton")->click();
    QVERIFY(window->IsRunning());
    QVERIFY(!predict->isEnabled());
    BoxRecorder boxes;
    dlg.OnPredict();
    QVERIFY(boxes.Boxes().empty());  // not even the start box

    window->close();
    QVERIFY(predict->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), kWaitMs);  // closing deletes it
    open->trigger();
    QCOMPARE(dlg.findChildren<EvaluationWindow*>().size(), 1);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeEvaluationWindowTest() {
  return std::make_unique<EvaluationWindowTest>();
}

}  // namespace tolvane::test

#include "evaluation_window_test.moc"
