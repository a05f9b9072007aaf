#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tolvane {

// The About box: the icon, the version line, a notice and OK.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  QLabel* VersionLabel() const { return version_; }
  QLabel* NoticeLabel() const { return notice_; }
  QPushButton* OkButton() const { return ok_; }

 private:
  QLabel* version_;
  QLabel* notice_;
  QPushButton* ok_;
};

}  // namespace tolvane
