#include "app/gui/about_dialog.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "app/gui/dialog_font.h"
#include "app/gui/dialog_parts.h"
#include "app/gui/message_box.h"
#include "app/gui/resources.h"
#include "core/version.h"

namespace tolvane {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent, kDialogWindowFlags) {
  auto* version =
      new QLabel(QStringLiteral("Tolvane、バージョン ") + QString::fromLatin1(kShortVersion), this);
  version->setObjectName(QStringLiteral("versionLabel"));
  auto* notice = new QLabel(QStringLiteral("予想は当選を保証しません。"), this);
  notice->setObjectName(QStringLiteral("noticeLabel"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  setWindowTitle(ApplicationTitle());
  setFont(DialogFont());
  const DialogUnits units(font());

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("iconLabel"));
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  icon->setGeometry(units.Rect(14, 14, 20, 20));
  icon->resize(icon->sizeHint());  // an icon static takes the icon's size

  for (QLabel* line : {version, notice}) {
    line->setTextFormat(Qt::PlainText);
    line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  version->setGeometry(units.Rect(42, 14, 114, 8));
  notice->setGeometry(units.Rect(42, 26, 114, 8));

  ok->setGeometry(units.Rect(113, 41, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  // A modal frame: the box keeps its size.
  setFixedSize(units.X(170), units.Y(62));
}

}  // namespace tolvane
