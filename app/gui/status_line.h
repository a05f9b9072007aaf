#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tolvane {

// A dialog's one-line verdict on what it is about to do (statusLabel), with 詳細 (detailsButton)
// beside it when there is more to say: the command line's own words, shown under the verdict in
// a warning box on request.
class StatusLine : public QWidget {
 public:
  explicit StatusLine(QWidget* parent);

  // An empty `detail` hides 詳細.
  void Show(const QString& text, const QString& detail);

 private:
  QLabel* text_ = nullptr;
  QPushButton* details_ = nullptr;
  QString detail_;
};

}  // namespace tolvane
