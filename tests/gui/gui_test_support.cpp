#include "gui_test_support.h"

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

}  // namespace tolvane::test
