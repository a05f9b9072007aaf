#pragma once

#include <QDialog>

namespace tolvane {

// The About box: the icon, the version line, a notice and OK (iconLabel, versionLabel,
// noticeLabel and okButton by object name).
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace tolvane
