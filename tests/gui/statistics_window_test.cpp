#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/gui/main_window.h"
#include "app/gui/statistics_window.h"
#include "gui_test_support.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

// The statistics window as the Tools menu opens it over the main window's history.
class StatisticsWindowTest : public QObject {
  Q_OBJECT

 private:
  TempDir dir_;
  std::unique_ptr<MainWindow> dlg_;

  // Hundreds 0..9, tens 9..0, ones always 5.
  std::string Ladder() const {
    std::vector<std::string> lines = {"回別,抽せん日,曜日,当せん番号"};
    for (int i = 0; i < 10; ++i) {
      lines.push_back("第" + std::to_string(i + 1) + "回,2020/1/2,X," + std::to_string(i) +
                      std::to_string(9 - i) + "5");
    }
    return WriteHistoryFile(dir_, lines, "ladder.csv");
  }

  // Opens the window over `path` from the menu; null when none opened.
  StatisticsWindow* OpenOver(const std::string& path) {
    if (!dlg_) {
      dlg_ = std::make_unique<MainWindow>();
    }
    Child<QLineEdit>(dlg_.get(), "pathEdit")->setText(QString::fromStdString(path));
    Child<QAction>(dlg_.get(), "statisticsAction")->trigger();
    return dlg_->findChild<StatisticsWindow*>();
  }

 private slots:
  void cleanup() { dlg_.reset(); }

  void showsCountsExpectedLineAndGaps() {
    StatisticsWindow* window = OpenOver(Ladder());
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());

    const auto check = [window](int last, const QString& range) {
      Child<QSpinBox>(window, "lastSpin")->setValue(last);
      QCOMPARE(Child<QLabel>(window, "rangeLabel")->text(), range);
      const DigitStatistics& statistics = window->Statistics();
      auto* table = Child<QTableWidget>(window, "sinceLastTable");
      for (int place = 0; place < 3; ++place) {
        const PlaceStatistics& counts = statistics.places[static_cast<std::size_t>(place)];
        QChart* chart =
            Child<QChartView>(window, ("countChart" + std::to_string(place)).c_str())->chart();
        QVERIFY(chart->title().contains(
            QStringLiteral("p = %1").arg(QString::number(counts.pValue, 'g', 3))));
        const auto* bars = qobject_cast<QBarSeries*>(chart->series().at(0));
        const auto* line = qobject_cast<QLineSeries*>(chart->series().at(1));
        QVERIFY(bars != nullptr && line != nullptr);
        for (int digit = 0; digit < 10; ++digit) {
          const auto d = static_cast<std::size_t>(digit);
          QCOMPARE(bars->barSets().at(0)->at(digit), double(counts.counts[d]));
          const QString since =
              counts.sinceLast[d] ? QString::number(*counts.sinceLast[d]) : QStringLiteral("—");
          QCOMPARE(table->item(place, digit)->text(), since);
        }
        for (const QPointF& point : line->points()) {
          QCOMPARE(point.y(), statistics.window / 10.0);
        }
      }
    };
    check(0, QStringLiteral("抽せん 1〜10 の 10 回分（各数字の期待値 1 回）"));
    QVERIFY(!Child<QWidget>(window, "countChart3")->isVisibleTo(window));
    QCOMPARE(window->Statistics().places[2].counts[5], 10U);
    QVERIFY(Child<QChartView>(window, "countChart2")
                ->chart()
                ->title()
                .contains(QStringLiteral("偏り")));
    check(3, QStringLiteral("抽せん 8〜10 の 3 回分（各数字の期待値 0.3 回）"));
    QCOMPARE(window->Statistics().places[0].counts[7], 1U);
    QCOMPARE(Child<QTableWidget>(window, "sinceLastTable")->item(0, 0)->text(),
             QStringLiteral("—"));

    // The menu again: the same window, over every draw of the history named now.
    QCOMPARE(OpenOver(Ladder()), window);
    QCOMPARE(dlg_->findChildren<StatisticsWindow*>().size(), qsizetype{1});
    QCOMPARE(window->Statistics().window, 10U);

