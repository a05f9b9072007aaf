#include "gui_test_support.h"

#include <QApplication>
#include <QFile>
#include <utility>

namespace tolvane::test {

BoxRecorder::BoxRecorder()
    : previous_(
          SetMessageBoxFunction([this](QWidget* owner, const QString& text, const QString& caption,
                                       QMessageBox::Icon icon, const QString& detail) {
            boxes_.push_back({owner, text, caption, icon, detail});
          })) {}

BoxRecorder::~BoxRecorder() { SetMessageBoxFunction(std::move(previous_)); }

ModalAnswer::ModalAnswer(ModalRunner answer)
    : previous_(SetModalRunner([this, answer = std::move(answer)](QDialog& dialog) {
        ++count_;
        return answer(dialog);
      })) {}

ModalAnswer::~ModalAnswer() { SetModalRunner(std::move(previous_)); }

FileAnswer::FileAnswer(std::optional<QString> answer)
    : answer_(std::move(answer)),
      previous_(SetFileChooser([this](QWidget* /*owner*/, const FileRequest& request) {
        requests_.push_back(request);
        return answer_;
      })) {}

FileAnswer::~FileAnswer() { SetFileChooser(std::move(previous_)); }

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
