#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/gui/message_box.h"
#include "app/gui/modal.h"

namespace tolvane::test {

struct ShownBox {
  QWidget* owner;
  QString text;
  QString caption;
  QMessageBox::Icon icon;
  QString detail;
  QMessageBox::StandardButtons buttons;
};

// Records every message box instead of showing it, for as long as it lives. A question is
// answered with `answer` when it offers that button; every other box with OK.
class BoxRecorder {
 public:
  explicit BoxRecorder(QMessageBox::StandardButton answer = QMessageBox::No);
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  const std::vector<ShownBox>& Boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  std::vector<ShownBox> boxes_;
  QMessageBox::StandardButton answer_;
  MessageBoxFunction previous_;
};

// Answers every modal dialog with `answer` instead of running its loop, for as long as it lives.
// `answer` inspects the dialog and returns its result code; nothing ever waits on a modal loop.
class ModalAnswer {
 public:
  explicit ModalAnswer(ModalRunner answer);
  ~ModalAnswer();
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;

  int Count() const { return count_; }

 private:
  int count_ = 0;
  ModalRunner previous_;
};

// Answers every file chooser with `answer`, as if the request's name filter at `filter` were
// selected, and records the requests, for as long as it lives.
class FileAnswer {
 public:
  explicit FileAnswer(std::optional<QString> answer, qsizetype filter = 0);
  ~FileAnswer();
  FileAnswer(const FileAnswer&) = delete;
  FileAnswer& operator=(const FileAnswer&) = delete;

  const std::vector<FileRequest>& Requests() const { return requests_; }

 private:
  std::optional<QString> answer_;
  qsizetype filter_;
  std::vector<FileRequest> requests_;
  FileChooser previous_;
};

// Drives the real file chooser (its own widgets, never a native one) as a user does, for as long
// as it lives: picks the type at `filter` in its type box with the keyboard, types `path` into the
// name field and clicks 保存 or 開く; without a path it cancels. Records what each chooser offered.
class ChooserDriver {
 public:
  struct Offer {
    QStringList nameFilters;
    QString start;  // the folder and name it opened at
    bool saving;
  };
  explicit ChooserDriver(std::optional<QString> path, int filter = 0);

  const std::vector<Offer>& Offers() const { return offers_; }

 private:
  int Drive(QDialog& dialog);

  std::optional<QString> path_;
  int filter_;
  std::vector<Offer> offers_;
  ModalAnswer answer_;
};

// The window suites, each a Qt Test object; gui_tests_main.cpp runs them.
std::unique_ptr<QObject> MakeMainWindowTest();
std::unique_ptr<QObject> MakeRoundControlsTest();
std::unique_ptr<QObject> MakeAppTest();
std::unique_ptr<QObject> MakeImportDialogTest();
std::unique_ptr<QObject> MakeSpectraWindowTest();
std::unique_ptr<QObject> MakeEvaluationWindowTest();
std::unique_ptr<QObject> MakeStatisticsWindowTest();

// The descendant of `parent` named `name`. A missing one ends the run at once, naming it, since
// every later step would only dereference null.
template <typename T>
T* Child(const QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) {
    qFatal("%s has no %s named %s", parent->metaObject()->className(),
           T::staticMetaObject.className(), name);
  }
  return child;
}

}  // namespace tolvane::test
