#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTest>
#include <memory>

#include "app/gui/application.h"
#include "app/gui/main_window.h"
#include "app/gui/single_instance.h"
#include "gui_test_support.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

using Outcome = SingleInstanceLock::Outcome;

// Start-up and the single-instance guard, in a private runtime folder.
class AppTest : public QObject {
  Q_OBJECT

 private:
  TempDir runtime_;

  QString LockPath() const { return QString::fromStdString(runtime_.File("SkelmorAppMutex")); }

 private slots:
  void initTestCase() { qputenv("XDG_RUNTIME_DIR", QByteArray(runtime_.path().c_str())); }

  void secondCopyWarnsAndShowsNoWindow() {
    SingleInstanceLock first(QStringLiteral("SkelmorAppMutex"));
    QCOMPARE(first.TryAcquire(), Outcome::kAcquired);
    QCOMPARE(first.FilePath(), LockPath());

    BoxRecorder boxes;
    Application second;
    QCOMPARE(second.InitInstance(), false);
    QCOMPARE(boxes.Boxes().size(), size_t{1});
    QCOMPARE(boxes.Boxes()[0].text, QStringLiteral("このアプリケーションは既に起動しています。"));
    QCOMPARE(boxes.Boxes()[0].caption, QStringLiteral("二重起動防止"));
    QCOMPARE(boxes.Boxes()[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes.Boxes()[0].owner, nullptr);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      QVERIFY(!widget->isVisible());
    }
    QCOMPARE(second.ExitInstance(), 0);

    // The second copy's end leaves the first copy's lock alone.
    SingleInstanceLock third(QStringLiteral("SkelmorAppMutex"));
    QCOMPARE(third.TryAcquire(), Outcome::kHeldElsewhere);
  }

  void runHoldsTheLockUntilExit() {
    BoxRecorder boxes;
    Application app;
    bool checked = false;
    const ModalAnswer answer([&checked](QDialog& modal) {
      auto* dialog = qobject_cast<MainWindow*>(&modal);
      if (dialog == nullptr) {
        return int(QDialog::Rejected);
      }
      SingleInstanceLock other(QStringLiteral("SkelmorAppMutex"));
      checked = dialog->windowTitle() == QStringLiteral("Tolvane") &&
                other.TryAcquire() == Outcome::kHeldElsewhere;
      return int(QDialog::Rejected);
    });
    QCOMPARE(app.InitInstance(), false);
    QVERIFY(checked);
    QVERIFY(boxes.Boxes().empty());
    QCOMPARE(app.ExitInstance(), 0);

    SingleInstanceLock next(QStringLiteral("SkelmorAppMutex"));
    QCOMPARE(next.TryAcquire(), Outcome::kAcquired);
  }

  void leftBehindLockDoesNotBlock() {
    // What a copy that died while writing its lock leaves: a lock file nobody holds.
    QFile file(LockPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("garbage");
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                             QFileDevice::FileModificationTime));
    file.close();
    SingleInstanceLock next(QStringLiteral("SkelmorAppMutex"));
    QCOMPARE(next.TryAcquire(), Outcome::kAcquired);
  }

  void oldLockOfALiveHolderStillBlocks() {
    SingleInstanceLock holder(QStringLiteral("SkelmorAppMutex"));
    QCOMPARE(holder.TryAcquire(), Outcome::kAcquired);
    QFile file(LockPath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
    file.close();
    SingleInstanceLock other(QStringLiteral("SkelmorAppMutex"));
    QCOMPARE(other.TryAcquire(), Outcome::kHeldElsewhere);
    holder.Release();
    QCOMPARE(other.TryAcquire(), Outcome::kAcquired);
  }

  void noRuntimeFolderMeansUnguarded() {
    SingleInstanceLock lock(QStringLiteral("SkelmorAppMutex"),
                            QString::fromStdString(runtime_.File("no/such/folder")));
    QCOMPARE(lock.TryAcquire(), Outcome::kUnavailable);
    lock.Release();  // nothing held, nothing done
  }
};

}  // namespace

std::unique_ptr<QObject> MakeAppTest() { return std::make_unique<AppTest>(); }

}  // namespace tolvane::test

#include "app_test.moc"