    // Numbers 4 from the menu: the thousands first, judged at 0.05 / 4.
    Child<QAction>(dlg_.get(), "game_numbers4")->trigger();
    QCOMPARE(OpenOver(WriteHistoryFile(dir_, RepeatedDrawLines("3572", 10))), window);
    QCOMPARE(window->Statistics().places.size(), std::size_t{4});
    QVERIFY(Child<QLabel>(window, "noteLabel")->text().contains(QStringLiteral("0.0125 以下")));
    Child<QAction>(dlg_.get(), "game_numbers3")->trigger();  // the stored choice as it was
  }

  void savesCsvAndPngAndReportsAFailedSave() {
    StatisticsWindow* window = OpenOver(Ladder());
    QVERIFY(window != nullptr);
    Child<QSpinBox>(window, "lastSpin")->setValue(1);
    {
      // Type CSV, no extension: the counts, named so.
      const ChooserDriver answer(QString::fromStdString(dir_.File("stats")), 1);
      Child<QPushButton>(window, "saveButton")->click();
      QCOMPARE(answer.Offers().size(), std::size_t{1});
      QVERIFY(answer.Offers()[0].saving);
      QCOMPARE(answer.Offers()[0].nameFilters.size(), qsizetype{2});
      QCOMPARE(answer.Offers()[0].start,  // in the history's folder
               QString::fromStdString(dir_.File("statistics.png")));
    }
    const std::vector<std::string> lines = ReadLines(dir_.File("stats.csv"));
    QCOMPARE(lines.size(), std::size_t{31});
    QCOMPARE(lines[0], std::string("place,digit,count,since_last"));
    QCOMPARE(lines[9], std::string("hundreds,8,0,"));
    QCOMPARE(lines[10], std::string("hundreds,9,1,0"));
    QCOMPARE(lines[11], std::string("tens,0,1,0"));
    QCOMPARE(lines[26], std::string("ones,5,1,0"));
    {
      // No suffix: a PNG, named so.
      const ChooserDriver answer(QString::fromStdString(dir_.File("charts")));
      window->OnSave();
    }
    const QImage image(QString::fromStdString(dir_.File("charts.png")));
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 300);
    // The picture says which draws it counts.
    QVERIFY(
        Child<QWidget>(window, "chartsArea")->isAncestorOf(Child<QLabel>(window, "rangeLabel")));

    BoxRecorder boxes;
    const ChooserDriver answer(QString::fromStdString(dir_.File("no/such/folder/stats.csv")));
    window->OnSave();
    QCOMPARE(boxes.Boxes().size(), std::size_t{1});
    QCOMPARE(boxes.Boxes()[0].text,
             QStringLiteral("保存できませんでした: ") +
                 QString::fromStdString(dir_.File("no/such/folder/stats.csv")));
    QVERIFY(boxes.Boxes()[0].detail.startsWith(QString::fromStdString(dir_.File("no/such"))));
  }

  // The window reads the history in the encoding chosen in the main window's file menu; read
  // wrongly, the box points to that menu.
  void readsTheChosenEncoding() {
    const std::string utf8 = dir_.File("ladder-utf8.csv");
    WriteBytes(utf8, "回別,抽せん日,曜日,当せん番号\n第1回,2020/1/2,木,095\n");
    {
      BoxRecorder boxes;
      QCOMPARE(OpenOver(utf8), nullptr);
      QCOMPARE(boxes.Boxes().size(), std::size_t{1});
      QVERIFY(boxes.Boxes()[0].text.endsWith(QStringLiteral("で UTF-8 を選んでください。")));
      QVERIFY(!boxes.Boxes()[0].detail.contains(QStringLiteral("--encoding")));
    }
    Child<QAction>(dlg_.get(), "encoding_utf-8")->trigger();
    StatisticsWindow* window = OpenOver(utf8);
    Child<QAction>(dlg_.get(), "encoding_cp932")->trigger();  // the stored choice as it was
    QVERIFY(window != nullptr);
    QCOMPARE(window->Statistics().places[1].counts[9], 1U);
  }

  void unreadableHistoriesOpenNoWindow() {
    const std::string headerOnly = WriteHistoryFile(dir_, {"header"}, "header.csv");
    const std::string bad = WriteHistoryFile(
        dir_, {"回別,抽せん日,曜日,当せん番号", "第1回,2018/6/12,X,1x3"}, "bad.csv");
    struct Case {
      std::string path;
      QString text;
      QString detail;
    };
    const std::vector<Case> cases = {
        {"", QStringLiteral("ファイルパスが入力されていません。"), QString()},
        {dir_.File("missing.csv"), QStringLiteral("有効なファイルパスを入力してください。"),
         QString::fromStdString(dir_.File("missing.csv") + ": No such file or directory")},
        {bad, QStringLiteral("エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。"),
         QString::fromStdString(bad + ":2: 当せん番号 \"1x3\" が 3 桁ではありません")},
        {headerOnly, QStringLiteral("この履歴からは統計を出せません。"),
         QStringLiteral("no statistics: the history holds 0 draws")},
    };
    for (const Case& c : cases) {
      BoxRecorder boxes;
      QCOMPARE(OpenOver(c.path), nullptr);
      QCOMPARE(boxes.Boxes().size(), std::size_t{1});
      QCOMPARE(boxes.Boxes()[0].text, c.text);
      QCOMPARE(boxes.Boxes()[0].detail, c.detail);
      QCOMPARE(boxes.Boxes()[0].icon, QMessageBox::Critical);
    }
  }
};

}  // namespace

std::unique_ptr<QObject> MakeStatisticsWindowTest() {
  return std::make_unique<StatisticsWindowTest>();
}

}  // namespace tolvane::test

#include "statistics_window_test.moc"
