#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/gui/message_box.h"

namespace tolvane::test {

struct ShownBox {
  QWidget* owner;
  QString text;
  QString caption;
  QMessageBox::Icon icon;
};

// Records every message box instead of showing it, for as long as it lives.
class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  const std::vector<ShownBox>& Boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  std::vector<ShownBox> boxes_;
  MessageBoxFunction previous_;
};

// Runs `check` on the next modal window once it is up; `check` ends that window.
// A guard closes every modal window after a few seconds, so a test can never hang on one.
void OnNextModal(std::function<void(QWidget* modal)> check);

// Writes `bytes` unchanged to a fresh file under `folder` and returns its path.
QString WriteFile(const QString& folder, const QString& name, const QByteArray& bytes);

// A code page 932 history of `draws` well-formed draw lines after a header.
QByteArray HistoryBytes(int draws);

}  // namespace tolvane::test
