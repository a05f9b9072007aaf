#include "gui_test_support.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <utility>

namespace tolvane::test {

BoxRecorder::BoxRecorder()
    : previous_(SetMessageBoxFunction([this](QWidget* owner, const QString& text,
                                             const QString& caption, QMessageBox::Icon icon) {
        boxes_.push_back({owner, text, caption, icon});
      })) {}

BoxRecorder::~BoxRecorder() { SetMessageBoxFunction(std::move(previous_)); }

void OnNextModal(std::function<void(QWidget* modal)> check) {
  auto* poll = new QTimer(qApp);
  auto* guard = new QTimer(qApp);
  poll->setInterval(10);
  guard->setSingleShot(true);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, guard, check = std::move(check)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      return;
    }
    poll->stop();
    guard->stop();
    check(modal);
    poll->deleteLater();
    guard->deleteLater();
  });
  QObject::connect(guard, &QTimer::timeout, guard, [poll, guard] {
    poll->stop();
    while (QWidget* modal = QApplication::activeModalWidget()) {
      modal->close();
    }
    poll->deleteLater();
    guard->deleteLater();
  });
  poll->start();
  guard->start(5000);
}

QString WriteFile(const QString& folder, const QString& name, const QByteArray& bytes) {
  QString path = folder + QLatin1Char('/') + name;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
  return path;
}

QByteArray HistoryBytes(int draws) {
  // "第" and "回" in code page 932, so the file reads as the loader expects it.
  const QByteArray dai("\x91\xe6");
  const QByteArray kai("\x89\xf1");
  QByteArray bytes("round,date,weekday,number\r\n");
  unsigned state = 12345;
  for (int i = 1; i <= draws; ++i) {
    state = state * 1103515245u + 12345u;
    const int number = static_cast<int>((state >> 8) % 1000);
    bytes += dai + QByteArray::number(i) + kai + ",2020/1/" + QByteArray::number(i % 28 + 1) +
             ",x," + QByteArray::number(number).rightJustified(3, '0') + "\r\n";
  }
  return bytes;
}

}  // namespace tolvane::test
