#include "gui_test_support.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <utility>

namespace tolvane::test {

BoxRecorder::BoxRecorder(QMessageBox::StandardButton answer)
    : answer_(answer),
      previous_(
          SetMessageBoxFunction([this](QWidget* owner, const QString& text, const QString& caption,
                                       QMessageBox::Icon icon, const QString& detail,
                                       QMessageBox::StandardButtons buttons) {
            boxes_.push_back({owner, text, caption, icon, detail, buttons});
            return buttons.testFlag(answer_) ? answer_ : QMessageBox::Ok;
          })) {}

BoxRecorder::~BoxRecorder() { SetMessageBoxFunction(std::move(previous_)); }

ModalAnswer::ModalAnswer(ModalRunner answer)
    : previous_(SetModalRunner([this, answer = std::move(answer)](QDialog& dialog) {
        ++count_;
        return answer(dialog);
      })) {}

ModalAnswer::~ModalAnswer() { SetModalRunner(std::move(previous_)); }

FileAnswer::FileAnswer(std::optional<QString> answer, qsizetype filter)
    : answer_(std::move(answer)),
      filter_(filter),
      previous_(SetFileChooser([this](QWidget* /*owner*/, const FileRequest& request) {
        requests_.push_back(request);
        return answer_ ? std::optional(FileChoice{*answer_, request.nameFilters.value(filter_)})
                       : std::nullopt;
      })) {}

FileAnswer::~FileAnswer() { SetFileChooser(std::move(previous_)); }

ChooserDriver::ChooserDriver(std::optional<QString> path, int filter)
    : path_(std::move(path)),
      filter_(filter),
      answer_([this](QDialog& dialog) { return Drive(dialog); }) {}

int ChooserDriver::Drive(QDialog& dialog) {
  auto* chooser = qobject_cast<QFileDialog*>(&dialog);
  auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (chooser == nullptr || types == nullptr || name == nullptr) {
    qFatal("%s is not a file chooser with its own widgets", dialog.metaObject()->className());
  }
  offers_.push_back({chooser->nameFilters(), QDir(chooser->directory()).filePath(name->text()),
                     chooser->acceptMode() == QFileDialog::AcceptSave});
  if (!path_) {
    chooser->reject();
    return chooser->result();
  }
  chooser->show();  // Enter presses the default button only while it shows
  while (types->currentIndex() < filter_ && types->currentIndex() + 1 < types->count()) {
    QTest::keyClick(types, Qt::Key_Down);
  }
  // Set whole: typed a key at a time, a path is completed against each folder on its way.
  name->setText(*path_);
  // Clicked rather than Enter, which the name completer's list may take.
  auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  QPushButton* accept = buttons != nullptr
                            ? buttons->button(chooser->acceptMode() == QFileDialog::AcceptSave
                                                  ? QDialogButtonBox::Save
                                                  : QDialogButtonBox::Open)
                            : nullptr;
  if (accept == nullptr) {
    qFatal("the file chooser has no button to accept with");
  }
  QTest::mouseClick(accept, Qt::LeftButton);
  chooser->hide();
  return chooser->result();
}

}  // namespace tolvane::test
