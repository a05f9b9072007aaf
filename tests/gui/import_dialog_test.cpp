#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <optional>
#include <string>

#include "app/gui/add_draw_dialog.h"
#include "app/gui/import_dialog.h"
#include "app/gui/main_window.h"
#include "app/gui/round_edit.h"
#include "app/gui/update_history_dialog.h"
#include "gui_test_support.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// A history whose newest draw is the last weekday of 2019, round 2 missing.
std::vector<std::string> YearEndHistory() {
  return {"回別,抽せん日,曜日,当せん番号", "第1回,2019/12/26,木,111", "第3回,2019/12/30,月,333"};
}

// The reason behind a dialog's status line, as 詳細 shows it (offered only when there is one).
QString Reason(QDialog& import) {
  const BoxRecorder boxes;
  auto* details = Child<QPushButton>(&import, "detailsButton");
  if (details->isHidden()) {
    return QStringLiteral("(no 詳細)");
  }
  details->click();
  // The verdict, then the reason, in one warning box that needs no second click.
  if (boxes.Boxes().size() != 1 || boxes.Boxes()[0].icon != QMessageBox::Warning ||
      !boxes.Boxes()[0].detail.isEmpty()) {
    return QString();
  }
  const QString& text = boxes.Boxes()[0].text;
  const QString verdict = Child<QLabel>(&import, "statusLabel")->text() + QStringLiteral("\n\n");
  return text.startsWith(verdict) ? text.mid(verdict.size()) : QString();
}

class ImportDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void importFromTheFileMenu_data() {
    QTest::addColumn<QString>("pad");  // the game chosen pads each number to its length
    QTest::newRow("numbers4") << QStringLiteral("0");
    QTest::newRow("numbers3") << QString();  // last, so the menu's choice ends as it was
  }

  // ファイル → インポート...: source chosen, columns found, preview shown, history written beside
  // the source, and the path edit names it.
  void importFromTheFileMenu() {
    QFETCH(QString, pad);
    const TempDir dir;
    const std::string source = WriteHistoryFile(
        dir,
        {"開催回,日付,当せん番号,ボーナス賞金", "第3回,2018年6月14日,5,1", "第1回,2018-06-12,72,1"},
        "結果.csv");
    MainWindow dlg;
    Child<QAction>(&dlg, "encoding_utf-8")->trigger();
    Child<QAction>(&dlg, pad.isEmpty() ? "game_numbers3" : "game_numbers4")->trigger();
    const FileAnswer chooser(Q(source));
    struct Seen {
      int round = -1, date = -1, number = -1, rows = -1;
      QString first, status, dest, reason;
    };
    std::optional<Seen> seen;
    const ModalAnswer answer([&seen](QDialog& modal) {
      auto* import = qobject_cast<ImportDialog*>(&modal);
      if (import == nullptr) {
        return int(QDialog::Rejected);
      }
      const auto* table = Child<QTableWidget>(import, "previewTable");
      seen = Seen{Child<QComboBox>(import, "roundColumn")->currentIndex(),
                  Child<QComboBox>(import, "dateColumn")->currentIndex(),
                  Child<QComboBox>(import, "numberColumn")->currentIndex(),
                  table->rowCount(),
                  table->item(0, 0)->text() + table->item(0, 2)->text() + table->item(0, 3)->text(),
                  Child<QLabel>(import, "statusLabel")->text(),
                  Child<QLineEdit>(import, "destEdit")->text(),
                  Reason(*import)};
      QTest::mouseClick(Child<QPushButton>(import, "convertButton"), Qt::LeftButton);
      return import->result();
    });
    Child<QLineEdit>(&dlg, "pathEdit")->setText(Q(dir.File("older.csv")));
    Child<QAction>(&dlg, "importAction")->trigger();

    QCOMPARE(chooser.Requests()[0].initialPath, Q(dir.path().string()));  // the history's folder
    QCOMPARE(answer.Count(), 1);
    QVERIFY(seen.has_value());
    QCOMPARE(seen->round, 0);
    QCOMPARE(seen->date, 1);
    QCOMPARE(seen->number, 2);
    QCOMPARE(seen->rows, 2);
    QCOMPARE(seen->first, QStringLiteral("第1回火") + pad + QStringLiteral("072"));
    QCOMPARE(
        seen->status,
        QStringLiteral("2 回分を変換します (第1回〜第3回、欠番 1、重複行 0、元の並び: 新しい順)。"
                       "注意が 1 件あります (詳細)。"));
    QCOMPARE(
        seen->reason,
        Q(source + ": \"ボーナス賞金\" は賞金の列のようですが読まないため、その額は入りません ("
                   "賞金の列は賭け方の名前で見分けます: ストレート、ボックス賞金、金額[SET-"
                   "STR]、straight_prize)"));
    const QString dest = Q(dir.File("結果-tolvane.csv"));
    QCOMPARE(seen->dest, dest);
    QCOMPARE(Child<QLineEdit>(&dlg, "pathEdit")->text(), dest);
    QCOMPARE(dlg.HistoryPath(), dest);
    QCOMPARE(Child<RoundEdit>(&dlg, "roundEdit")->text(), QStringLiteral("4"));  // its newest + 1
    // The history written is code page 932, so the window now reads it so.
    QCOMPARE(dlg.Encoding(), TextEncoding::kCp932);
    QVERIFY(Child<QAction>(&dlg, "encoding_cp932")->isChecked());
    QCOMPARE(
        Q(ReadBytes(dest.toStdString())),
        Q(Utf8ToCp932("回別,抽せん日,曜日,当せん番号\n第1回,2018/6/12,火," + pad.toStdString() +
                      "072\n第3回,2018/6/14,木," + pad.toStdString() + "005\n")));
  }

  // Columns the header does not name are chosen by hand; a line that fails and a destination
  // that cannot be written are reported in the window's words, the converter's reasons in the
  // details; an existing destination is replaced only when the user says so; a picture has no
  // columns at all.
  void columnsByHandAndTheReasons() {
    const TempDir dir;
    const std::string source =
        WriteHistoryFile(dir, {"a,b,c", "1,2018/6/12,123", "2,2018/2/30,124"}, "raw.csv");
    ImportDialog import(Q(source));
    auto* convert = Child<QPushButton>(&import, "convertButton");
    const auto* status = Child<QLabel>(&import, "statusLabel");
    auto* round = Child<QComboBox>(&import, "roundColumn");
    QCOMPARE(round->count(), 3);
    QCOMPARE(round->currentIndex(), -1);
    QVERIFY(!convert->isEnabled());
    QCOMPARE(status->text(), QStringLiteral("見出しに回別・抽せん日・当せん番号の列の名前が見つか"
                                            "りません。それぞれの列を選んでください。"));
    QCOMPARE(Reason(import),
             Q(source + ":1: 見出しに 回別、抽せん日、当せん番号 の列がありません (見出しの項目: "
                        "\"a\", \"b\", \"c\")"));

    round->setCurrentIndex(0);
    Child<QComboBox>(&import, "dateColumn")->setCurrentIndex(1);
    Child<QComboBox>(&import, "numberColumn")->setCurrentIndex(2);
    QVERIFY(!convert->isEnabled());
    QCOMPARE(status->text(), QStringLiteral("3 行目を変換できません。"));
    QCOMPARE(Reason(import), Q(source + ":3: 日付 \"2018/2/30\" は暦にない日です"));

    WriteHistoryFile(dir, {"a,b,c", "1,2018/6/12,123", "2,2018/6/13,124"}, "raw.csv");
    Child<QComboBox>(&import, "encodingCombo")->setCurrentIndex(1);  // read again, as UTF-8
    QVERIFY(convert->isEnabled());
    QCOMPARE(Child<QTableWidget>(&import, "previewTable")->rowCount(), 2);

    const std::string nowhere = dir.File("no-such-folder/out.csv");
    Child<QLineEdit>(&import, "destEdit")->setText(Q(nowhere));
    BoxRecorder boxes;
    QTest::mouseClick(convert, Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t{1});
    QCOMPARE(boxes.Boxes()[0].text, QStringLiteral("インポートに失敗しました。"));
    QCOMPARE(boxes.Boxes()[0].detail,
             Q(nowhere + ": cannot create a file in its folder: No such file or directory"));
    QCOMPARE(import.result(), 0);
    QVERIFY(import.WrittenPath().isEmpty());

    const std::string existing = dir.File("kept.csv");
    WriteBytes(existing, "old");
    Child<QLineEdit>(&import, "destEdit")->setText(Q(existing));
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
      const BoxRecorder asked(answer);
      QTest::mouseClick(convert, Qt::LeftButton);
      QCOMPARE(asked.Boxes().size(), size_t{1});
      QCOMPARE(asked.Boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No);
      QCOMPARE(ReadBytes(existing) == "old", answer == QMessageBox::No);
      QCOMPARE(import.WrittenPath().isEmpty(), answer == QMessageBox::No);
    }

    // A file that is no results file (a picture) offers no columns and says why.
    const std::string picture = dir.File("chart.png");
    WriteBytes(picture, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    ImportDialog other(Q(picture));
    QCOMPARE(Child<QLabel>(&other, "statusLabel")->text(),
             QStringLiteral("見出しに回別・抽せん日・当せん番号の列の名前が見つかりません。"
                            "結果ファイルではないようです。"));
    QVERIFY(!Child<QComboBox>(&other, "roundColumn")->isEnabled());
    QVERIFY(!Child<QPushButton>(&other, "convertButton")->isEnabled());
  }

  // ﾌｧｲﾙ → 当選番号の追加: the next round on the next draw day (past the year's end), the line
  // shown as typed, refusals in the command line's words, the line appended byte for byte, and the
  // round after it to predict.
  void addDrawFromTheFileMenu() {
    const TempDir dir;
    const std::string history = WriteHistoryFile(dir, YearEndHistory());
    const std::string before = ReadBytes(history);
    struct Step {
      int round;
      QDate date;  // null: left as it is
      const char* number;
      const char* status;
      const char* reason;  // after the path
      bool addable;
    };
    const Step steps[] = {
        {3, {}, "１２３", "第3回 は既にあります。", ":3: 第3回 はすでにあります", false},
        {2,
         {},
         "123",
         "第2回 は最も大きい回 第3回 の後ではありません。",
         ":3: 第2回 は最も大きい回 第3回 の後ではありません",
         false},
        {4, {}, "12", "当せん番号を 3 桁の数字で入力してください。", "", false},
        {6,
         {},
         "123",
         "第4回〜第5回 がありません。抽せん日を入力してください。",
         ": 第6回 の前の 第4回〜第5回 がありません",
         false},
        {6,
         {2020, 1, 8},
         "123",
         "第4回〜第5回 がありません。欠番のまま追加します。",
         ": 第6回 の前の 第4回〜第5回 がありません",
         true},
        {4,
         {2019, 12, 30},
         "123",
         "抽せん日が最新の回の日付 2019/12/30 より後ではありません。",
         ":3: 日付 2019/12/30 は最も新しい抽せん日 2019/12/30 より後ではありません",
         false},
        {4, {2020, 1, 6}, "１２３", "", "", true},
    };
    MainWindow dlg;
    Child<QLineEdit>(&dlg, "pathEdit")->setText(Q(history));
    QStringList seen;  // each step's status, reason and whether 追加 is on; then the line
    const ModalAnswer answer([&](QDialog& modal) {
      auto* spin = Child<QSpinBox>(&modal, "roundSpin");
      auto* date = Child<QDateEdit>(&modal, "dateEdit");
      auto* add = Child<QPushButton>(&modal, "addButton");
      seen << QStringLiteral("%1 %2 %3 %4")
                  .arg(spin->value())
                  .arg(date->date().toString(Qt::ISODate))
                  .arg(add->isEnabled())
                  .arg(modal.focusWidget() != nullptr ? modal.focusWidget()->objectName()
                                                      : QString());
      for (const Step& step : steps) {
        spin->setValue(step.round);
        if (!step.date.isNull()) {
          date->setDate(step.date);
        }
        Child<QLineEdit>(&modal, "numberEdit")->setText(QString::fromUtf8(step.number));
        seen << Child<QLabel>(&modal, "statusLabel")->text() + QLatin1Char('|') +
                    (*step.reason != 0 ? Reason(modal) : QString()) + QLatin1Char('|') +
                    QString::number(add->isEnabled());
      }
      // Any date is taken; one that is no draw day is pointed out beside it.
      QStringList notes;
      for (const QDate day : {QDate(2020, 1, 4), QDate(2020, 1, 3), QDate(2020, 1, 6)}) {
        date->setDate(day);
        notes << Child<QLabel>(&modal, "dateNote")->text() + QString::number(add->isEnabled());
      }
      seen << notes.join(QLatin1Char('|'));
      seen << Child<QLabel>(&modal, "previewLabel")->text();
      add->click();
      return modal.result();
    });
    Child<QAction>(&dlg, "addDrawAction")->trigger();
    QCOMPARE(answer.Count(), 1);
    QStringList want = {QStringLiteral("4 2020-01-06 0 numberEdit")};
    for (const Step& step : steps) {
      want << QString::fromUtf8(step.status) + QLatin1Char('|') +
                  (*step.reason != 0 ? Q(history + step.reason) : QString()) + QLatin1Char('|') +
                  QString::number(step.addable);
    }
    const QString notDrawn = QStringLiteral("抽せん日ではありません (土日・12/31〜1/3)");
    want << notDrawn + QStringLiteral("1|") + notDrawn + QStringLiteral("1|1");
    want << QStringLiteral("第4回,2020/1/6,月,123");
    QCOMPARE(seen, want);
    QCOMPARE(Q(ReadBytes(history)), Q(before + Utf8ToCp932("第4回,2020/1/6,月,123\n")));
    QCOMPARE(Child<RoundEdit>(&dlg, "roundEdit")->text(), QStringLiteral("5"));
    QCOMPARE(Child<QLabel>(&dlg, "resultLabel")->text(),
             QStringLiteral("第4回 2020/1/6 123 を追加しました"));
  }

  // ﾌｧｲﾙ → 結果ファイルで更新: the counts, a round held differently keeping 更新 off with both
  // lines named, the merge written (or a new history, as an import writes it), and the round after
  // the new highest to predict.
  void updateFromAResultsFile() {
    const TempDir dir;
    const std::string history = WriteHistoryFile(dir, YearEndHistory());
    const std::string before = ReadBytes(history);
    const std::string merged = before + Utf8ToCp932("第4回,2020/1/6,月,444\n");
    struct Case {
      const char* number3;  // of round 3 in the results file
      std::string into;
      const char* status;
      const char* reason;
      std::string written;  // the history's bytes after
      const char* round;    // the round edit's after
      const char* said;     // in the result area after
    };
    const Case cases[] = {
        {"334", history, "第3回 が結果ファイルと履歴ファイルで違います。更新できません。",
         ":2: HISTORY:3 同じ回の別の当せん番号があります (第3回 は履歴では 2019/12/30 333、"
         "こちらでは 2019/12/30 334)",
         before, "1", " "},
        {"333", history, "1 回分を追加します (第4回)。1 回分は既にあります。欠番 1。", "", merged,
         "5", "第4回 2020/1/6 444 まで更新しました"},
        {"333", dir.File("new.csv"),
         "2 回分を追加します (第3回〜第4回)。0 回分は既にあります。欠番 "
         "0。履歴ファイルは新しく作ります。",
         "",
         Utf8ToCp932(
             "回別,抽せん日,曜日,当せん番号\n第3回,2019/12/30,月,333\n第4回,2020/1/6,月,444\n"),
         "5", "第4回 2020/1/6 444 まで更新しました"},
    };
    for (const Case& c : cases) {
      const std::string source =
          WriteHistoryFile(dir,
                           {"開催回,日付,当せん番号", std::string("第3回,2019/12/30,") + c.number3,
                            "第4回,2020/1/6,444"},
                           "結果.csv");
      MainWindow dlg;
      Child<QAction>(&dlg, "encoding_utf-8")->trigger();  // the merge reads code page 932 anyway
      Child<QLineEdit>(&dlg, "pathEdit")->setText(Q(c.into));
      const FileAnswer chooser(Q(source));
      QString status, reason;
      bool updatable = false;
      const ModalAnswer answer([&](QDialog& modal) {
        status = Child<QLabel>(&modal, "statusLabel")->text();
        reason = *c.reason != 0 ? Reason(modal) : QString();
        auto* update = Child<QPushButton>(&modal, "updateButton");
        updatable = update->isEnabled();
        update->click();
        return modal.result();
      });
      Child<QAction>(&dlg, "updateHistoryAction")->trigger();
      QCOMPARE(status, QString::fromUtf8(c.status));
      QCOMPARE(reason, *c.reason != 0
                           ? Q(source + c.reason).replace(QStringLiteral("HISTORY"), Q(history))
                           : QString());
      QCOMPARE(updatable, *c.reason == 0);
      QCOMPARE(Q(ReadBytes(c.into)), Q(c.written));
      QCOMPARE(Child<RoundEdit>(&dlg, "roundEdit")->text(), QString::fromLatin1(c.round));
      QCOMPARE(Child<QLabel>(&dlg, "resultLabel")->text(), QString::fromUtf8(c.said));
      QCOMPARE(dlg.Encoding(), *c.reason == 0 ? TextEncoding::kCp932 : TextEncoding::kUtf8);
    }
  }
};

}  // namespace

std::unique_ptr<QObject> MakeImportDialogTest() { return std::make_unique<ImportDialogTest>(); }

}  // namespace tolvane::test

#include "import_dialog_test.moc"
