#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <optional>
#include <string>

#include "app/gui/import_dialog.h"
#include "app/gui/main_window.h"
#include "gui_test_support.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// The converter's reason behind the status line, as 詳細 shows it.
QString Reason(ImportDialog& import) {
  const BoxRecorder boxes;
  Child<QPushButton>(&import, "detailsButton")->click();
  return boxes.Boxes().size() == 1 ? boxes.Boxes()[0].detail : QString();
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
        dir, {"開催回,日付,当せん番号", "第3回,2018年6月14日,5", "第1回,2018-06-12,72"},
        "結果.csv");
    MainWindow dlg;
    Child<QAction>(&dlg, "encoding_utf-8")->trigger();
    Child<QAction>(&dlg, pad.isEmpty() ? "game_numbers3" : "game_numbers4")->trigger();
    const FileAnswer chooser(Q(source));
    struct Seen {
      int round = -1, date = -1, number = -1, rows = -1;
      QString first, status, dest;
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
                  Child<QLineEdit>(import, "destEdit")->text()};
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
        QStringLiteral("2 回分を変換します (第1回〜第3回、欠番 1、重複行 0、元の並び: 新しい順)"));
    const QString dest = Q(dir.File("結果-tolvane.csv"));
    QCOMPARE(seen->dest, dest);
    QCOMPARE(Child<QLineEdit>(&dlg, "pathEdit")->text(), dest);
    QCOMPARE(dlg.HistoryPath(), dest);
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
             Q(source + ":1: the header names no column for the round, the date or the winning "
                        "number (its fields: \"a\", \"b\", \"c\")"));

    round->setCurrentIndex(0);
    Child<QComboBox>(&import, "dateColumn")->setCurrentIndex(1);
    Child<QComboBox>(&import, "numberColumn")->setCurrentIndex(2);
    QVERIFY(!convert->isEnabled());
    QCOMPARE(status->text(), QStringLiteral("3 行目を変換できません。"));
    QCOMPARE(Reason(import), Q(source + ":3: date \"2018/2/30\" is not a day of the calendar"));

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
};

}  // namespace

std::unique_ptr<QObject> MakeImportDialogTest() { return std::make_unique<ImportDialogTest>(); }

}  // namespace tolvane::test

#include "import_dialog_test.moc"
