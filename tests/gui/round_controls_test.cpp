#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/gui/main_window.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "gui_test_support.h"

namespace tolvane::test {
namespace {

// The round edit and its spin as the main dialog wires them.
class RoundControlsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> dlg_;

  RoundEdit* Edit() { return Child<RoundEdit>(dlg_.get(), "roundEdit"); }
  RoundSpin* Spin() { return Child<RoundSpin>(dlg_.get(), "roundSpin"); }

  void Click(const char* arrow) {
    QTest::mouseClick(Child<QToolButton>(Spin(), arrow), Qt::LeftButton);
  }

 private slots:
  void init() {
    dlg_ = std::make_unique<MainWindow>();
    dlg_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg_.get()));
    Edit()->setFocus();
  }
  void cleanup() { dlg_.reset(); }

  void userInputKeepsDigitsUpToFour_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("letters pasted") << ""
                                    << "12ab3"
                                    << ""
                                    << "123";
    QTest::newRow("grouping pasted") << ""
                                     << "1,234"
                                     << ""
                                     << "1234";
    QTest::newRow("full-width and signs pasted") << ""
                                                 << "-５7+8"
                                                 << ""
                                                 << "78";
    QTest::newRow("only letters pasted") << ""
                                         << "abc"
                                         << ""
                                         << "";
    QTest::newRow("paste cut to the room left") << "12"
                                                << "3456"
                                                << ""
                                                << "1234";
    QTest::newRow("typing stops at four") << ""
                                          << ""
                                          << "123456"
                                          << "1234";
    QTest::newRow("typed letters dropped") << ""
                                           << ""
                                           << "1a2b"
                                           << "12";
    QTest::newRow("typing after a long program text") << "123456"
                                                      << ""
                                                      << "7"
                                                      << "123456";
  }
  void userInputKeepsDigitsUpToFour() {
    QFETCH(QString, start);
    QFETCH(QString, pasted);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Edit()->WriteText(start);
    Edit()->end(false);
    if (!pasted.isEmpty()) {
      QApplication::clipboard()->setText(pasted);
      QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier);
    }
    QTest::keyClicks(Edit(), typed);
    QCOMPARE(Edit()->text(), expected);
  }

  // Typed or pasted text lands where the caret or selection was, and the caret stays right
  // after it, so the next key goes where the user expects.
  void inputLandsAtTheCaretInOrder() {
    struct Case {
      const char* start;
      const char* typed;
      const char* pasted;
      const char* text;
      int from;  // selection start, or the caret when `length` is 0
      int length;
      int caret;
    };
    const Case cases[] = {
        {"6501", "1000", "", "1000", 0, 4, 4}, {"1234", "48", "", "48", 0, 4, 2},
        {"12", "29", "", "29", 0, 2, 2},       {"123", "39", "", "139", 1, 2, 3},
        {"23", "1", "", "123", 0, 0, 1},       {"12", "3", "", "123", 2, 0, 3},
        {"123", "a9", "", "1923", 1, 0, 2},    {"6501", "", "1,0a0", "100", 0, 4, 3},
        {"19", "", "x2y", "129", 1, 0, 2},
    };
    for (const Case& c : cases) {
      Edit()->WriteText(QString::fromLatin1(c.start));
      Edit()->setSelection(c.from, c.length);
      if (*c.pasted != '\0') {
        QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier);
      }
      QTest::keyClicks(Edit(), QString::fromLatin1(c.typed));
      // Start and input name the case in a failure.
      const auto shown = [&c](const QString& text, int caret) {
        return QStringLiteral("%1+%2%3: %4|%5")
            .arg(QLatin1String(c.start), QLatin1String(c.typed), QLatin1String(c.pasted), text)
            .arg(caret);
      };
      QCOMPARE(shown(Edit()->text(), Edit()->cursorPosition()),
               shown(QLatin1String(c.text), c.caret));
    }
  }

  void deletingFromALongTextIsAllowed() {
    Edit()->WriteText(QStringLiteral("123456"));
    Edit()->end(false);
    QTest::keyClick(Edit(), Qt::Key_Backspace);
    QCOMPARE(Edit()->text(), QStringLiteral("12345"));
  }

  void programTextIsReducedToDigitsButNotLimited() {
    Edit()->WriteText(QStringLiteral("12,345a6"));
    QCOMPARE(Edit()->text(), QStringLiteral("123456"));
    Edit()->WriteText(QStringLiteral("x"));
    QCOMPARE(Edit()->text(), QString());
  }

  void spinStepsThroughTheMiddle() {
    Click("up");
    QCOMPARE(Edit()->text(), QStringLiteral("2"));
    QCOMPARE(Spin()->Pos(), 2);
    // The spin writes 1,000 with grouping; the edit keeps the digits.
    Edit()->WriteText(QStringLiteral("999"));
    Click("up");
    QCOMPARE(Edit()->text(), QStringLiteral("1000"));
    QCOMPARE(Spin()->Pos(), 1000);
    QTest::keyClick(Edit(), Qt::Key_Down);
    QCOMPARE(Edit()->text(), QStringLiteral("999"));
    QTest::keyClick(Edit(), Qt::Key_Up);
    QTest::keyClick(Edit(), Qt::Key_Up);
    QCOMPARE(Edit()->text(), QStringLiteral("1001"));
  }

  void spinAtItsEndsWritesPastThem() {
    QCOMPARE(Edit()->text(), QStringLiteral("1"));
    Click("down");
    QCOMPARE(Edit()->text(), QStringLiteral("0"));
    QCOMPARE(Spin()->Pos(), 1);
    // "0" lies outside the range, so the next step starts from the last position again.
    Click("up");
    QCOMPARE(Edit()->text(), QStringLiteral("2"));

    Spin()->SetPos(9999);
    QCOMPARE(Edit()->text(), QStringLiteral("9999"));
    Click("up");
    QCOMPARE(Edit()->text(), QStringLiteral("10000"));
    QCOMPARE(Spin()->Pos(), 9999);
    Click("down");
    QCOMPARE(Edit()->text(), QStringLiteral("9998"));
  }

  void spinTakesUpTypedNumbers() {
    Edit()->selectAll();
    QTest::keyClicks(Edit(), QStringLiteral("42"));
    QCOMPARE(Spin()->Pos(), 1);  // typing alone does not move it
    dlg_->SyncRoundSpin();
    QCOMPARE(Spin()->Pos(), 42);
    Edit()->clear();
    dlg_->SyncRoundSpin();  // nothing to take up: the position stays
    QCOMPARE(Spin()->Pos(), 42);
    Click("up");
    QCOMPARE(Edit()->text(), QStringLiteral("43"));
  }

  void groupedNumbers_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("small") << 7 << "7";
    QTest::newRow("three digits") << 999 << "999";
    QTest::newRow("four digits") << 1000 << "1,000";
    QTest::newRow("seven digits") << 1234567 << "1,234,567";
    QTest::newRow("negative") << -12345 << "-12,345";
    QTest::newRow("lowest") << std::numeric_limits<int>::min() << "-2,147,483,648";
  }
  void groupedNumbers() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(GroupedNumber(value), text);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeRoundControlsTest() { return std::make_unique<RoundControlsTest>(); }

}  // namespace tolvane::test

#include "round_controls_test.moc"
