#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "app/gui/about_dlg.h"
#include "app/gui/dialog_font.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "app/gui/skelmor_dlg.h"
#include "gui_test_support.h"

using tolvane::CAboutDlg;
using tolvane::CSkelmorDlg;
using tolvane::DialogUnits;
using tolvane::test::BoxRecorder;
using tolvane::test::FileAnswer;
using tolvane::test::ModalAnswer;

class DialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CSkelmorDlg> dlg_;

  CSkelmorDlg& Shown() {
    dlg_ = std::make_unique<CSkelmorDlg>();
    dlg_->show();
    dlg_->activateWindow();
    if (!QTest::qWaitForWindowExposed(dlg_.get())) {
      qWarning("the dialog was never exposed");
    }
    return *dlg_;
  }

 private slots:
  void cleanup() { dlg_.reset(); }

  void startState() {
    CSkelmorDlg& dlg = Shown();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Tolvane"));
    QCOMPARE(dlg.RoundEditControl()->text(), QStringLiteral("1"));
    QCOMPARE(dlg.RoundSpinControl()->Pos(), 1);
    QCOMPARE(dlg.RoundSpinControl()->Lower(), 1);
    QCOMPARE(dlg.RoundSpinControl()->Upper(), 9999);
    QCOMPARE(dlg.PathEdit()->text(), QString());
    QVERIFY(dlg.FilterButton(0)->isChecked());
    QCOMPARE(dlg.FilterButton(0)->text(), QStringLiteral("LPF"));
    QCOMPARE(dlg.ResultLabel()->text(), QStringLiteral(" "));
    QCOMPARE(tolvane::EngineCode(dlg.Filter()), 0);
    QCOMPARE(tolvane::EngineCode(dlg.Frame()), 0);
    QVERIFY(dlg.FrameButton(0)->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(), dlg.RoundEditControl());
    QVERIFY(!dlg.ResultFont().has_value());
    QVERIFY(!dlg.windowIcon().isNull());
  }

  void controlsSitWhereTheUnitsPutThem() {
    CSkelmorDlg& dlg = Shown();
    const DialogUnits units(dlg.font());
    QVERIFY(units.AverageCharWidth() > 0 && units.CharHeight() > 0);
    struct Place {
      const char* id;
      QRect rect;
      bool visible;
    };
    const Place places[] = {
        {"1005", units.Rect(14, 30, 58, 14), true},    {"1000", units.Rect(88, 30, 67, 14), true},
        {"1001", units.Rect(156, 30, 50, 14), true},   {"1016", units.Rect(236, 66, 29, 10), true},
        {"1018", units.Rect(266, 66, 30, 10), true},   {"1020", units.Rect(299, 66, 36, 10), true},
        {"1003", units.Rect(15, 63, 50, 14), true},    {"1011", units.Rect(150, 80, 67, 14), false},
        {"1006", units.Rect(247, 19, 52, 10), false},  {"1009", units.Rect(245, 32, 67, 10), false},
        {"1014", units.Rect(99, 103, 421, 199), true}, {"1023", units.Rect(71, 29, 9, 16), true},
    };
    for (const Place& place : places) {
      auto* widget = dlg.ClientArea()->findChild<QWidget*>(QString::fromLatin1(place.id));
      QVERIFY2(widget != nullptr, place.id);
      QCOMPARE(widget->geometry(), place.rect);
      QCOMPARE(widget->isVisible(), place.visible);
    }
    QCOMPARE(dlg.LogoLabel()->size(), QSize(100, 100));
    QCOMPARE(dlg.LogoLabel()->pos(), units.Rect(476, 8, 8, 9).topLeft());
    QCOMPARE(dlg.ClientArea()->size(), QSize(units.X(537), units.Y(329)));
    QCOMPARE(dlg.ClientArea()->y(), dlg.MenuBar()->height());

    // A bigger window stretches nothing and moves nothing.
    const QRect resultBefore = dlg.ResultLabel()->geometry();
    dlg.resize(dlg.width() + 200, dlg.height() + 150);
    QTRY_COMPARE(dlg.ClientArea()->width(), units.X(537) + 200);
    QCOMPARE(dlg.ResultLabel()->geometry(), resultBefore);
    QCOMPARE(dlg.MenuBar()->width(), dlg.width());
  }

  void tabOrderFollowsTheResource() {
    CSkelmorDlg& dlg = Shown();
    QTRY_COMPARE(QApplication::focusWidget(), dlg.RoundEditControl());
    const QWidget* expected[] = {dlg.PathEdit(), dlg.BrowseButton(), dlg.FilterButton(0),
                                 dlg.PredictButton(), dlg.RoundEditControl()};
    for (const QWidget* next : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), next);
    }
  }

  void radioMembersOnClickAndOnSave() {
    CSkelmorDlg& dlg = Shown();
    for (int position : {2, 1, 0}) {
      QTest::mouseClick(dlg.FilterButton(position), Qt::LeftButton);
      QCOMPARE(tolvane::EngineCode(dlg.Filter()), position);
      dlg.DoDataExchange(true);
      QCOMPARE(tolvane::EngineCode(dlg.Filter()), position);
    }
    // The hidden frame-mode group, once shown, gives 0, 1, 2 and -1.
    const int codes[] = {0, 1, 2, -1};
    for (int position : {3, 2, 1, 0}) {
      dlg.FrameButton(position)->show();
    }
    for (int position : {1, 3, 2, 0, 3}) {
      QTest::mouseClick(dlg.FrameButton(position), Qt::LeftButton);
      QCOMPARE(tolvane::EngineCode(dlg.Frame()), codes[position]);
      dlg.DoDataExchange(true);
      QCOMPARE(tolvane::EngineCode(dlg.Frame()), codes[position]);
    }
    // Loading -1 leaves no frame button selected, and saving none gives -1 again.
    dlg.DoDataExchange(false);
    for (int position = 0; position < 4; ++position) {
      QVERIFY(!dlg.FrameButton(position)->isChecked());
    }
    dlg.DoDataExchange(true);
    QCOMPARE(tolvane::EngineCode(dlg.Frame()), -1);
  }

  void enterSavesAndEndsTheDialog() {
    CSkelmorDlg& dlg = Shown();
    QTest::keyClicks(dlg.PathEdit(), QStringLiteral("/tmp/history.csv"));
    QTest::mouseClick(dlg.FilterButton(2), Qt::LeftButton);
    dlg.PathEdit()->setFocus();
    QTest::keyClick(dlg.PathEdit(), Qt::Key_Return);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.FilePath(), QStringLiteral("/tmp/history.csv"));
    QCOMPARE(tolvane::EngineCode(dlg.Filter()), 2);
  }

  void enterInTheRoundEditEndsTheDialogToo() {
    CSkelmorDlg& dlg = Shown();
    QTest::keyClick(dlg.RoundEditControl(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
  }

  void escapeAndCloseEndWithoutSaving() {
    {
      CSkelmorDlg& dlg = Shown();
      QTest::keyClicks(dlg.PathEdit(), QStringLiteral("unsaved"));
      QTest::keyClick(dlg.PathEdit(), Qt::Key_Escape);
      QCOMPARE(dlg.result(), int(QDialog::Rejected));
      QVERIFY(!dlg.isVisible());
      QCOMPARE(dlg.FilePath(), QString());
    }
    {
      CSkelmorDlg& dlg = Shown();
      dlg.close();
      QCOMPARE(dlg.result(), int(QDialog::Rejected));
      QVERIFY(!dlg.isVisible());
    }
    {
      CSkelmorDlg& dlg = Shown();
      dlg.ExitAction()->trigger();
      QCOMPARE(dlg.result(), 0);
      QVERIFY(!dlg.isVisible());
    }
  }

  void enterOnThePredictButtonPredicts() {
    BoxRecorder boxes;
    CSkelmorDlg& dlg = Shown();
    dlg.PredictButton()->setFocus();
    QTest::keyClick(dlg.PredictButton(), Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    QCOMPARE(boxes.Boxes().size(), size_t{2});
    QCOMPARE(boxes.Boxes()[0].text, QStringLiteral("NUMBERS3 予想開始します"));
  }

  void aboutOpensFromTheHelpMenu() {
    CSkelmorDlg& dlg = Shown();
    struct Seen {
      QString title, version, notice;
      bool okIsDefault = false;
      bool hasIcon = false;
    };
    std::optional<Seen> seen;
    const ModalAnswer answer([&seen](QDialog& modal) {
      if (auto* about = qobject_cast<CAboutDlg*>(&modal)) {
        auto* icon = about->findChild<QLabel*>(QStringLiteral("icon"));
        seen =
            Seen{about->windowTitle(), about->VersionLabel()->text(), about->NoticeLabel()->text(),
                 about->OkButton()->isDefault(), icon != nullptr && !icon->pixmap().isNull()};
      }
      return int(QDialog::Accepted);
    });
    dlg.AboutAction()->trigger();
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
    CAboutDlg about;
    about.show();
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
  }

  void browseFillsThePathAndCancelKeepsIt() {
    const QString path = QStringLiteral("/chosen/draws.csv");
    CSkelmorDlg& dlg = Shown();
    {
      const FileAnswer chooser(path);
      dlg.OnBrowse();
      QCOMPARE(chooser.Requests().size(), size_t{1});
      QCOMPARE(chooser.Requests()[0].mode, tolvane::FileRequest::Mode::Open);
      QCOMPARE(chooser.Requests()[0].nameFilters,
               QStringList{QStringLiteral("すべてのファイル(*.*) (*)")});
    }
    QCOMPARE(dlg.PathEdit()->text(), path);
    QCOMPARE(dlg.FilePath(), path);

    const FileAnswer cancelled(std::nullopt);
    dlg.OpenAction()->trigger();
    QCOMPARE(cancelled.Requests().size(), size_t{1});
    QCOMPARE(dlg.PathEdit()->text(), path);
  }

  void wholePredictionThroughTheDialog() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString history = tolvane::test::WriteFile(dir.path(), QStringLiteral("履歴.csv"),
                                                     tolvane::test::HistoryBytes(15 * 70));
    BoxRecorder boxes;
    CSkelmorDlg& dlg = Shown();
    const QFont before = dlg.ResultLabel()->font();
    dlg.PathEdit()->setText(history);  // typed keys would have to be Latin-1
    dlg.RoundEditControl()->selectAll();
    QTest::keyClicks(dlg.RoundEditControl(), QStringLiteral("123"));
    QTest::mouseClick(dlg.FilterButton(2), Qt::LeftButton);
    QTest::mouseClick(dlg.PredictButton(), Qt::LeftButton);

    QCOMPARE(boxes.Boxes().size(), size_t{1});
    const tolvane::test::ShownBox& start = boxes.Boxes()[0];
    QCOMPARE(start.text, QStringLiteral("NUMBERS3 予想開始します"));
    QCOMPARE(start.caption, QCoreApplication::applicationName());
    QCOMPARE(start.icon, QMessageBox::NoIcon);
    QCOMPARE(start.owner, &dlg);

    const QString result = dlg.ResultLabel()->text();
    QVERIFY2(result.startsWith(QStringLiteral("予測回号: 第123回\n\n予想数字\n\n百の位：\n")),
             qPrintable(result));
    QCOMPARE(result.count(QStringLiteral("パワースペクトル予想: ")), 3);
    QVERIFY(result.contains(QStringLiteral("\n\n十の位：\n")));
    QVERIFY(result.contains(QStringLiteral("\n\n一の位：\n")));

    QCOMPARE(dlg.ResultLabel()->font().pixelSize(), 24);
    QCOMPARE(dlg.ResultLabel()->font().family(), before.family());
    QCOMPARE(dlg.ResultLabel()->font().weight(), before.weight());
    QVERIFY(dlg.ResultFont().has_value());
    QCOMPARE(dlg.ResultFont()->pixelSize(), 24);
    QCOMPARE(tolvane::EngineCode(dlg.Filter()), 2);

    // The low-pass branch through the same dialog also fills all three places.
    boxes.Clear();
    QTest::mouseClick(dlg.FilterButton(0), Qt::LeftButton);
    QTest::mouseClick(dlg.PredictButton(), Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t{1});
    QVERIFY(dlg.ResultLabel()->text().startsWith(QStringLiteral("予測回号: 第123回")));
    QCOMPARE(dlg.ResultLabel()->font().pixelSize(), 24);
  }

  void failedPredictionsClearTheResultAndKeepTheFont() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString history = tolvane::test::WriteFile(dir.path(), QStringLiteral("h.csv"),
                                                     tolvane::test::HistoryBytes(15 * 40));
    BoxRecorder boxes;
    CSkelmorDlg& dlg = Shown();
    dlg.PathEdit()->setText(history);
    QTest::mouseClick(dlg.PredictButton(), Qt::LeftButton);
    QVERIFY(dlg.ResultLabel()->text().startsWith(QStringLiteral("予測回号: ")));

    struct Case {
      QString path;
      QString message;
      QString caption;
    };
    const Case cases[] = {
        {QString(), QStringLiteral("ファイルパスが入力されていません。"), QStringLiteral("エラー")},
        {dir.path() + QStringLiteral("/missing.csv"),
         QStringLiteral("有効なファイルパスを入力してください。"), QStringLiteral("エラー")},
        // A folder exists, so the loader is asked and fails.
        {dir.path(),
         QStringLiteral("エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。"),
         QCoreApplication::applicationName()},
    };
    for (const Case& c : cases) {
      boxes.Clear();
      dlg.PathEdit()->setText(c.path);
      QTest::mouseClick(dlg.PredictButton(), Qt::LeftButton);
      QCOMPARE(boxes.Boxes().size(), size_t{2});
      QCOMPARE(boxes.Boxes()[1].text, c.message);
      QCOMPARE(boxes.Boxes()[1].caption, c.caption);
      QCOMPARE(boxes.Boxes()[1].icon, QMessageBox::Critical);
      QCOMPARE(boxes.Boxes()[1].owner, &dlg);
      QCOMPARE(dlg.ResultLabel()->text(), QString());
      QCOMPARE(dlg.ResultLabel()->font().pixelSize(), 24);
    }
  }
};

std::unique_ptr<QObject> tolvane::test::MakeDialogTest() { return std::make_unique<DialogTest>(); }

#include "dialog_test.moc"
