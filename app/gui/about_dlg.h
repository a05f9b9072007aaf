#pragma once

#include <QDialog>

namespace tolvane {

// The About box: the icon, the version line, a notice and OK (iconLabel, versionLabel,
// noticeLabel and okButton by object name).
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tolvane
