#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "app/gui/main_window.h"
#include "app/gui/spectra_window.h"
#include "gui_test_support.h"
#include "tests/support/history_file.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

const char* const kPlaces[] = {"placeHundreds", "placeTens", "placeOnes"};

QChart* ChartOf(const QWidget* window, std::size_t place, const char* name) {
  return Child<QChartView>(Child<QWidget>(window, kPlaces[place]), name)->chart();
}

class SpectraWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> dlg_;

  MainWindow& Shown() {
    dlg_ = std::make_unique<MainWindow>();
    dlg_->show();
    return *dlg_;
  }

  SpectraWindow* OpenSpectra() {
    Child<QAction>(dlg_.get(), "spectraAction")->trigger();
    return Child<SpectraWindow>(dlg_.get(), "spectraWindow");
  }

  // Presses 予想 on `path`; true when only the start box was shown.
  bool Predict(const std::string& path) {
    const BoxRecorder boxes;
    Child<QLineEdit>(dlg_.get(), "pathEdit")->setText(QString::fromStdString(path));
    QTest::mouseClick(Child<QPushButton>(dlg_.get(), "predictButton"), Qt::LeftButton);
    return boxes.Boxes().size() == 1;
  }

  bool KeptSpectra() const { return !dlg_->LastAnalysis()->places[0].spectra[0].empty(); }

 private slots:
  void cleanup() { dlg_.reset(); }

  // The lines, the bars and the result text all come from the same run.
  void chartsShowTheScoresOfTheRun() {
    MainWindow& dlg = Shown();
    SpectraWindow* window = OpenSpectra();
    QVERIFY(Child<QLabel>(window, "emptyLabel")->isVisibleTo(window));
    QVERIFY(!Child<QPushButton>(window, "saveButton")->isEnabled());

    QVERIFY(Predict(TOLVANE_SAMPLE_HISTORY));
    const PredictionAnalysis& analysis = *dlg.LastAnalysis();
    QVERIFY(!Child<QLabel>(window, "emptyLabel")->isVisibleTo(window));
    QCOMPARE(Child<QLabel>(window, "drawsLabel")->text(),
             QStringLiteral("変換した抽せん: 1〜3,840 回目 (全 6,500 回)"));
    QCOMPARE(Child<QLabel>(window, "headerLabel")->text(),
             QStringLiteral("第1回の予想    フィルタ: LPF    フレーム: 先頭"));
    const QStringList shown = Child<QLabel>(&dlg, "resultLabel")
                                  ->text()
                                  .split(QLatin1Char('\n'))
                                  .filter(QStringLiteral("パワースペクトル予想: "));
    QCOMPARE(shown.size(), 3);
    for (std::size_t place = 0; place < 3; ++place) {
      const DigitRanking& ranking = analysis.places[place];
      const QList<QAbstractSeries*> lines = ChartOf(window, place, "spectrumChart")->series();
      auto* bars =
          qobject_cast<QBarSeries*>(ChartOf(window, place, "scoreChart")->series().value(0));
      QVERIFY(bars != nullptr);
      const QBarSet* set = bars->barSets().value(0);
      const auto* peak = qobject_cast<QValueAxis*>(bars->attachedAxes().value(1));
      const QStringList categories =
          qobject_cast<QBarCategoryAxis*>(bars->attachedAxes().value(0))->categories();
      QCOMPARE(lines.size(), 10);
      QCOMPARE(set->count(), 10);
      // The legend lists every digit in ranked order, each entry whole at the window's size.
      const QList<QLabel*> entries =
          Child<QWidget>(Child<QWidget>(window, kPlaces[place]), "spectrumLegend")
              ->findChildren<QLabel*>();
      QCOMPARE(entries.size(), 10);
      // Each score in the axis's format, above its bar and inside the plot.
      QChart* scoreChart = ChartOf(window, place, "scoreChart");
      QList<QGraphicsItem*> labels = scoreChart->childItems();
      labels.removeIf([](const QGraphicsItem* item) { return item->data(0) != "scoreLabel"; });
      QCOMPARE(labels.size(), 10);
      const auto standsAbove = [&](qsizetype rank) {
        const QRectF box = labels[rank]->mapRectToParent(labels[rank]->boundingRect());
        const QPointF top = scoreChart->mapToPosition(QPointF(double(rank), set->at(rank)), bars);
        return box.bottom() <= top.y() && box.top() >= scoreChart->plotArea().top();
      };
      QStringList legend;
      for (std::size_t rank = 0; rank < 10; ++rank) {
        const int digit = ranking.ranking[rank];
        const std::vector<double>& power = ranking.spectra[static_cast<std::size_t>(digit)];
        const double score = ranking.scores[static_cast<std::size_t>(digit)];
        legend << QString::number(digit);
        const auto* line = qobject_cast<QLineSeries*>(lines[static_cast<qsizetype>(rank)]);
        QVERIFY(line->name().startsWith(QString::number(digit) + QLatin1Char(' ')));
        const QLabel* entry = entries[static_cast<qsizetype>(rank)];
        QVERIFY(entry->text().endsWith(line->name()));
        QTRY_VERIFY(entry->isVisible() && entry->height() >= entry->sizeHint().height());
        // The score is the peak of the whole array; the line shows bins 0 to n/2 as they are.
        QCOMPARE(power.size(), std::size_t{256});
        QCOMPARE(*std::max_element(power.begin(), power.end()), score);
        QCOMPARE(line->count(), 129);
        for (int bin = 0; bin < line->count(); ++bin) {
          QVERIFY(line->at(bin).x() == bin && line->at(bin).y() == power[std::size_t(bin)]);
        }
        QVERIFY(set->at(static_cast<qsizetype>(rank)) == score);
        QCOMPARE(static_cast<QGraphicsSimpleTextItem*>(labels[qsizetype(rank)])->text(),
                 QString::asprintf(qPrintable(peak->labelFormat()), score));
        QTRY_VERIFY(standsAbove(qsizetype(rank)));
        QCOMPARE(categories[static_cast<qsizetype>(rank)], QString::number(digit));
      }
      QCOMPARE(shown[static_cast<qsizetype>(place)],
               QStringLiteral("パワースペクトル予想: ") + legend.join(QStringLiteral(", ")));
    }
  }

  // Spectra are kept only while the window is open; it opens once and draws only what it can.
  void oneWindowThatKeepsSpectraWhileOpen() {
    const TempDir dir;
    MainWindow& dlg = Shown();
    QVERIFY(Predict(TOLVANE_SAMPLE_HISTORY));
    QVERIFY(!KeptSpectra());

    // Opened after that run: the scores, no lines, and a note saying when the lines come.
    SpectraWindow* window = OpenSpectra();
    QCOMPARE(OpenSpectra(), window);
    QCOMPARE(dlg.findChildren<SpectraWindow*>().size(), 1);
    QVERIFY(ChartOf(window, 0, "spectrumChart")->series().isEmpty());
    QCOMPARE(ChartOf(window, 0, "scoreChart")->series().size(), 1);
    const auto* note = Child<QLabel>(Child<QWidget>(window, kPlaces[0]), "placeNote");
    QVERIFY(!note->isHidden() && note->text().contains(QStringLiteral("あとの予想から")));

    // A history of one number: the nine digits never drawn have no power at all, which a log
    // axis cannot show; they are left out, and the note says so.
    QVERIFY(Predict(WriteHistoryFile(dir, RepeatedDrawLines("572", std::size_t{15} * 70))));
    QVERIFY(KeptSpectra());
    QCOMPARE(Child<QLabel>(window, "drawsLabel")->text(),
             QStringLiteral("変換した抽せん: 1〜960 回目 (全 1,050 回)"));
    for (std::size_t place = 0; place < 3; ++place) {
      for (QAbstractSeries* series : ChartOf(window, place, "spectrumChart")->series()) {
        for (const QPointF& point : qobject_cast<QLineSeries*>(series)->points()) {
          QVERIFY(std::isfinite(point.y()) && point.y() > 0.0);
        }
      }
    }
    QVERIFY(note->text().contains(QStringLiteral("省いています")));

    const auto top = [window](const char* place) {  // the digit a row ranks first
      const auto* legend = Child<QWidget>(Child<QWidget>(window, place), "spectrumLegend");
      return legend->findChildren<QLabel*>().value(0)->text().right(6).left(1);
    };
    for (const std::string number : {"5723", "723"}) {  // Numbers 4 adds the thousands row
      Child<QAction>(&dlg, number.size() == 4 ? "game_numbers4" : "game_numbers3")->trigger();
      QVERIFY(Predict(WriteHistoryFile(dir, RepeatedDrawLines(number, std::size_t{15} * 70))));
      QCOMPARE(Child<QWidget>(window, "placeThousands")->isVisibleTo(window), number.size() == 4);
      QCOMPARE(top("placeThousands") + top("placeHundreds") + top("placeOnes"),
               QString::fromStdString(number.size() == 4 ? "573" : "73"));
    }

    window->close();
    QTRY_VERIFY(dlg.findChild<SpectraWindow*>() == nullptr);
    QVERIFY(Predict(TOLVANE_SAMPLE_HISTORY));
    QVERIFY(!KeptSpectra());
  }

  void saveWritesPngOrSvg() {
    const TempDir dir;
    PredictionAnalysis analysis;
    analysis.draws = 120;
    analysis.cycles = 8;
    analysis.transformedCycles = {{0, 8}};
    analysis.places.resize(3);
    for (DigitRanking& ranking : analysis.places) {
      for (std::size_t digit = 0; digit < 10; ++digit) {
        ranking.scores[digit] = 1.0 + static_cast<double>(digit % 4);
        ranking.spectra[digit] = {
            ranking.scores[digit], 0.5, 0.25, 0.125, 0.0625, 0.125, 0.25, 0.5};
      }
      ranking.ranking = RankByScore(ranking.scores);
      ranking.ok = true;
    }
    SpectraWindow window;
    window.ShowAnalysis(&analysis);
    window.show();

    // The type chosen decides the format, and names a file that has no extension.
    struct Case {
      std::optional<QString> answer;
      qsizetype type;    // 0 PNG, 1 SVG
      QString written;   // the file's name; empty: the answer
      QByteArray start;  // of the written file; empty: no file
      bool reported;
    };
    const QString folder = QString::fromStdString(dir.path().string());
    const Case cases[] = {
        {folder + QStringLiteral("/spectra.png"), 0, QString(), QByteArray("\x89PNG"), false},
        {folder + QStringLiteral("/spectra.SVG"), 1, QString(), QByteArray("<?xml"), false},
        {folder + QStringLiteral("/plain"), 1, folder + QStringLiteral("/plain.svg"),
         QByteArray("<?xml"), false},
        {std::nullopt, 0, QString(), QByteArray(), false},
        {folder + QStringLiteral("/no/such/folder.png"), 0, QString(), QByteArray(), true},
    };
    for (const Case& c : cases) {
      const ChooserDriver chooser(c.answer, static_cast<int>(c.type));
      const BoxRecorder boxes;
      QTest::mouseClick(Child<QPushButton>(&window, "saveButton"), Qt::LeftButton);
      QCOMPARE(chooser.Offers().size(), std::size_t{1});
      QVERIFY(chooser.Offers()[0].saving);
      QCOMPARE(chooser.Offers()[0].nameFilters, QStringList({QStringLiteral("PNG 画像 (*.png)"),
                                                             QStringLiteral("SVG 画像 (*.svg)")}));
      QCOMPARE(boxes.Boxes().size(), std::size_t(c.reported ? 1 : 0));
      if (c.answer) {
        QFile file(c.written.isEmpty() ? *c.answer : c.written);
        QCOMPARE(file.exists(), !c.start.isEmpty());
        if (!c.start.isEmpty()) {
          QVERIFY(file.open(QIODevice::ReadOnly));
          const QByteArray bytes = file.readAll();
          QVERIFY(bytes.startsWith(c.start));
          QVERIFY(c.start != "<?xml" || bytes.contains("<svg"));
        }
      }
    }
  }

  void drawsTextNamesTheTransformedDraws() {
    struct Case {
      std::uint64_t draws;
      FilterKind filter;
      FrameMode frame;
      QString text;
    };
    const Case cases[] = {
        {6500, FilterKind::BandPass, FrameMode::HeadTail,
         QStringLiteral("変換した抽せん: 1〜3,840 回目と 2,656〜6,495 回目 (全 6,500 回)")},
        {1050000, FilterKind::LowPass, FrameMode::Tail,
         QStringLiteral("変換した抽せん: 66,961〜1,050,000 回目 (全 1,050,000 回)")},
        {14, FilterKind::LowPass, FrameMode::Head,
         QStringLiteral("変換した抽せん: なし (全 14 回)")},
    };
    for (const Case& c : cases) {
      PredictionAnalysis analysis;
      analysis.draws = c.draws;
      analysis.cycles = static_cast<std::uint32_t>(c.draws / 15);
      analysis.transformedCycles = TransformedCycles(analysis.cycles, c.filter, c.frame);
      QCOMPARE(TransformedDrawsText(analysis), c.text);
    }
  }
};

}  // namespace

std::unique_ptr<QObject> MakeSpectraWindowTest() { return std::make_unique<SpectraWindowTest>(); }

}  // namespace tolvane::test

#include "spectra_window_test.moc"
