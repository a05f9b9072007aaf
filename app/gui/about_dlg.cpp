#include "app/gui/about_dlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "app/gui/dialog_font.h"
#include "app/gui/resources.h"

namespace tolvane {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      version_(new QLabel(QStringLiteral("Tolvane、バージョン 1.0"), this)),
      notice_(new QLabel(QStringLiteral("予想は当選を保証しません。"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
  setWindowTitle(QStringLiteral("Tolvane"));
  setFont(DialogFont());
  const DialogUnits units(font());

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  icon->setGeometry(units.Rect(14, 14, 20, 20));
  icon->resize(icon->sizeHint());  // an icon static takes the icon's size

  for (QLabel* line : {version_, notice_}) {
    line->setTextFormat(Qt::PlainText);
    line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  version_->setGeometry(units.Rect(42, 14, 114, 8));
  notice_->setGeometry(units.Rect(42, 26, 114, 8));

  ok_->setGeometry(units.Rect(113, 41, 50, 14));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  // A modal frame: the box keeps its size.
  setFixedSize(units.X(170), units.Y(62));
}

}  // namespace tolvane
